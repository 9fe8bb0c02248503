#pragma once

#include "engine/dbcCompColumn.h"

#include <memory>

namespace dbc {

// A domain: a named data type whose whole type lives in its nameless data column.
class TDmnData : public TDbObj {
public:
    explicit TDmnData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TDmnData"; }
    void SetObjName(std::string name) override;
    std::string GetCaption() const override { return ObjName(); }

    // Owned; its owner object is the domain and its system name the domain name.
    TFldData& Data() const { return *fData_; }

private:
    std::unique_ptr<TFldData> fData_;
};

} // namespace dbc
