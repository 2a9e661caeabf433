#pragma once
// Byte-wise helpers on path texts in the system code page; '\' and '/' are
// both separators.
#include <string>
#include <string_view>

// File-name part: the text after the last separator; without a separator the
// whole text if it has a '.', else the empty end.
std::string_view FileNamePart(std::string_view path);
// Text after the last '.', empty when a separator follows it, the whole text
// when it has neither.
std::string_view ExtensionPart(std::string_view path);
// Every '/' turned into '\'.
std::string WithBackslashes(std::string path);
// '/' to '\', empty components and "." dropped, ".." removes the previous
// component; a leading and a trailing backslash are kept.
void NormalizePath(std::string& path);

struct SearchSpec {
    std::string folder;   // absolute, normalized, ends with a backslash
    std::string pattern;  // file name pattern, such as "*.*"
};
// Splits a scan path into its folder and pattern. In the network form a path
// beginning with \\ and a digit from 1 to 8 is a PC share and kept as it is.
SearchSpec SplitSearchPath(std::string_view path, bool networkForm);

// Position of the last occurrence of c that is a whole character (never the
// trail byte of a double-byte character), or npos.
size_t FindLastChar(std::string_view text, char c);

// Folder part: when the text after the last separator has a '.', the path up
// to and including that separator (empty without a separator); otherwise the
// whole path, taken to be a folder already. Never shortened.
std::string_view FolderPart(std::string_view path);
