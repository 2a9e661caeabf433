#pragma once
// Windows name rules the POSIX build has to imitate: case-insensitive names
// (ASCII letters only, never a trail byte of a double-byte character) and
// find patterns with '*' and '?'.
#include <string_view>

namespace platform {

bool NamesEqualNoCase(std::string_view a, std::string_view b);
// Windows find-pattern match: "*" and "*.*" match every name, a pattern ending
// in ".*" also matches the name without a dot, one ending in "." matches names
// without an extension.
bool MatchFindPattern(std::string_view pattern, std::string_view name);

}  // namespace platform
