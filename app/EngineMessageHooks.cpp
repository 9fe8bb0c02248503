#include "app/EngineMessageHooks.h"

namespace app {

EngineMessageHooks::EngineMessageHooks(UpdaterView& view)
    : previousShowMessage_(
          dbc::SetShowMessageHook([&view](const std::string& text) { view.showMessage(text); })),
      previousProcessMessages_(
          dbc::SetProcessMessagesHook([&view] { view.processMessages(); })) {}

EngineMessageHooks::~EngineMessageHooks() {
    dbc::SetShowMessageHook(std::move(previousShowMessage_));
    dbc::SetProcessMessagesHook(std::move(previousProcessMessages_));
}

} // namespace app
