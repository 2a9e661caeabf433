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

// Iterative glob over texts already in upper case with backtracking to the last '*': linear in practice.
bool Glob(const std::vector<std::string_view>& p, const std::vector<std::string_view>& n) {
    size_t pi = 0, ni = 0, starP = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == "*") {
            starP = pi++;
            starN = ni;
        } else if (pi < p.size() && (p[pi] == "?" || p[pi] == n[ni])) {
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

std::string UpperCaseName(std::string_view name) {
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsLeadByte(c))
            ++i;  // skip the trail byte
        else if (c >= 'a' && c <= 'z')
            out[i] = char(c - 'a' + 'A');
    }
    return out;
}

bool NamesEqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperCaseName(a) == UpperCaseName(b);
}

bool MatchFindPattern(std::string_view patternText, std::string_view nameText) {
    if (patternText == "*" || patternText == "*.*") return true;
    const std::string pattern = UpperCaseName(patternText), name = UpperCaseName(nameText);
    const auto nameChars = Chars(name);
    if (Glob(Chars(pattern), nameChars)) return true;
    if (name.find('.') != std::string::npos) return false;
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0)
        return Glob(Chars(std::string_view(pattern).substr(0, pattern.size() - 2)), nameChars);
    if (!pattern.empty() && pattern.back() == '.')
        return Glob(Chars(std::string_view(pattern).substr(0, pattern.size() - 1)), nameChars);
    return false;
}

}  // namespace platform
