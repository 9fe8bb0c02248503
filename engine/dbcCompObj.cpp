#include "engine/dbcCompObj.h"

#include "engine/dbcComp_Prc.h"
#include "engine/dbcComp_Trg.h"
#include "engine/dbcComp_Viw.h"

namespace dbc {

void TObjs::SetSourceDefinition() {
    auto snapshot = [](auto& list) {
        for (auto& entry : list) {
            TDbObj& obj = *entry.object;
            obj.SourceDefinition = obj.Def();
            obj.CurrentDefinition = obj.SourceDefinition;
        }
    };
    snapshot(Viw);
    snapshot(Prc);
    snapshot(Trg);
}

} // namespace dbc
