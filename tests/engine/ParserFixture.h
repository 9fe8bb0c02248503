#pragma once

// Parsing scripts in tests: a Firebird parser with a collection of its own that records every
// statement it reports and every error it shows.

#include "engine/dbcCompObj.h"
#include "engine/dbcIBParser.h"

#include <string>
#include <string_view>
#include <vector>

namespace enginetest {

// A statement as the parser reported it, written "kind operation objectkind name [owner]".
struct ReportedStatement {
    std::string Key;
    std::string Text;
};

std::string_view StatTypeName(dbc::TStatType typ);
std::string_view OperationName(dbc::TDbOperation operation);
std::string_view ObjectKindName(dbc::TDbObject kind);

class ScriptParse {
public:
    explicit ScriptParse(dbc::TIBSQLServerVersionType version = dbc::st_Firebird_30);

    // Parses the script (lines split as a script file holds them); returns *this.
    ScriptParse& Parse(std::string_view script);
    // Parse, then the dependency passes.
    ScriptParse& ParseAndLink(std::string_view script);

    std::vector<std::string> Keys() const;
    // The recorded messages, written "line:column text"; warnings start with "warning ".
    std::vector<std::string> Messages() const;

    dbc::TObjs objs;
    dbc::TIbParser parser{nullptr};
    std::vector<ReportedStatement> statements;
    // What reached the error event (only the first error of a parse does).
    std::vector<std::string> shownErrors;
};

} // namespace enginetest
