#include <gtest/gtest.h>

#include "control/TargetRange.h"

namespace {

TEST(TargetRange, OctetsAndRoots) {
    struct Case {
        const char* start;
        int end;
        const char* prefix;
        int first, last;
        const char* rootOfLast;
    } cases[] = {
        {"\\\\192.168.0.9", 10, "\\\\192.168.0.", 9, 10, "\\\\192.168.0.10"},
        {"\\\\192.168.0.20", 5, "\\\\192.168.0.", 20, 20, "\\\\192.168.0.20"},   // end below start: one PC
        {"\\\\192.168.0.20", 300, "\\\\192.168.0.", 20, 255, "\\\\192.168.0.255"},
        {"\\\\192.168.0.20", 0, "\\\\192.168.0.", 20, 20, "\\\\192.168.0.20"},    // empty end box
        {"\\\\name", 3, "", 0, 3, "3"},                                             // no '.': bare numbers
        {"\\\\10.0.0.x", 2, "\\\\10.0.0.", 0, 2, "\\\\10.0.0.2"},
        {"", 0, "", 0, 0, "0"},
        // A '.' after a double-byte character is found as a whole character.
        {"\\\\\xB0\xA1.5", 6, "\\\\\xB0\xA1.", 5, 6, "\\\\\xB0\xA1.6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        TargetRange r{c.start, "\\c\\Pexoril", c.end};
        EXPECT_EQ(r.AddressPrefix(), c.prefix);
        EXPECT_EQ(r.StartOctet(), c.first);
        EXPECT_EQ(r.LastOctet(), c.last);
        EXPECT_EQ(r.PcRoot(r.LastOctet()), c.rootOfLast);
    }
    // A start octet above 255 leaves no PC in the range.
    TargetRange big{"\\\\10.0.0.300", "", 400};
    EXPECT_GT(big.StartOctet(), big.LastOctet());
}

TEST(TargetRange, PcPathReplacesTheWholeStartAddress) {
    TargetRange r{"\\\\192.168.0.9", "\\c\\Pexoril", 10};
    EXPECT_EQ(r.PcPath(10, "\\\\192.168.0.9\\c\\Pexoril\\bin\\a.dll"), "\\\\192.168.0.10\\c\\Pexoril\\bin\\a.dll");
    EXPECT_EQ(r.PcPath(9, "\\\\192.168.0.9\\c\\x"), "\\\\192.168.0.9\\c\\x");
    EXPECT_EQ(r.PcPath(11, "\\\\192"), "\\\\192.168.0.11");  // shorter than the address: nothing follows
}

TEST(ParseInt, ReadsLikeTheCLibrary) {
    struct {
        const char* in;
        int out;
    } cases[] = {{"122", 122}, {"  42x", 42}, {"-7", -7}, {"+8", 8}, {"", 0}, {"abc", 0},
                 {"99999999999999", 2147483647}, {"-99999999999999", -2147483647 - 1}, {"\t\n5", 5}};
    for (const auto& c : cases) EXPECT_EQ(ParseInt(c.in), c.out) << c.in;
}

TEST(EchoAddress, DropsTheFirstTwoCharacters) {
    EXPECT_EQ(EchoAddress("\\\\10.0.0.1"), "10.0.0.1");
    EXPECT_EQ(EchoAddress("xy10.0.0.1"), "10.0.0.1");  // not checked to be backslashes
    EXPECT_EQ(EchoAddress("\\"), "");
}

TEST(ParseDottedQuad, OnlyPlainAddressesParse) {
    struct {
        const char* in;
        bool ok;
    } cases[] = {
        {"10.0.0.1", true},     {"255.255.255.254", true}, {"0.0.0.0", true},
        {"256.0.0.1", false},   {"10.0.0", false},          {"10.0.0.1.", false}, {"10.0.0.1 ", false},
        {" 10.0.0.1", false},   {"127.1", false},           {"0x7f.0.0.1", false}, {"010.0.0.1", false},
        {"10..0.1", false},     {"", false},                {"name", false},       {"10.0.0.1\\c", false},
        {"+1.2.3.4", false},    {"1234.0.0.1", false},      {"255.255.255.255", false},
    };
    for (const auto& c : cases) {
        unsigned char ip[4];
        EXPECT_EQ(ParseDottedQuad(c.in, ip), c.ok) << c.in;
    }
    unsigned char ip[4];
    ASSERT_TRUE(ParseDottedQuad("192.168.7.250", ip));
    EXPECT_EQ(ip[0], 192);
    EXPECT_EQ(ip[3], 250);
}

}  // namespace
