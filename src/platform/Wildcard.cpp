#include "platform/Wildcard.h"

#include <vector>

#include "platform/CodePage.h"

namespace platform {
namespace {

// Splits a CP949 text into characters: one byte, or a lead and a trail byte.
std::vector<std::string_view> Chars(std::string_view s) {
    std::vector<std::string_view> out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const size_t n = (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

char Fold(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool CharEq(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a.size() == 1) return Fold(a[0]) == Fold(b[0]);
    return a == b;  // double-byte characters compare exactly
}

// Iterative glob with backtracking to the last '*': linear in practice.
bool Glob(const std::vector<std::string_view>& p, const std::vector<std::string_view>& n) {
    size_t pi = 0, ni = 0, starP = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == "*") {
            starP = pi++;
            starN = ni;
        } else if (pi < p.size() && (p[pi] == "?" || CharEq(p[pi], n[ni]))) {
            ++pi;
            ++ni;
        } else if (starP != std::string_view::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*") ++pi;
    return pi == p.size();
}

}  // namespace

bool NamesEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto ca = Chars(a), cb = Chars(b);
    if (ca.size() != cb.size()) return false;
    for (size_t i = 0; i < ca.size(); ++i)
        if (!CharEq(ca[i], cb[i])) return false;
    return true;
}

bool MatchFindPattern(std::string_view pattern, std::string_view name) {
    if (pattern == "*" || pattern == "*.*") return true;
    if (Glob(Chars(pattern), Chars(name))) return true;
    const bool nameHasDot = name.find('.') != std::string_view::npos;
    if (nameHasDot) return false;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return Glob(Chars(pattern.substr(0, pattern.size() - 2)), Chars(name));
    if (!pattern.empty() && pattern.back() == '.')
        return Glob(Chars(pattern.substr(0, pattern.size() - 1)), Chars(name));
    return false;
}

}  // namespace platform
