#pragma once
// The expected files of the package tests lie in fixtures/ beside these
// sources; the build knows them by their Unix path, which both builds reach
// through drive Z:.
#include <gtest/gtest.h>

#include <string>

#include "platform/FileSystem.h"
#include "support/TestEnv.h"

inline std::string Fixture(const std::string& name) {
    std::string folder = __FILE__;
    folder.resize(folder.find_last_of("/\\") + 1);
    const std::string path = testenv::ZDrivePath(folder + "fixtures/" + name);
    auto bytes = platform::ReadWholeFile(path);
    if (!bytes) ADD_FAILURE() << "missing fixture " << path;
    return bytes.value_or("");
}
