#include "platform/Echo.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <cstring>
#include <memory>

namespace platform {

EchoOutcome SendEcho(const uint8_t address[4], const void* data, size_t dataSize,
                     size_t replyBufferSize, uint32_t timeoutMs) {
    IPAddr dest;
    std::memcpy(&dest, address, 4);  // network order, as inet_addr gives it
    HANDLE h = IcmpCreateFile();
    if (h == INVALID_HANDLE_VALUE) return EchoOutcome::Failed;
    std::unique_ptr<char[]> reply(new (std::nothrow) char[replyBufferSize]);
    if (!reply) {
        IcmpCloseHandle(h);
        return EchoOutcome::Failed;
    }
    const DWORD n = IcmpSendEcho(h, dest, const_cast<void*>(data), WORD(dataSize), nullptr,
                                 reply.get(), DWORD(replyBufferSize), timeoutMs);
    IcmpCloseHandle(h);
    // A stored reply may be an error: "destination host unreachable" comes
    // back as a reply when the PC is off. Only a successful echo is an answer.
    if (n == 0) return EchoOutcome::NoReply;
    const auto* first = reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.get());
    return first->Status == IP_SUCCESS ? EchoOutcome::Replied : EchoOutcome::NoReply;
}

}  // namespace platform
