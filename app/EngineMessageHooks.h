#pragma once

#include "app/UpdaterView.h"
#include "engine/dbcMsg.h"

namespace app {

// While it lives, the comparison engine's message boxes and message pumping go to the view:
// a modal box and the window's event loop, or a line on the console. The hooks in place
// before are put back when it goes.
class EngineMessageHooks {
public:
    explicit EngineMessageHooks(UpdaterView& view);
    ~EngineMessageHooks();
    EngineMessageHooks(const EngineMessageHooks&) = delete;
    EngineMessageHooks& operator=(const EngineMessageHooks&) = delete;

private:
    dbc::ShowMessageHook previousShowMessage_;
    dbc::ProcessMessagesHook previousProcessMessages_;
};

} // namespace app
