#include "package/TargetPaths.h"

#include "compare/PathUtil.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

std::string CanonicalForm(std::string path) {
    if (path.empty()) return "\\";
    if (path.size() == 2 && path[1] == ':') path += '\\';
    return path;
}

std::string TargetFolderFrom(std::string_view currentDir, std::string_view fieldText) {
    if (fieldText.size() >= 2 && fieldText[1] == ':') return std::string(fieldText);
    std::string joined = std::string(currentDir) + "/" + std::string(fieldText);
    // NormalizePath makes one backslash of the two that open a share; a
    // current directory on a share (a program started from one) keeps both,
    // or the target would become a folder of the current drive.
    const bool share = joined.size() >= 2 && (joined[0] == '\\' || joined[0] == '/') &&
                       (joined[1] == '\\' || joined[1] == '/');
    if (share) {
        std::string tail = joined.substr(2);
        NormalizePath(tail);
        return "\\\\" + tail;
    }
    NormalizePath(joined);
    return CanonicalForm(std::move(joined));
}

std::string TargetFolder(std::string_view fieldText) {
    return TargetFolderFrom(platform::GetCurrentDir(), fieldText);
}

std::string TargetLabel(std::string_view sourceText) {
    std::string out(sourceText);
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (platform::IsLeadByte(c) && i + 1 < out.size()) {
            ++i;
            continue;
        }
        if (c == '/' || c == '\\')
            out[i] = '@';
        else if (c == ':')
            out[i] = 'i';
    }
    return out;
}

std::string TargetLabelSource(OperationMode mode, std::string_view targetFolder, std::string_view shareField) {
    switch (mode) {
        case OperationMode::Local: return std::string(targetFolder);
        case OperationMode::Network: return "net" + std::string(shareField);
    }
    return {};
}

std::string RelativePath(const CompareRecord& record, std::string_view rootFolder) {
    // An empty root would point before the path's first character.
    const size_t skip = rootFolder.empty() ? 0 : rootFolder.size() - 1;
    return std::string(RelativeName(record.source.path, skip));
}

const std::string& TargetFilePath(const CompareRecord& record) { return record.target.path; }
