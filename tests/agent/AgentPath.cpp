#include "agent/AgentProcess.h"
#include "support/TestEnv.h"

namespace helpers {

std::string AgentPath() { return testenv::ZDrivePath(QV_AGENT); }

}  // namespace helpers
