#pragma once
// A qvAgent started by a test, with arguments, its standard error going to
// a file; killed when the object goes if it still runs.
#include <optional>
#include <string>
#include <vector>

namespace helpers {

// Windows path of the qvAgent built with the tests.
std::string AgentPath();

class AgentProcess {
public:
    AgentProcess(const std::string& exe, const std::vector<std::string>& args, const std::string& workFolder,
                 const std::string& errorFile);
    ~AgentProcess();
    AgentProcess(const AgentProcess&) = delete;
    AgentProcess& operator=(const AgentProcess&) = delete;
    bool ok() const { return started_; }
    // The system's code when the start failed (0 otherwise), for the failure message.
    unsigned long error() const { return error_; }
    // The exit code once it has ended within timeoutMs, nullopt while it runs.
    std::optional<int> WaitForExit(int timeoutMs);
    void Kill();

private:
    bool started_ = false;
    unsigned long error_ = 0;
    long long id_ = 0;
    void* handle_ = nullptr;
    std::optional<int> exit_;
};

}  // namespace helpers
