#pragma once

#include "engine/dbcClasses.h"

namespace dbc {

// A generator. Only its name reaches Firebird DDL; the sequence options serve other kinds of
// database and keep their stored forms.
class TGnrData : public TDbObj {
public:
    explicit TGnrData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TGnrData"; }

    // The current value as read, or as a parsed SET GENERATOR sets it.
    std::string Value;
    std::string MinValue;
    std::string StartWith;
    std::string IncrementBy;
    std::string OwnedBy;
    bool NoMinValue = true;
    bool Order = false;
    bool Cycle = false;
    bool Temporary = false;

    const std::string& MaxValue() const { return fMaxValue_; }
    // "999999999999999999999999999" means no maximum.
    void SetMaxValue(std::string value);
    bool NoMaxValue() const { return noMaxValue_; }
    const std::string& Cache() const { return fCache_; }
    // "0" means no cache.
    void SetCache(std::string value);
    bool NoCache() const { return fNoCache_; }
    // Also clears the cache.
    void SetNoCache(bool value);

private:
    std::string fMaxValue_;
    bool noMaxValue_ = true;
    std::string fCache_ = "20";
    bool fNoCache_ = false;
};

} // namespace dbc
