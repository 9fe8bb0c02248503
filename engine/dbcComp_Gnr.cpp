#include "engine/dbcComp_Gnr.h"

namespace dbc {

TGnrData::TGnrData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboGenerator); }

void TGnrData::SetMaxValue(std::string value) {
    noMaxValue_ = value.empty() || value == "999999999999999999999999999";
    fMaxValue_ = noMaxValue_ ? std::string() : std::move(value);
}

void TGnrData::SetCache(std::string value) {
    fNoCache_ = value == "0";
    fCache_ = fNoCache_ ? std::string() : std::move(value);
}

void TGnrData::SetNoCache(bool value) {
    fNoCache_ = value;
    if (value)
        fCache_.clear();
}

} // namespace dbc
