#pragma once
#include <cstddef>
#include <cstdint>

namespace platform {

enum class EchoOutcome { Replied, NoReply, Failed };

// Sends one ICMP echo request to an IPv4 address (octets in network order) and
// waits up to timeoutMs. Replied when the reply buffer received anything,
// whatever its status.
EchoOutcome SendEcho(const uint8_t address[4], const void* data, size_t dataSize,
                     size_t replyBufferSize, uint32_t timeoutMs);

}  // namespace platform
