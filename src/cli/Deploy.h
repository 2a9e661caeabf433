#pragma once
// qvDeploy as a function: the command line in, lines out, an exit code
// back. A second front end over the window's own logic: the settings are
// loaded, compared and run exactly as the window does it, through a
// window without a window.
#include <functional>
#include <string>
#include <vector>

#include "cli/RunReport.h"
#include "deploy/CopyRun.h"

namespace cli {

struct Console {
    LineSink out;  // the run's lines, compare's table, the usage on request
    LineSink err;  // what went wrong
};

// The settings file used without --settings: Quorvel.ini beside the program,
// the file the window of the same folder writes with F6.
std::string DefaultSettingsFile(const std::string& exePath);

// args without the program name; effects: the world the run works on (the
// real one; a dry run uses only its echo checks and clock).
int Main(const std::vector<std::string>& args, const Console& console, const std::string& exePath,
         deploy::IRunEffects& effects);

}  // namespace cli
