#pragma once

#include "engine/dbcClasses.h"

namespace dbc {

// A Firebird 3 package: the header text after AS, and the package body in Body.
class TPkgData : public TDbObj {
public:
    explicit TPkgData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TPkgData"; }

    // Whether the parsed text was a package body.
    bool ParseBody = false;
    std::string HeaderBody;
};

} // namespace dbc
