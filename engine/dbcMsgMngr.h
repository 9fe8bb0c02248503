#pragma once

// The message collector each engine component owns: information, warnings and errors in the
// order they were added, for callers to inspect or merge afterwards.

#include "engine/dbcSet.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dbc {

class TDbObj;

enum TMsgType : std::uint8_t { mt_Inf, mt_Wrn, mt_Err };
using TMsgSetType = EnumSet<TMsgType, 3>;

// One message. Obj refers to the schema object it is about, without owning it.
struct TMsgData {
    std::string Msg;
    TMsgType MsgType = mt_Inf;
    std::string FileName;
    std::int32_t PosX = 0;
    std::int32_t PosY = 0;
    const TDbObj* Obj = nullptr;
};

class TMsgManager {
public:
    void Clear() { messages_.clear(); }

    void AddMsg(std::string aMsg, TMsgType aMsgType, const TDbObj* aObj = nullptr);
    void AddScriptMsg(std::string aMsg, std::string aFileName, std::int32_t aPosX,
                      std::int32_t aPosY, TMsgType aMsgType);
    void AddObjMsg(std::string aMsg, const TDbObj* aObj, std::int32_t aPosX, std::int32_t aPosY,
                   TMsgType aMsgType);

    bool Get_IsMsg(TMsgType type) const;
    bool IsErr() const { return Get_IsMsg(mt_Err); }
    bool IsWrn() const { return Get_IsMsg(mt_Wrn); }
    bool IsInf() const { return Get_IsMsg(mt_Inf); }
    bool IsMsg() const { return !messages_.empty(); }

    int Get_MsgCount(TMsgSetType types) const;
    int MsgCount() const { return Get_MsgCount(TMsgSetType::Full()); }
    int ErrCount() const { return Get_MsgCount({mt_Err}); }
    int WrnCount() const { return Get_MsgCount({mt_Wrn}); }
    int InfCount() const { return Get_MsgCount({mt_Inf}); }

    // Appends a copy of each message of source, in order; nothing without a source.
    void CopyFrom(const TMsgManager* source);
    // The texts of all errors in order, joined by CR LF; empty when there is none.
    std::string ErrSummary() const;

    const std::vector<std::unique_ptr<TMsgData>>& Messages() const { return messages_; }

private:
    std::vector<std::unique_ptr<TMsgData>> messages_;
};

} // namespace dbc
