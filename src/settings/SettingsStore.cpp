#include "settings/SettingsStore.h"

#include "platform/FileSystem.h"

namespace {

bool IsQuote(char c) { return c == '`' || c == '\''; }

// A line break inside a key or value would start a new line on disk and so
// could forge a further key; the writer drops CR and LF instead. Edit boxes
// are single-line and file names cannot hold them, so nothing real is lost.
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
    Set(line.substr(0, eq), value);
}

bool SettingsStore::Load(const std::string& fileName) {
    const auto bytes = platform::ReadWholeFile(fileName);
    if (!bytes) return false;
    std::string_view rest(*bytes);
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        if (nl != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);  // CR LF as well as LF ends a line
        ReadLine(line);
        if (nl == std::string_view::npos) break;
        rest.remove_prefix(nl + 1);
    }
    fileName_ = fileName;
    return true;
}

std::string SettingsStore::Serialize() const {
    std::string out;
    for (const auto& key : order_) {
        AppendWithoutLineBreaks(out, key);
        out += "=`";
        AppendWithoutLineBreaks(out, values_.find(key)->second);
        out += "`\r\n";
    }
    return out;
}

bool SettingsStore::Save(const std::string& fileName) {
    if (fileName.empty()) return false;
    // Written beside the file and swapped in, so the old file survives a full
    // disk or a crash half-way.
    const std::string temp = fileName + ".new";
    if (!platform::WriteWholeFile(temp, Serialize())) {
        platform::RemoveFile(temp);
        return false;
    }
    if (!platform::MoveFileReplacing(temp, fileName)) {
        platform::RemoveFile(temp);
        return false;
    }
    return true;
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
