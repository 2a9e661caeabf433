#include "compare/FileUtil.h"

#include <optional>
#include <utility>

#include "compare/PathUtil.h"
#include "platform/FileSystem.h"

namespace {

using platform::FindData;

bool IsDirectory(const FindData& d) { return (d.attrib & platform::kAttrDirectory) != 0; }
bool IsLink(const FindData& d) { return (d.attrib & platform::kAttrReparsePoint) != 0; }

FileEntry MakeEntry(const FindData& d, std::string path) {
    FileEntry e;
    // The C runtime's find data reports a plain file (normal attribute only) as 0.
    e.attrib = d.attrib == platform::kAttrNormal ? 0 : d.attrib;
    e.timeCreate = d.timeCreate;
    e.timeAccess = d.timeAccess;
    e.timeWrite = d.timeWrite;
    e.size = d.size;
    e.path = std::move(path);
    return e;
}

// Pre-order walk of a folder tree with an explicit stack, so that depth costs
// heap, not call stack. A directory link that leads back to one of its own
// ancestors is not entered: its identity is compared with the ancestors' on
// the way down (identities fetched only when a link is met).
class TreeWalk {
public:
    explicit TreeWalk(std::string root) { nodes_.push_back({std::move(root), -1, std::nullopt, false}); }

    // visit(folder, addSubfolder) is called once per folder, in pre-order;
    // addSubfolder(name, isLink) queues a subfolder in enumeration order.
    template <typename Visit>
    void Run(Visit visit) {
        std::vector<int> stack{0};
        std::vector<std::pair<std::string, bool>> subs;
        while (!stack.empty()) {
            const int cur = stack.back();
            stack.pop_back();
            const std::string folder = nodes_[cur].folder;
            subs.clear();
            visit(folder, [&](const std::string& name, bool isLink) { subs.emplace_back(name, isLink); });
            for (size_t i = subs.size(); i-- > 0;) {
                std::string child = folder + subs[i].first + "\\";
                if (subs[i].second && LeadsToAncestor(child, cur)) continue;
                nodes_.push_back({std::move(child), cur, std::nullopt, false});
                stack.push_back(int(nodes_.size() - 1));
            }
        }
    }

private:
    struct Node {
        std::string folder;
        int parent;
        std::optional<platform::DirectoryId> id;
        bool idFetched;
    };

    const std::optional<platform::DirectoryId>& IdOf(int n) {
        if (!nodes_[n].idFetched) {
            nodes_[n].id = platform::GetDirectoryId(nodes_[n].folder);
            nodes_[n].idFetched = true;
        }
        return nodes_[n].id;
    }

    bool LeadsToAncestor(const std::string& child, int parent) {
        const auto id = platform::GetDirectoryId(child);
        if (!id) return false;
        for (int n = parent; n >= 0; n = nodes_[n].parent)
            if (IdOf(n) == id) return true;
        return false;
    }

    std::vector<Node> nodes_;
};

bool MatchesAll(const std::string& pattern) { return pattern == "*.*" || pattern == "*"; }

}  // namespace

void CqvFileUtil::SetExclusions(std::string_view text) {
    exclusions.clear();
    size_t i = 0;
    while (i < text.size() && exclusions.size() < kMaxExclusions) {
        while (i < text.size() && (text[i] == ',' || text[i] == ' ' || text[i] == ';')) ++i;
        const size_t start = i;
        while (i < text.size() && text[i] != ',' && text[i] != ' ' && text[i] != ';') ++i;
        if (i > start) exclusions.emplace_back(text.substr(start, i - start));
    }
}

