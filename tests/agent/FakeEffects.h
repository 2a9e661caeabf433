#pragma once
// Effects that only record what the agent asked for, and answer from a table
// of "running" programs.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "agent/Agent.h"

namespace testagent {

class FakeEffects : public agent::Effects {
public:
    // Upper-cased name -> the report a stop of it gives (once: then it runs no more).
    std::map<std::string, platform::StopReport> running;
    std::vector<std::string> calls;  // "stop <name>", "start <file> in <folder>"
    bool startWorks = true;
    std::function<void()> onStop;  // runs inside each stop, for tests of what happens meanwhile

    platform::StopReport StopAll(const std::string& name) override {
        calls.push_back("stop " + name);
        if (onStop) onStop();
        const auto it = running.find(platform::UpperCaseName(name));
        if (it == running.end()) return {};
        const platform::StopReport r = it->second;
        running.erase(it);
        return r;
    }
    bool Start(const std::string& file, const std::string& folder) override {
        calls.push_back("start " + file + " in " + folder);
        return startWorks;
    }
};

inline platform::StopReport Ran(std::vector<std::string> paths, int failed = 0, bool allEnded = true) {
    platform::StopReport r;
    r.found = int(paths.size());
    r.failed = failed;
    r.stopped = r.found - failed;
    r.allEnded = allEnded;
    r.paths = std::move(paths);
    return r;
}

}  // namespace testagent
