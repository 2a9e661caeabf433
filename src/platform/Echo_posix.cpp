// Native build of the echo seam: an unprivileged ICMP datagram socket where
// the system allows it (net.ipv4.ping_group_range), else a raw socket (root).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <linux/errqueue.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/Echo.h"

namespace platform {
namespace {

uint16_t Checksum(const uint8_t* p, size_t n) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < n; i += 2) sum += uint32_t(p[i] << 8 | p[i + 1]);
    if (n & 1) sum += uint32_t(p[n - 1] << 8);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(~sum);
}

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) close(fd);
    }
};

std::atomic<uint16_t> gSequence{1};

}  // namespace

EchoOutcome SendEcho(const uint8_t address[4], const void* data, size_t dataSize,
                     size_t replyBufferSize, uint32_t timeoutMs) {
    bool raw = false;
    Fd s{socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP)};
    if (s.fd < 0) {
        s.fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        raw = true;
    }
    if (s.fd < 0) return EchoOutcome::Failed;
    // An echo's data must fit one IPv4 datagram, and the reply buffer one header.
    if (dataSize > 65000 || replyBufferSize < sizeof(icmphdr) + 8) return EchoOutcome::Failed;
    const int on = 1;
    setsockopt(s.fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);

    const uint16_t id = uint16_t(getpid() ^ (reinterpret_cast<uintptr_t>(&s) >> 4));
    const uint16_t seq = gSequence.fetch_add(1);
    std::vector<uint8_t> pkt(sizeof(icmphdr) + dataSize);
    auto* h = reinterpret_cast<icmphdr*>(pkt.data());
    h->type = ICMP_ECHO;
    h->code = 0;
    h->un.echo.id = htons(id);
    h->un.echo.sequence = htons(seq);
    std::memcpy(pkt.data() + sizeof(icmphdr), data, dataSize);
    h->checksum = htons(Checksum(pkt.data(), pkt.size()));

    sockaddr_in to{};
    to.sin_family = AF_INET;
    std::memcpy(&to.sin_addr, address, 4);
    if (sendto(s.fd, pkt.data(), pkt.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0)
        return EchoOutcome::NoReply;  // e.g. no route: nothing came back

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint8_t> buf(65536);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return EchoOutcome::NoReply;
        pollfd p{s.fd, POLLIN, 0};
        const int r = poll(&p, 1, int(left));
        if (r <= 0) {
            if (r < 0 && errno == EINTR) continue;
            return EchoOutcome::NoReply;
        }
        if (p.revents & POLLERR) {
            // An ICMP error about our request (host unreachable and the like):
            // the PC did not answer, and nothing more will come.
            char ctl[512];
            msghdr m{};
            m.msg_control = ctl;
            m.msg_controllen = sizeof ctl;
            iovec iov{buf.data(), buf.size()};
            m.msg_iov = &iov;
            m.msg_iovlen = 1;
            if (recvmsg(s.fd, &m, MSG_ERRQUEUE) >= 0) {
                for (cmsghdr* c = CMSG_FIRSTHDR(&m); c; c = CMSG_NXTHDR(&m, c)) {
                    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_RECVERR) {
                        auto* ee = reinterpret_cast<sock_extended_err*>(CMSG_DATA(c));
                        if (ee->ee_origin == SO_EE_ORIGIN_ICMP || ee->ee_origin == SO_EE_ORIGIN_LOCAL)
                            return EchoOutcome::NoReply;
                    }
                }
            }
            continue;
        }
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = recvfrom(s.fd, buf.data(), buf.size(), 0,
                                   reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) continue;
        const uint8_t* icmp = buf.data();
        size_t len = size_t(n);
        if (raw) {  // raw sockets hand over the IP header as well
            if (len < sizeof(iphdr)) continue;
            const size_t ihl = size_t(reinterpret_cast<const iphdr*>(icmp)->ihl) * 4;
            if (len < ihl + sizeof(icmphdr)) continue;
            icmp += ihl;
            len -= ihl;
        }
        if (len < sizeof(icmphdr)) continue;
        const auto* rh = reinterpret_cast<const icmphdr*>(icmp);
        if (rh->type == ICMP_ECHOREPLY) {
            if (std::memcmp(&from.sin_addr, address, 4) != 0) continue;
            if (ntohs(rh->un.echo.sequence) != seq) continue;
            if (raw && ntohs(rh->un.echo.id) != id) continue;
            return EchoOutcome::Replied;
        }
        if (raw && (rh->type == ICMP_DEST_UNREACH || rh->type == ICMP_TIME_EXCEEDED) &&
            len >= sizeof(icmphdr) + sizeof(iphdr) + sizeof(icmphdr)) {
            // The error quotes our request: IP header, then our ICMP header.
            const auto* inner = reinterpret_cast<const iphdr*>(icmp + sizeof(icmphdr));
            const size_t innerIhl = size_t(inner->ihl) * 4;
            if (len < sizeof(icmphdr) + innerIhl + sizeof(icmphdr)) continue;
            const auto* q = reinterpret_cast<const icmphdr*>(icmp + sizeof(icmphdr) + innerIhl);
            if (q->type == ICMP_ECHO && ntohs(q->un.echo.id) == id &&
                ntohs(q->un.echo.sequence) == seq)
                return EchoOutcome::NoReply;  // refused on the way: not an answer
        }
    }
}

}  // namespace platform
