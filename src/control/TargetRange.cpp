#include "control/TargetRange.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "compare/PathUtil.h"
#include "platform/Echo.h"

int ParseInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > (long long)INT_MAX + 1) v = (long long)INT_MAX + 1;
    }
    if (negative) v = -v;
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

std::string TargetRange::AddressPrefix() const {
    const size_t dot = FindLastChar(startAddress, '.');
    return dot == std::string::npos ? std::string() : startAddress.substr(0, dot + 1);
}

int TargetRange::StartOctet() const { return ParseInt(ExtensionPart(startAddress)); }

int TargetRange::LastOctet() const { return std::min(std::max(endOctet, StartOctet()), 255); }

int TargetRange::FirstOctet() const { return std::max(StartOctet(), 0); }

bool TargetRange::HasValidStart() const {
    unsigned char ip[4];
    return startAddress.size() > 2 && startAddress[0] == '\\' && startAddress[1] == '\\' &&
           ParseDottedQuad(std::string_view(startAddress).substr(2), ip);
}

std::string TargetRange::PcRoot(int n) const { return AddressPrefix() + std::to_string(n); }

std::string TargetRange::PcPath(int n, std::string_view path) const {
    const std::string_view rest = path.size() >= startAddress.size() ? path.substr(startAddress.size()) : std::string_view();
    return PcRoot(n) + std::string(rest);
}

std::string EchoAddress(std::string_view pcRoot) {
    return std::string(pcRoot.size() >= 2 ? pcRoot.substr(2) : std::string_view());
}

bool ParseDottedQuad(std::string_view text, unsigned char out[4]) {
    size_t i = 0;
    for (int k = 0; k < 4; ++k) {
        if (k > 0) {
            if (i >= text.size() || text[i] != '.') return false;
            ++i;
        }
        const size_t start = i;
        int v = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) v = v * 10 + (text[i++] - '0');
        const size_t len = i - start;
        if (len == 0 || v > 255 || (len > 1 && text[start] == '0')) return false;
        if (i < text.size() && text[i] >= '0' && text[i] <= '9') return false;
        out[k] = static_cast<unsigned char>(v);
    }
    if (i != text.size()) return false;
    return !(out[0] == 255 && out[1] == 255 && out[2] == 255 && out[3] == 255);
}

bool qvPingICMP::IsUnreachable(std::string_view address) {
    unsigned char ip[4];
    if (!ParseDottedQuad(address, ip)) return true;
    // "Data Buffer" with its zero, padded with zeros to 32 bytes.
    unsigned char data[32] = {};
    std::memcpy(data, "Data Buffer", 12);
    return platform::SendEcho(ip, data, sizeof data, 72, 1000) != platform::EchoOutcome::Replied;
}
