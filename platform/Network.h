#pragma once

#include <string>
#include <vector>

namespace platform {

// Whether the machine has a network connection beyond itself: on Linux, a non-loopback
// interface that is up and has an address.
bool isNetworkConnected();

// One address record of a network interface, as the system lists them (an interface with
// several addresses gives several records, one without any gives a record with None).
struct NetworkInterfaceRecord {
    enum class Address { None, IPv4, IPv6, Other };
    std::string name;
    bool up = false;
    bool running = true; // the link is there; true where the system does not tell
    bool loopback = false;
    Address address = Address::None;
};

std::vector<NetworkInterfaceRecord> readNetworkInterfaces();
// The decision of isNetworkConnected over a list of records.
bool hasConnectedInterface(const std::vector<NetworkInterfaceRecord>& records);

} // namespace platform
