#include "cli/CliSupport.h"

#include "platform/FileSystem.h"
#include "settings/SettingsStore.h"

namespace clitest {

void WriteSettings(const std::string& path, const Settings& s) {
    SettingsStore store;
    for (const auto& [k, v] : s.values) store.Set(k, v);
    for (const auto& [name, items] : s.lists)
        for (size_t i = 0; i < items.size(); ++i) store.SetListItem(int(i), name, items[i]);
    store.Save(path);
}

std::vector<std::vector<std::string>> ReadCsv(const std::string& path) {
    const std::string text = platform::ReadWholeFile(path).value_or("");
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, any = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\r') {
        } else if (c == '\n') {
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
        } else {
            field += c;
            any = true;
        }
    }
    if (!rows.empty()) rows.erase(rows.begin());  // the header
    return rows;
}

std::vector<Outcome> Outcomes(const std::vector<std::vector<std::string>>& rows) {
    std::vector<Outcome> out;
    for (const auto& r : rows) out.push_back(Outcome(r.begin(), r.begin() + std::min<size_t>(3, r.size())));
    return out;
}

Lines ReadLines(const std::string& path) {
    const std::string text = platform::ReadWholeFile(path).value_or("");
    Lines lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace clitest
