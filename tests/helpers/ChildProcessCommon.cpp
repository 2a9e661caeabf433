#include <chrono>
#include <thread>

#include "helpers/ChildProcess.h"
#include "platform/FileSystem.h"

namespace helpers {

std::string SleeperPath() {
    // The build tree's path as CMake knows it; on the Windows build that is a
    // Unix path, which Wine reaches through drive Z:.
    std::string p = QV_SLEEPER;
    if (!p.empty() && p[0] == '/') {
        p = "Z:" + p;
        for (char& c : p)
            if (c == '/') c = '\\';
    }
    return p;
}

std::vector<std::string> StartedFiles(const std::string& folder) {
    std::vector<std::string> names;
    platform::FindFiles(folder + "\\started-*.txt", [&](const platform::FindData& d) {
        names.push_back(d.name);
        return true;
    });
    return names;
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::vector<std::string> WaitForStarted(const std::string& folder, size_t count, int timeoutMs) {
    auto names = StartedFiles(folder);
    for (int waited = 0; names.size() < count && waited < timeoutMs; waited += 20) {
        SleepMs(20);
        names = StartedFiles(folder);
    }
    return names;
}

bool WaitForEnd(Child& child, int timeoutMs) {
    for (int waited = 0; child.Running(); waited += 20) {
        if (waited >= timeoutMs) return false;
        SleepMs(20);
    }
    return true;
}

}  // namespace helpers
