#pragma once
// Windows name rules the POSIX build has to imitate: case-insensitive names
// (ASCII letters only, never a trail byte of a double-byte character) and
// find patterns with '*' and '?'.
#include <string>
#include <string_view>

namespace platform {

// Upper case in the ANSI code page: single-byte letters are folded, a
// double-byte character is kept whole (its trail byte may look like an ASCII
// letter and must not change).
std::string UpperCaseName(std::string_view name);

bool NamesEqualNoCase(std::string_view a, std::string_view b);
// Windows find-pattern match: "*" and "*.*" match every name, a pattern ending
// in ".*" also matches the name without a dot, one ending in "." matches names
// without an extension.
bool MatchFindPattern(std::string_view pattern, std::string_view name);

}  // namespace platform
