#include "agent/AgentLog.h"

#include <cstdio>
#include <ctime>

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/SharedFile.h"

namespace agent {
namespace {

int64_t SizeOf(const std::string& path) {
    int64_t size = -1;
    platform::FindFiles(path, [&](const platform::FindData& d) {
        size = d.size;
        return false;
    });
    return size;
}

}  // namespace

AgentLog::AgentLog(const std::string& folder, int64_t limit)
    : path_(folder + "\\" + kLogFileName), oldPath_(folder + "\\" + kOldLogFileName), limit_(limit) {}

void AgentLog::Write(const std::string& text) {
    char stamp[32] = "0000-00-00 00:00:00";  // a clock the runtime refuses
    platform::LocalTime t;
    if (platform::ToLocalTime(int64_t(std::time(nullptr)), t))
        std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
    const std::string line = std::string(stamp) + " " + text + "\r\n";
    if (SizeOf(path_) + int64_t(line.size()) > limit_) platform::MoveFileReplacing(path_, oldPath_);
    platform::AppendToFile(path_, line);
}

std::string Printable(const std::string& text, size_t max) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t len = platform::IsLeadByte(c) && i + 1 < text.size() ? 2 : 1;
        if (out.size() + len > max) {
            out += "...";
            break;
        }
        if (len == 1)
            out += c < 0x20 || c == 0x7F ? '?' : char(c);
        else
            out.append(text, i, 2);
        i += len;
    }
    return out;
}

}  // namespace agent
