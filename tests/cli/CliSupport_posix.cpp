#include <stdlib.h>

#include "cli/CliSupport.h"
#include "platform/PosixMapping.h"
#include "support/TestEnv.h"

namespace clitest {

ReadOnlyFile::ReadOnlyFile(const std::string& path) : path_(path) {
    auto* flag = new testenv::Immutable(path);
    ok_ = flag->ok();
    native_ = flag;
}

ReadOnlyFile::~ReadOnlyFile() { delete static_cast<testenv::Immutable*>(native_); }

// qvDeploy's native entry reads the dosdevices folder from QV_DOSDEVICES.
void ShareMappingsWithChildren() { setenv("QV_DOSDEVICES", platform::posix::DosDevices().c_str(), 1); }

}  // namespace clitest
