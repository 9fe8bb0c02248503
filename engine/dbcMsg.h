#pragma once

// The two user-interface services the engine needs when no event handler takes a message: a
// message box and a pump of pending window messages. The engine never shows a window itself; the
// updater installs hooks (a modal box and its event loop, or a console line). Without a hook a
// message goes to standard error and pumping does nothing, so nothing ever blocks.

#include <functional>
#include <string>

namespace dbc {

using ShowMessageHook = std::function<void(const std::string& text)>;
using ProcessMessagesHook = std::function<void()>;

// Each setter installs a hook (an empty one restores the default) and returns the previous one.
ShowMessageHook SetShowMessageHook(ShowMessageHook hook);
ProcessMessagesHook SetProcessMessagesHook(ProcessMessagesHook hook);

void ShowMessage(const std::string& text);
void ProcessMessages();

} // namespace dbc
