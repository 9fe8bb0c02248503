#include "engine/dbcMsgMngr.h"

namespace dbc {

void TMsgManager::AddMsg(std::string aMsg, TMsgType aMsgType, const TDbObj* aObj) {
    messages_.push_back(std::make_unique<TMsgData>(TMsgData{std::move(aMsg), aMsgType, {}, 0, 0, aObj}));
}

void TMsgManager::AddScriptMsg(std::string aMsg, std::string aFileName, std::int32_t aPosX,
                               std::int32_t aPosY, TMsgType aMsgType) {
    messages_.push_back(std::make_unique<TMsgData>(
        TMsgData{std::move(aMsg), aMsgType, std::move(aFileName), aPosX, aPosY, nullptr}));
}

void TMsgManager::AddObjMsg(std::string aMsg, const TDbObj* aObj, std::int32_t aPosX,
                            std::int32_t aPosY, TMsgType aMsgType) {
    messages_.push_back(
        std::make_unique<TMsgData>(TMsgData{std::move(aMsg), aMsgType, {}, aPosX, aPosY, aObj}));
}

bool TMsgManager::Get_IsMsg(TMsgType type) const {
    for (const auto& m : messages_)
        if (m->MsgType == type)
            return true;
    return false;
}

int TMsgManager::Get_MsgCount(TMsgSetType types) const {
    int count = 0;
    for (const auto& m : messages_)
        if (types.Contains(m->MsgType))
            ++count;
    return count;
}

void TMsgManager::CopyFrom(const TMsgManager* source) {
    if (!source)
        return;
    // By index up to the count at the start, so copying a manager into itself is safe.
    std::size_t count = source->messages_.size();
    for (std::size_t i = 0; i < count; ++i)
        messages_.push_back(std::make_unique<TMsgData>(*source->messages_[i]));
}

std::string TMsgManager::ErrSummary() const {
    std::string summary;
    bool first = true;
    for (const auto& m : messages_) {
        if (m->MsgType != mt_Err)
            continue;
        if (!first)
            summary += "\r\n";
        summary += m->Msg;
        first = false;
    }
    return summary;
}

} // namespace dbc
