#pragma once

// Helpers for building schemas by hand: a master and a target structure linked the way the
// comparer links them, one script builder both add to, and short object constructors.

#include "engine/dbcComp_Ctr.h"
#include "engine/dbcComp_Dmn.h"
#include "engine/dbcComp_Gnr.h"
#include "engine/dbcComp_Prc.h"
#include "engine/dbcComp_Rol.h"
#include "engine/dbcComp_Tbl.h"
#include "engine/dbcComp_Trg.h"
#include "engine/dbcComp_Viw.h"
#include "engine/dbcDBStructure.h"
#include "engine/dbcSQL_Exec.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace enginetest {

// The whole text of a golden file under tests/engine/golden (CR LF kept).
std::string Golden(const std::string& name);
// Lines joined by CR LF, the form golden files hold.
std::string Joined(const std::vector<std::string>& lines);

// A Firebird collection on its own, with a script builder.
struct Database {
    Database();
    dbc::TDBStructure structure;
    dbc::TSQLExec exec;
    dbc::TObjs& objs() { return structure.Metadata(); }
    // The rendered script, joined by CR LF.
    std::string Script();
};

// A master (reference) and a target (live) structure linked like a comparison links them.
struct ComparePair {
    ComparePair();
    dbc::TDBStructure master;
    dbc::TDBStructure target;
    dbc::TSQLExec exec;
    dbc::TObjs& m() { return master.Metadata(); }
    dbc::TObjs& t() { return target.Metadata(); }
    // Counterparts by name and the created flags the comparer starts from: target objects are
    // created, master objects exactly when the target has them.
    void LinkAndMarkCreated();
    std::string Script();
};

// Operation, object kind and object name of each statement, in order.
using StatementKey = std::tuple<dbc::TDbOperation, dbc::TDbObject, std::string>;
std::vector<StatementKey> Statements(const dbc::TCustomSQLExec& exec);

dbc::TTblData& AddTable(dbc::TObjs& objs, const std::string& name,
                        std::initializer_list<const char*> columns);
dbc::TViwData& AddView(dbc::TObjs& objs, const std::string& name, const std::string& body,
                       std::initializer_list<const char*> columns);
dbc::TPrcData& AddProcedure(dbc::TObjs& objs, const std::string& name, const std::string& body);
dbc::TTrgData& AddTrigger(dbc::TObjs& objs, const std::string& name, const std::string& owner,
                          int typ, const std::string& body);

} // namespace enginetest
