#pragma once
#include <string>
#include <string_view>

// The PCs of a network target: \\a.b.c.N for N from the start octet up to the
// end value, each with the same share path below it.
struct TargetRange {
    std::string startAddress;  // \\a.b.c.d, as box 1012 showed it at the last refresh
    std::string sharePath;     // such as \c\Pexoril
    int endOctet = 0;

    // startAddress up to and including its last '.', empty without one.
    std::string AddressPrefix() const;
    // The number after the last '.', as the C library reads it: it may be
    // negative or far above 255 when the box holds such a text.
    int StartOctet() const;
    // endOctet raised to StartOctet, then lowered to 255.
    int LastOctet() const;
    // Where every loop over the range starts: StartOctet, but never below 0.
    // The octets of the range are FirstOctet() to LastOctet(); none when the
    // start octet is above 255.
    int FirstOctet() const;
    // startAddress is two backslashes and a dotted IPv4 address. Commands
    // that write to every PC of the range refuse a range without one (before
    // the first refresh the address is empty).
    bool HasValidStart() const;
    std::string PcRoot(int n) const;
    // path with its leading startAddress replaced by PcRoot(n).
    std::string PcPath(int n, std::string_view path) const;
};

// The C library's integer reading: leading blanks and a sign, digits up to the
// first other character, 0 without digits; saturates instead of overflowing.
int ParseInt(std::string_view text);

// The echo address of a PC root: the root without its first two characters.
std::string EchoAddress(std::string_view pcRoot);

class qvPingICMP {
public:
    virtual ~qvPingICMP() = default;
    // True when the PC gave no echo reply within 1000 ms (an ICMP error such
    // as "host unreachable" is no reply), or the check could not be made (an
    // address that is not a plain dotted IPv4 address included).
    bool IsUnreachable(std::string_view address);
};

// Strict a.b.c.d with four decimal octets 0..255 and no leading zeros; the
// broadcast address is refused.
bool ParseDottedQuad(std::string_view text, unsigned char out[4]);
