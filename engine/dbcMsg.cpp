#include "engine/dbcMsg.h"

#include <iostream>
#include <utility>

namespace dbc {

namespace {
ShowMessageHook showMessageHook;
ProcessMessagesHook processMessagesHook;
} // namespace

ShowMessageHook SetShowMessageHook(ShowMessageHook hook) {
    return std::exchange(showMessageHook, std::move(hook));
}

ProcessMessagesHook SetProcessMessagesHook(ProcessMessagesHook hook) {
    return std::exchange(processMessagesHook, std::move(hook));
}

void ShowMessage(const std::string& text) {
    if (showMessageHook) {
        showMessageHook(text);
        return;
    }
    std::cerr << text << std::endl;
}

void ProcessMessages() {
    if (processMessagesHook)
        processMessagesHook();
}

} // namespace dbc
