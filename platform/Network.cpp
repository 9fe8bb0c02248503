#include "platform/Network.h"

#include <algorithm>
#include <memory>

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

namespace platform {
namespace {

NetworkInterfaceRecord::Address addressKind(const sockaddr* address) {
    using Address = NetworkInterfaceRecord::Address;
    if (!address)
        return Address::None;
    switch (address->sa_family) {
    case AF_INET:
        return Address::IPv4;
    case AF_INET6:
        return Address::IPv6;
    default:
        return Address::Other; // e.g. the link-layer record of an interface
    }
}

} // namespace

std::vector<NetworkInterfaceRecord> readNetworkInterfaces() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, freeifaddrs);

    std::vector<NetworkInterfaceRecord> records;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        NetworkInterfaceRecord record;
        record.name = entry->ifa_name ? entry->ifa_name : "";
        record.up = (entry->ifa_flags & IFF_UP) != 0;
#ifdef IFF_RUNNING
        record.running = (entry->ifa_flags & IFF_RUNNING) != 0;
#endif
        record.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
        record.address = addressKind(entry->ifa_addr);
        records.push_back(std::move(record));
    }
    return records;
}

bool hasConnectedInterface(const std::vector<NetworkInterfaceRecord>& records) {
    using Address = NetworkInterfaceRecord::Address;
    return std::any_of(records.begin(), records.end(), [](const NetworkInterfaceRecord& r) {
        return r.up && r.running && !r.loopback &&
               (r.address == Address::IPv4 || r.address == Address::IPv6);
    });
}

bool isNetworkConnected() { return hasConnectedInterface(readNetworkInterfaces()); }

} // namespace platform
