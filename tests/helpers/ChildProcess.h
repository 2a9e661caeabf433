#pragma once
// Test side of the process tests: programs started and watched by the test
// itself (not through the code under test), and the sleeper's protocol.
#include <string>
#include <vector>

namespace helpers {

// Windows path of the sleeper program built with the tests.
std::string SleeperPath();

// A tag unique to this test process (its id), for program names that no
// concurrently running test uses: terminations by name hit only our own.
std::string UniqueTag();

// Copies a program, keeping it runnable (the execute bit on the native build).
bool CopyProgram(const std::string& from, const std::string& to);

// A program the test starts itself, in a working folder; killed when the
// object goes if it still runs.
class Child {
public:
    Child(const std::string& exe, const std::string& folder);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool ok() const { return started_; }
    bool Running();
    void Kill();

private:
    bool started_ = false;
    long long id_ = 0;      // process id
    void* handle_ = nullptr;  // process handle on Windows
};

// Names of the sleeper's "started-<name>-<pid>.txt" files in folder.
std::vector<std::string> StartedFiles(const std::string& folder);
// Waits up to timeoutMs until folder holds at least count started files.
std::vector<std::string> WaitForStarted(const std::string& folder, size_t count, int timeoutMs = 10000);
// Waits up to timeoutMs until the child has ended.
bool WaitForEnd(Child& child, int timeoutMs = 3000);
void SleepMs(int ms);

}  // namespace helpers
