// Portable over the seam: the atomic replace and its plain-write fallback.
#include "platform/FileSystem.h"

namespace platform {

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    return WriteFileBytes(path, bytes) == WriteOutcome::Written;
}

bool ReplaceFileContents(const std::string& path, const std::string& tempPath, const std::string& bytes) {
    switch (WriteFileBytes(tempPath, bytes, true)) {
    case WriteOutcome::NotOpened:
        // A folder where files may be written but not created, or created
        // but not deleted: the plain write is all there is.
        return WriteWholeFile(path, bytes);
    case WriteOutcome::NotWritten:
        RemoveFile(tempPath);
        return false;
    case WriteOutcome::Written:
        break;
    }
    if (MoveFileReplacing(tempPath, path)) return true;
    // Rename refused (the file held open by a reader that shares writing but
    // not deletion). The temporary file goes, then the plain write.
    RemoveFile(tempPath);
    return WriteWholeFile(path, bytes);
}

}  // namespace platform
