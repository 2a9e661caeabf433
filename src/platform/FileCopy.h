#pragma once
// Copying files the way the deployment needs: a plain copy that may refuse to
// overwrite (backups), and a replacing copy that never leaves a target half
// written. Errors are the system's codes (Win32 codes; the native build maps
// its errno values onto the same codes), so reports can name the reason.
#include <cstdint>
#include <string>

namespace platform {

constexpr uint32_t kErrFileNotFound = 2;
constexpr uint32_t kErrPathNotFound = 3;
constexpr uint32_t kErrAccessDenied = 5;
constexpr uint32_t kErrSharingViolation = 32;
constexpr uint32_t kErrDiskFull = 112;
constexpr uint32_t kErrFileExists = 80;

struct CopyOutcome {
    bool ok = false;
    uint32_t error = 0;  // 0 when ok
};

// Copies from onto to with contents, write time and attributes, as the
// system's file copy does. failIfExists: an existing `to` is left alone and
// the copy fails with kErrFileExists.
CopyOutcome CopyFileTo(const std::string& from, const std::string& to, bool failIfExists);

// Replaces `to` with a copy of `from` in one step: the copy is made under
// tempPath (same folder) and renamed onto `to`. On any failure the temporary
// file is removed and `to` is left as it was. A target that cannot be opened
// for writing (read-only, or held by a running program) fails before anything
// is written, as a plain copy onto it would; a missing folder fails too.
CopyOutcome ReplaceFileWithCopy(const std::string& from, const std::string& to, const std::string& tempPath);
// The checks ReplaceFileWithCopy makes before it writes anything: ok when
// `to` does not exist or could be opened for writing now. Changes nothing,
// so a dry run can tell a read-only or held target in advance.
CopyOutcome CheckReplaceable(const std::string& to);

// Copies from onto `to` only where no file of that name exists, never leaving
// a half-written `to`: the copy is made under tempPath and then given the
// name `to` in one step that fails if `to` appeared meanwhile
// (kErrFileExists). The temporary file never outlives the call.
CopyOutcome CopyFileAsNew(const std::string& from, const std::string& to, const std::string& tempPath);

// A short text of the reason, for reports ("access denied").
std::string ErrorText(uint32_t error);

}  // namespace platform
