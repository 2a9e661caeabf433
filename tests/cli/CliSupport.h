#pragma once
// What the qvDeploy tests share: a settings file as the window writes it, the
// report read back, a read-only file, and the started program's output.
#include <map>
#include <string>
#include <vector>

namespace clitest {

using Lines = std::vector<std::string>;
// target, file, outcome of a report row (the detail differs between a dry
// run and a real one only in words).
using Outcome = std::vector<std::string>;

struct Settings {
    std::map<std::string, std::string> values;
    std::map<std::string, std::vector<std::string>> lists;
};
void WriteSettings(const std::string& path, const Settings& s);

// Rows of a report file, header excluded; each row all its fields.
std::vector<std::vector<std::string>> ReadCsv(const std::string& path);
std::vector<Outcome> Outcomes(const std::vector<std::vector<std::string>>& rows);

// Lines of a text file, CR dropped.
Lines ReadLines(const std::string& path);

// Read-only for the object's life, as a copy sees it: the read-only
// attribute on the Windows build, the Unix immutable flag on the native
// build (where root ignores permissions). ok() is false where it cannot be set.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    bool ok() const { return ok_; }

private:
    std::string path_;
    bool ok_ = false;
    void* native_ = nullptr;
};

// Lets a started qvDeploy see the shares this test process has mapped
// (the native build's mapping lives in the process).
void ShareMappingsWithChildren();

}  // namespace clitest
