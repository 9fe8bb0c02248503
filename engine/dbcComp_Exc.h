#pragma once

#include "engine/dbcClasses.h"

namespace dbc {

class TExcData : public TDbObj {
public:
    explicit TExcData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TExcData"; }

    std::string Msg;
};

} // namespace dbc
