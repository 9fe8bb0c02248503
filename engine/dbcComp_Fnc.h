#pragma once

#include "engine/dbcCompColumn.h"

#include <memory>
#include <vector>

namespace dbc {

// An external function declared from a module library.
class TUdfData : public TDbObj {
public:
    explicit TUdfData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TUdfData"; }

    // Arguments in declaration order, owned.
    std::vector<std::unique_ptr<TFldData>> PrmList;
    std::string EntryPoint;
    std::string ModuleName;
    bool FreeIt = false;

    // Appends an argument owned by this function and returns it.
    TFldData& AddPrm();
    // The return value, created with the function.
    TFldData& RtnFld() const { return *rtnFld_; }

private:
    std::unique_ptr<TFldData> rtnFld_;
};

} // namespace dbc
