#include <gtest/gtest.h>

#include "platform/Wildcard.h"

namespace {

TEST(Wildcard, MatchesLikeWindowsFind) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.*", "noext", true},
        {"*.*", ".gitignore", true},
        {"*.dll", "A.DLL", true},
        {"*.dll", "a.dll2", false},
        {"*.dll", "a.dll.bak", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"?.txt", "ab.txt", false},
        {"??.txt", "ab.txt", true},
        {"x.*", "x", true},
        {"x.*", "x.y", true},
        {"*.", "noext", true},
        {"*.", "has.ext", false},
        {"pkg", "PKG", true},
        {"pkg", "pkg2", false},
        // A double-byte character is one character for '?', and its trail
        // byte (here 'A' = 0x41) is never folded: 0x81 0x41 differs from 0x81 0x61.
        {"?.txt", "\xB0\xA1.txt", true},
        {"\x81\x41.txt", "\x81\x61.txt", false},
        {"\x81\x41.TXT", "\x81\x41.txt", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::MatchFindPattern(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
}

TEST(Wildcard, NamesEqualIgnoringAsciiCaseOnly) {
    EXPECT_TRUE(platform::NamesEqualNoCase("Pexoril", "PEXORIL"));
    EXPECT_FALSE(platform::NamesEqualNoCase("Pexoril", "Pexoril2"));
    EXPECT_FALSE(platform::NamesEqualNoCase("\x81\x41", "\x81\x61"));
    EXPECT_TRUE(platform::NamesEqualNoCase("\x81\x41z", "\x81\x41Z"));
}

}  // namespace
