#include "agent/AgentProcess.h"

namespace helpers {

std::string AgentPath() {
    std::string p = QV_AGENT;
    if (!p.empty() && p[0] == '/') {  // a Unix path: Wine reaches it through drive Z:
        p = "Z:" + p;
        for (char& c : p)
            if (c == '/') c = '\\';
    }
    return p;
}

}  // namespace helpers
