#pragma once

namespace testsupport {

// A TCP port on 127.0.0.1 that nothing listens on right now: the system picks it for a socket
// that is closed again at once. A server started on it soon after almost surely gets it.
int freeLoopbackPort();

} // namespace testsupport
