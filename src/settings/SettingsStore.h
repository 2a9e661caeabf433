#pragma once
// Key/value settings in memory and in their one-pair-a-line file form:
//   key=`value`
// Lists are numbered keys NAME_#0, NAME_#1, ... with no count key.
#include <map>
#include <string>
#include <string_view>
#include <vector>

class SettingsStore {
public:
    // Merges the file's pairs into the store (nothing is emptied first) and
    // remembers the name. False, with the store untouched, when the file
    // cannot be read.
    bool Load(const std::string& fileName);
    // Writes every pair in insertion order, CR LF line ends. The file is
    // replaced in one step, so a failed save leaves the old file whole; a
    // folder that refuses the temporary file gets the file written in place.
    // A pair whose key would not read back as itself (empty, a line break, an
    // '=' after its first character) is left out. Without a name the one
    // remembered by Load is used.
    bool Save(const std::string& fileName);
    bool Save();

    // A new key goes to the end of the order; an existing one keeps its place.
    void Set(std::string_view key, std::string_view value);
    void SetInt(std::string_view key, int value);
    // nullptr when the key is missing (an empty value is a value). The pointer
    // stays valid until the key is set again or the store is cleared.
    const std::string* Get(std::string_view key) const;
    // Forgets every pair and the remembered file name.
    void Clear();

    // Keys that begin with name + "_#", whatever follows.
    int ListCount(std::string_view name) const;
    const std::string* GetListItem(int index, std::string_view name) const;
    void SetListItem(int index, std::string_view name, std::string_view value);
    // The items 0, 1, ... up to ListCount, stopping at the first missing one.
    std::vector<std::string> ReadList(std::string_view name) const;

    const std::vector<std::string>& Keys() const { return order_; }
    const std::string& FileName() const { return fileName_; }

    // The file form of the store, as Save writes it.
    std::string Serialize() const;
    // Applies one line (without its line end) by the reading rules. A CR
    // inside the line is no part of a value, and a key holding one is
    // dropped, so that what is read can be written back as it was read.
    void ReadLine(std::string_view line);
    // Applies a file's bytes line by line (LF or CR LF ends a line).
    void ReadText(std::string_view text);

    static std::string ListKey(std::string_view name, int index);

private:
    std::map<std::string, std::string, std::less<>> values_;
    std::vector<std::string> order_;
    std::string fileName_;
};
