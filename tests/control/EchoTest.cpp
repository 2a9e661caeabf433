// Real ICMP: loopback, and a private network the test command builds in
// network namespaces (QV_TEST_NET names its addresses). Never anything else.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

#include "control/TargetRange.h"
#include "platform/Echo.h"

namespace {

using Clock = std::chrono::steady_clock;

struct TestNet {
    std::string answering1, answering2, ignoring, refused, unheld;
};

// QV_TEST_NET="pc1 pc2 ignoring refused unheld", set by the test command
// inside its namespace: "ignoring" is a PC that drops echoes, "refused" lies
// behind a router that answers with "host unreachable", "unheld" is an
// address of the PCs' subnet that nobody holds.
bool GetTestNet(TestNet& net) {
    const char* v = std::getenv("QV_TEST_NET");
    if (!v) return false;
    std::istringstream in(v);
    return bool(in >> net.answering1 >> net.answering2 >> net.ignoring >> net.refused >> net.unheld);
}

long long MsSince(Clock::time_point t0) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

TEST(Echo, AddressesThatDoNotParseAreUnreachableAtOnce) {
    qvPingICMP ping;
    for (const char* bad : {"", "name", "127.1", "0x7f.0.0.1", "127.0.0.1\\c", "\\\\127.0.0.1", "255.255.255.255"}) {
        const auto t0 = Clock::now();
        EXPECT_TRUE(ping.IsUnreachable(bad)) << bad;
        EXPECT_LT(MsSince(t0), 500) << bad;
    }
}

TEST(Echo, LoopbackAnswers) {
    const unsigned char lo[4] = {127, 0, 0, 1};
    const char data[1] = {0};
    if (platform::SendEcho(lo, data, 1, 72, 1000) == platform::EchoOutcome::Failed)
        GTEST_SKIP() << "no ICMP socket for this user (needs root or net.ipv4.ping_group_range)";
    qvPingICMP ping;
    EXPECT_FALSE(ping.IsUnreachable("127.0.0.1"));
}

TEST(Echo, PrivateNetworkAnswersAndTimesOut) {
    TestNet net;
    if (!GetTestNet(net))
        GTEST_SKIP() << "the private test network is not set up (the test command builds it as root "
                        "with network namespaces; QV_TEST_NET is unset)";
    qvPingICMP ping;
    EXPECT_FALSE(ping.IsUnreachable(net.answering1));
    EXPECT_FALSE(ping.IsUnreachable(net.answering2));

    const auto t0 = Clock::now();
    EXPECT_TRUE(ping.IsUnreachable(net.ignoring));
    const auto ms = MsSince(t0);
    EXPECT_GE(ms, 950) << "no answer must wait for the whole time-out";
    EXPECT_LT(ms, 3000);

    // "Host unreachable" comes back as a stored reply with an error status
    // (from a router, or from our own stack once ARP has failed): the PC did
    // not answer, so it is unreachable, and that is known at once.
    const auto t1 = Clock::now();
    EXPECT_TRUE(ping.IsUnreachable(net.refused));
    EXPECT_LT(MsSince(t1), 900);
    EXPECT_TRUE(ping.IsUnreachable(net.unheld));
    EXPECT_TRUE(ping.IsUnreachable(net.unheld));  // again, now that ARP may have failed
}

}  // namespace
