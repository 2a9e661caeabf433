#include "compare/PathUtil.h"

#include <vector>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace {
bool IsSep(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::string_view FileNamePart(std::string_view path) {
    const size_t sep = path.find_last_of("\\/");
    if (sep != std::string_view::npos) return path.substr(sep + 1);
    if (path.find('.') != std::string_view::npos) return path;
    return path.substr(path.size());
}

std::string_view ExtensionPart(std::string_view path) {
    for (size_t i = path.size(); i-- > 0;) {
        if (path[i] == '.') return path.substr(i + 1);
        if (IsSep(path[i])) return path.substr(path.size());
    }
    return path;
}

std::string WithBackslashes(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

void NormalizePath(std::string& path) {
    if (path.empty()) return;
    path = WithBackslashes(std::move(path));
    const bool trailing = path.back() == '\\';
    std::string out = path.front() == '\\' ? "\\" : "";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        const std::string_view comp(path.data() + start, end - start);
        start = end + 1;
        if (comp.empty() || comp == ".") continue;
        if (comp == "..") {
            // Drop the last built component: the text after the backslash
            // that precedes the final one.
            if (out.size() >= 2) {
                const size_t prev = out.find_last_of('\\', out.size() - 2);
                if (prev != std::string::npos) out.resize(prev + 1);
            }
            continue;
        }
        out.append(comp);
        out += '\\';
    }
    if (!trailing && !out.empty() && out.back() == '\\') out.pop_back();
    path = std::move(out);
}

SearchSpec SplitSearchPath(std::string_view path, bool networkForm) {
    // The C runtime's split: drive, directory up to the last separator, then
    // name and extension (the extension being part of the pattern anyway).
    std::string_view drive;
    std::string_view rest = path;
    if (rest.size() >= 2 && rest[1] == ':') {
        drive = rest.substr(0, 2);
        rest.remove_prefix(2);
    }
    const size_t sep = rest.find_last_of("\\/");
    const std::string_view dir = sep == std::string_view::npos ? std::string_view() : rest.substr(0, sep + 1);
    SearchSpec out;
    out.pattern = std::string(sep == std::string_view::npos ? rest : rest.substr(sep + 1));
    out.folder = std::string(drive) + std::string(dir);

    const bool share = networkForm && dir.size() >= 3 && dir[0] == '\\' && dir[1] == '\\' &&
                       dir[2] >= '1' && dir[2] <= '8';
    if (!drive.empty() || share) {
        // "C:" alone names the drive's root; give it its separator rather
        // than overwriting the ':'.
        if (out.folder.empty() || !IsSep(out.folder.back()))
            out.folder += '\\';
        else
            out.folder.back() = '\\';
    } else {
        out.folder = platform::GetCurrentDir() + "\\" + out.folder;
    }
    if (out.folder.size() >= 2 && out.folder[0] == '\\' && out.folder[1] == '\\') {
        // Keep both leading backslashes of a share (a PC share, or a current
        // directory that is itself on a share).
        std::string tail = out.folder.substr(2);
        NormalizePath(tail);
        out.folder = "\\\\" + tail;
    } else {
        NormalizePath(out.folder);
    }
    return out;
}

size_t FindLastChar(std::string_view text, char c) {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == c) found = i;
        if (platform::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
    }
    return found;
}

std::string_view FolderPart(std::string_view path) {
    // Byte-wise is safe here: neither separator nor '.' is a CP949 trail byte.
    const size_t sep = path.find_last_of("\\/");
    const size_t nameStart = sep == std::string_view::npos ? 0 : sep + 1;
    if (path.find('.', nameStart) == std::string_view::npos) return path;
    return path.substr(0, nameStart);
}
