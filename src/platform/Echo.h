#pragma once
#include <cstddef>
#include <cstdint>

namespace platform {

enum class EchoOutcome { Replied, NoReply, Failed };

// Sends one ICMP echo request to an IPv4 address (octets in network order) and
// waits up to timeoutMs. Replied only for an echo reply from that address: an
// ICMP error about the request (host unreachable from a router, or from our
// own stack when the address does not answer ARP) is NoReply, since the PC
// did not answer. Failed when no echo could be sent at all.
EchoOutcome SendEcho(const uint8_t address[4], const void* data, size_t dataSize,
                     size_t replyBufferSize, uint32_t timeoutMs);

}  // namespace platform
