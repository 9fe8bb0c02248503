#pragma once

namespace platform {

// Whether the machine has a network connection beyond itself: on Linux, a non-loopback
// interface that is up and has an address.
bool isNetworkConnected();

} // namespace platform
