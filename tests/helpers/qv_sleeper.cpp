// Test helper: a program that does nothing but run until it is killed.
// On start it writes its working folder, in Windows form, into
// "started-<its own file name>-<process id>.txt" in that folder, so a test
// sees where it runs, under which name, and how many copies started; then it
// sleeps, and ends by itself after 60 s so that no copy outlives a test run.
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

namespace {

std::string WorkingFolder() {
#ifdef _WIN32
    char buf[MAX_PATH * 4];
    const DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    return n && n < sizeof buf ? std::string(buf, n) : std::string();
#else
    char buf[PATH_MAX];
    if (!getcwd(buf, sizeof buf)) return {};
    std::string s = "Z:";  // the Unix root is drive Z:, as under Wine
    for (const char* p = buf; *p; ++p) s += *p == '/' ? '\\' : *p;
    return s;
#endif
}

std::string OwnFileName() {
#ifdef _WIN32
    char buf[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string path = n && n < sizeof buf ? std::string(buf, n) : std::string();
#else
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
    std::string path = n > 0 && size_t(n) < sizeof buf ? std::string(buf, size_t(n)) : std::string();
#endif
    const size_t sep = path.find_last_of("\\/");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

unsigned long ProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

void SleepSeconds(int s) {
#ifdef _WIN32
    Sleep(DWORD(s) * 1000);
#else
    sleep(unsigned(s));
#endif
}

}  // namespace

int main() {
    const std::string name = "started-" + OwnFileName() + "-" + std::to_string(ProcessId()) + ".txt";
    const std::string temp = name + ".tmp";
    // Written under another name first: a reader never sees half a file.
    if (FILE* f = std::fopen(temp.c_str(), "wb")) {
        const std::string cwd = WorkingFolder();
        std::fwrite(cwd.data(), 1, cwd.size(), f);
        std::fclose(f);
        std::rename(temp.c_str(), name.c_str());
    }
    SleepSeconds(60);
    return 0;
}
