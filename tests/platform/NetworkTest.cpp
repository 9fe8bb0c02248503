#include "platform/Network.h"

#include "TestCases.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using platform::NetworkInterfaceRecord;
using Address = NetworkInterfaceRecord::Address;

NetworkInterfaceRecord record(const char* name, bool up, bool running, bool loopback, Address address) {
    return {name, up, running, loopback, address};
}

struct DecisionCase {
    const char* name;
    std::vector<NetworkInterfaceRecord> records;
    bool connected;
};

void PrintTo(const DecisionCase& c, std::ostream* out) { *out << c.name; }

const DecisionCase decisionCases[] = {
    {"no_interfaces", {}, false},
    {"loopback_only", {record("lo", true, true, true, Address::IPv4), record("lo", true, true, true, Address::IPv6)}, false},
    {"ethernet_with_ipv4", {record("lo", true, true, true, Address::IPv4), record("eth0", true, true, false, Address::IPv4)}, true},
    {"ethernet_with_ipv6_only", {record("eth0", true, true, false, Address::IPv6)}, true},
    {"interface_down", {record("eth0", false, false, false, Address::IPv4)}, false},
    {"up_without_link", {record("eth0", true, false, false, Address::IPv4)}, false},
    {"up_without_address", {record("eth0", true, true, false, Address::None)}, false},
    {"link_layer_record_only", {record("eth0", true, true, false, Address::Other)}, false},
    {"second_interface_connected", {record("eth0", false, false, false, Address::IPv4), record("wlan0", true, true, false, Address::IPv4)}, true},
};

class NetworkDecision : public testing::TestWithParam<DecisionCase> {};

TEST_P(NetworkDecision, NeedsAnUpNonLoopbackInterfaceWithAnAddress) {
    EXPECT_EQ(platform::hasConnectedInterface(GetParam().records), GetParam().connected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NetworkDecision, testing::ValuesIn(decisionCases),
                         platformtest::caseName);

TEST(Network, ThisMachineListsItsLoopbackAndDecidesFromItsInterfaces) {
    const auto records = platform::readNetworkInterfaces();
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const auto& r) {
        return r.loopback && r.up && r.address == Address::IPv4;
    }));
    EXPECT_EQ(platform::isNetworkConnected(), platform::hasConnectedInterface(records));
}

} // namespace
