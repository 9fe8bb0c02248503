#pragma once

#include "engine/dbcClasses.h"
#include "engine/dbcCompObj.h"

namespace dbc {

// The structure component the updater uses: it creates and owns a TObjs.
class TDBStructure : public TCustomDBStructure {
public:
    TDBStructure();

    // The collection's role in a comparison; crUnknownRole until a comparer claims it.
    TCompareRoleType CompareRole() const { return Objs()->CompareRole(); }
    TObjs& Metadata() const { return static_cast<TObjs&>(*Objs()); }
};

} // namespace dbc