bool CqvFileUtil::IsExcluded(std::string_view path) const {
    const std::string_view name = path.substr(path.find_last_of("\\/") + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view ext = name.substr(dot + 1);
    for (const auto& token : exclusions)
        if (ext == token) return true;
    return false;
}

void CqvFileUtil::ScanFolder(std::string_view path, bool includeSubfolders) {
    files.clear();
    removed.clear();
    const SearchSpec sp = SplitSearchPath(path, true);
    rootFolder = sp.folder;
    const bool onePass = MatchesAll(sp.pattern);

    TreeWalk(rootFolder).Run([&](const std::string& folder, auto addSubfolder) {
        auto addFile = [&](const FindData& d) {
            std::string full = folder + d.name;
            if (!IsExcluded(full)) files.push_back(MakeEntry(d, std::move(full)));
        };
        auto addSub = [&](const FindData& d) {
            if (!d.name.empty() && d.name[0] != '.') addSubfolder(d.name, IsLink(d));
        };
        if (onePass) {
            platform::FindFiles(folder + "*.*", [&](const FindData& d) {
                if (!IsDirectory(d))
                    addFile(d);
                else if (includeSubfolders)
                    addSub(d);
                return true;
            });
            return;
        }
        platform::FindFiles(folder + sp.pattern, [&](const FindData& d) {
            if (!IsDirectory(d)) addFile(d);
            return true;
        });
        if (includeSubfolders)
            platform::FindFiles(folder + "*.*", [&](const FindData& d) {
                if (IsDirectory(d)) addSub(d);
                return true;
            });
    });
}

void CqvFileUtil::CollectSubfolders(std::string_view path) { Collect(path, true); }

void CqvFileUtil::Collect(std::string_view path, bool followLinks) {
    files.clear();
    removed.clear();
    const SearchSpec sp = SplitSearchPath(path, false);
    const bool onePass = MatchesAll(sp.pattern);

    TreeWalk(sp.folder).Run([&](const std::string& folder, auto addSubfolder) {
        auto listed = [&](const FindData& d) {
            return IsDirectory(d) && !d.name.empty() && d.name[0] != '.';
        };
        if (!onePass)
            platform::FindFiles(folder + sp.pattern, [&](const FindData& d) {
                if (listed(d)) files.push_back(MakeEntry(d, folder + d.name));
                return true;
            });
        platform::FindFiles(folder + "*.*", [&](const FindData& d) {
            if (!listed(d)) return true;
            if (onePass) files.push_back(MakeEntry(d, folder + d.name));
            if (followLinks || !IsLink(d)) addSubfolder(d.name, IsLink(d));
            return true;
        });
    });
}

// Deletes everything inside a folder, post-order, with an explicit stack.
// A directory link is removed as a link and never entered: what it points to
// lies outside the tree being deleted.
void CqvFileUtil::EmptyFolder(const std::string& top) {
    struct Frame {
        std::string folder;
        std::vector<FileEntry> subfolders;
        size_t next = 0;        // subfolder to handle next
        bool listed = false;
        bool entered = false;   // subfolders[next] is being emptied above us
    };
    std::vector<Frame> stack(1);
    stack[0].folder = top;
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (!f.listed) {
            f.listed = true;
            platform::FindFiles(f.folder + "\\*.*", [&](const FindData& d) {
                std::string full = f.folder + "\\" + d.name;
                if (!IsDirectory(d)) {
                    if (platform::RemoveFile(full)) removed.push_back(MakeEntry(d, std::move(full)));
                } else if (!d.name.empty() && d.name[0] != '.') {
                    if (!IsLink(d))
                        f.subfolders.push_back(MakeEntry(d, std::move(full)));
                    else if (platform::RemoveDir(full))
                        removed.push_back(MakeEntry(d, std::move(full)));
                }
                return true;
            });
        }
        if (f.entered) {  // that subfolder is empty now (as far as it could be)
            f.entered = false;
            FileEntry& sub = f.subfolders[f.next++];
            if (platform::RemoveDir(sub.path)) removed.push_back(std::move(sub));
        }
        if (f.next < f.subfolders.size()) {
            f.entered = true;
            Frame child;
            child.folder = f.subfolders[f.next].path;
            stack.push_back(std::move(child));  // invalidates f
            continue;
        }
        stack.pop_back();
    }
}

void CqvFileUtil::DeleteSubfolderTrees(std::string_view path) {
    // Links are not followed here: what lies behind them is outside the tree,
    // and a listed link is removed as a link, never emptied.
    Collect(path, false);
    for (size_t i = files.size(); i-- > 0;) {
        if (!(files[i].attrib & platform::kAttrReparsePoint)) EmptyFolder(files[i].path);
        if (platform::RemoveDir(files[i].path)) removed.push_back(files[i]);
    }
}
