#include "agent/CommandScript.h"

#include "compare/PathUtil.h"

namespace agent {
namespace {

bool KeywordIs(std::string_view field, std::string_view keyword) {
    if (field.size() != keyword.size()) return false;
    for (size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != keyword[i]) return false;
    }
    return true;
}

Command ParseLine(std::string_view line) {
    Command c;
    c.text = std::string(line);
    // Trailing blanks are no part of a Windows file name; a hand-edited file may have them.
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.empty()) {
        c.kind = CommandKind::Blank;
        return c;
    }
    // '^' (0x5E) is never the trail byte of a code page 949 character, so a
    // byte search finds only real separators.
    const size_t first = line.find('^');
    if (first == std::string_view::npos) return c;
    const std::string_view keyword = line.substr(0, first);
    const std::string_view rest = line.substr(first + 1);
    if (KeywordIs(keyword, "KILL")) {
        // A file name may hold '^' itself: the name is the rest of the line.
        if (rest.empty()) return c;
        c.kind = CommandKind::Kill;
        c.name = std::string(rest);
        return c;
    }
    if (KeywordIs(keyword, "RESTART")) {
        // The tool writes the entry's file name, then the entry. Either may
        // hold '^', so the split is where the name equals the file name of
        // what follows; failing that, at the first '^'.
        size_t split = std::string_view::npos;
        for (size_t at = rest.find('^'); at != std::string_view::npos; at = rest.find('^', at + 1)) {
            if (split == std::string_view::npos) split = at;
            if (FileNamePart(rest.substr(at + 1)) == rest.substr(0, at)) {
                split = at;
                break;
            }
        }
        // An empty name is what the tool writes for an entry without a '.'
        // (FileNamePart gives nothing): nothing to stop, the entry to start.
        if (split == std::string_view::npos || split + 1 == rest.size()) return c;
        c.kind = CommandKind::Restart;
        c.name = std::string(rest.substr(0, split));
        c.entry = std::string(rest.substr(split + 1));
        return c;
    }
    return c;
}

}  // namespace

std::vector<Command> ParseCommandScript(std::string_view text) {
    std::vector<Command> commands;
    // Lines end with CR LF as the tool writes them, or with LF or CR alone
    // as an editor may; neither byte is ever part of a name.
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end != std::string_view::npos && text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        text.remove_prefix(next);
        commands.push_back(ParseLine(line));
    }
    return commands;
}

}  // namespace agent
