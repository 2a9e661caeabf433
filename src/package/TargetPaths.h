#pragma once
// The texts that name a deployment target in the generated scripts and in the
// backup and package folder names.
#include <string>
#include <string_view>

#include "compare/Compare.h"
#include "control/OperationMode.h"

// The local target folder field made absolute: a text whose second character
// is ':' is used as it stands; any other text is taken below currentDir, with
// "." and ".." resolved. Never shortened, whatever its length.
std::string TargetFolderFrom(std::string_view currentDir, std::string_view fieldText);
// The same below the process's current directory.
std::string TargetFolder(std::string_view fieldText);

// The shell's canonical form of a path that NormalizePath has already cleaned
// (backslashes only, no "." or ".." components left): a bare drive gets its
// root backslash, an empty text becomes the root "\".
std::string CanonicalForm(std::string path);

// A target as a folder-name label: '/' and '\' become '@', ':' becomes 'i';
// double-byte characters are stepped over, never split.
std::string TargetLabel(std::string_view sourceText);
// The label's source text: the absolute target folder for Local, "net" and
// the share path field's text for Network, empty for any other mode.
std::string TargetLabelSource(OperationMode mode, std::string_view targetFolder, std::string_view shareField);

// A copy-list file's name below the scanned source folder with a leading
// backslash (\bin\a.dll): the source path without the characters of
// rootFolder (which ends with a backslash) but its last one.
std::string RelativePath(const CompareRecord& record, std::string_view rootFolder);
// Where the target holds the file, or would hold it when it lacks it.
const std::string& TargetFilePath(const CompareRecord& record);
