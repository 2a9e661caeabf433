#include "settings/SettingsStore.h"

#include "platform/FileSystem.h"

namespace {

bool IsQuote(char c) { return c == '`' || c == '\''; }

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A key reads back as itself only if it is not empty, has no line break and
// no '=' after its first character (the reader ends the key at the first
// such '='). Load never makes any other key; Set may be given one.
bool IsWritableKey(std::string_view key) {
    return !key.empty() && !HasLineBreak(key) && key.find('=', 1) == std::string_view::npos;
}

// A value cannot hold a line break in the file: the writer drops CR and LF,
// and so does the reader for a CR inside a line (a lone LF already ends it),
// so a value reads back as it was written. Edit boxes are single-line and
// file names cannot hold them, so nothing real is lost.
void AppendWithoutLineBreaks(std::string& out, std::string_view text) {
    for (char c : text)
        if (c != '\r' && c != '\n') out += c;
}

}  // namespace

void SettingsStore::ReadLine(std::string_view line) {
    // The key ends at the first '=' that is not the line's first character.
    const size_t eq = line.size() > 1 ? line.find('=', 1) : std::string_view::npos;
    if (eq == std::string_view::npos) return;
    // Whatever follows '=' is the opening quote; the value runs to the last
    // backquote or apostrophe after it. Without a closing quote (a cut-off
    // line) the value is the rest of the line; "key=" alone gives "".
    const size_t start = eq + 2;
    std::string_view value;
    if (start <= line.size()) {
        value = line.substr(start);
        for (size_t i = line.size(); i > start; --i) {
            if (IsQuote(line[i - 1])) {
                value = line.substr(start, i - 1 - start);
                break;
            }
        }
    }
    // A CR inside the key (only a hand-edited file has one) cannot be
    // written back: the pair is dropped on reading, as on writing.
    const std::string_view key = line.substr(0, eq);
    if (HasLineBreak(key)) return;
    std::string clean;
    AppendWithoutLineBreaks(clean, value);
    Set(key, clean);
}

bool SettingsStore::Load(const std::string& fileName) {
    const auto bytes = platform::ReadWholeFile(fileName);
    if (!bytes) return false;
    ReadText(*bytes);
    fileName_ = fileName;
    return true;
}

void SettingsStore::ReadText(std::string_view text) {
    std::string_view rest(text);
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        if (nl != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);  // CR LF as well as LF ends a line
        ReadLine(line);
        if (nl == std::string_view::npos) break;
        rest.remove_prefix(nl + 1);
    }
}

std::string SettingsStore::Serialize() const {
    std::string out;
    for (const auto& key : order_) {
        if (!IsWritableKey(key)) continue;  // it would read back as another key
        out += key;
        out += "=`";
        AppendWithoutLineBreaks(out, values_.find(key)->second);
        out += "`\r\n";
    }
    return out;
}

bool SettingsStore::Save(const std::string& fileName) {
    if (fileName.empty()) return false;
    // Written beside the file and swapped in, so the old file survives a full
    // disk or a crash half-way; in place where the folder refuses that.
    return platform::ReplaceFileContents(fileName, fileName + ".new", Serialize());
}

bool SettingsStore::Save() { return Save(fileName_); }

void SettingsStore::Set(std::string_view key, std::string_view value) {
    auto it = values_.find(key);
    if (it != values_.end()) {
        it->second.assign(value.data(), value.size());
        return;
    }
    values_.emplace(std::string(key), std::string(value));
    order_.emplace_back(key);
}

void SettingsStore::SetInt(std::string_view key, int value) { Set(key, std::to_string(value)); }

const std::string* SettingsStore::Get(std::string_view key) const {
    auto it = values_.find(key);
    return it == values_.end() ? nullptr : &it->second;
}

void SettingsStore::Clear() {
    values_.clear();
    order_.clear();
    fileName_.clear();
}

std::string SettingsStore::ListKey(std::string_view name, int index) {
    std::string key(name);
    key += "_#";
    key += std::to_string(index);
    return key;
}

int SettingsStore::ListCount(std::string_view name) const {
    std::string prefix(name);
    prefix += "_#";
    // '_' and '#' are never trail bytes in code page 949, so a byte-wise
    // prefix test cannot end inside a double-byte character.
    int n = 0;
    for (auto it = values_.lower_bound(prefix); it != values_.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        ++n;
    }
    return n;
}

const std::string* SettingsStore::GetListItem(int index, std::string_view name) const {
    return Get(ListKey(name, index));
}

void SettingsStore::SetListItem(int index, std::string_view name, std::string_view value) {
    Set(ListKey(name, index), value);
}

std::vector<std::string> SettingsStore::ReadList(std::string_view name) const {
    std::vector<std::string> items;
    const int n = ListCount(name);
    for (int i = 0; i < n; ++i) {
        const std::string* item = GetListItem(i, name);
        if (!item) break;
        items.push_back(*item);
    }
    return items;
}
