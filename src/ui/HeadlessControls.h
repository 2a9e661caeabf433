#pragma once
// An in-memory window: every control id holds a text, a check state and an
// enabled flag; list ids hold an item count and a selection. Tests and a
// command-line front end drive the main window's logic through it.
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class HeadlessControls : public IControls {
public:
    struct Control {
        std::string text;
        bool checked = false;
        bool enabled = true;
    };
    struct ListView {
        int count = 0;
        std::set<int> selected;
        int redraws = 0;
    };
    struct Message {
        std::string text;
        unsigned type = 0;
    };

    std::string GetText(int id) override;
    void SetText(int id, std::string_view text) override;
    bool GetCheck(int id) override;
    void SetCheck(int id, bool checked) override;
    void Enable(int id, bool enabled) override;
    // Records the box and returns the next queued answer; with none queued,
    // No for a yes/no question and OK otherwise.
    int MessageBox(std::string_view text, unsigned type) override;

    void SetItemCount(int listId, int count) override;
    int GetItemCount(int listId) override;
    std::vector<int> GetSelectedRows(int listId) override;
    void ClearSelection(int listId) override;
    void Redraw(int listId) override;

    bool IsEnabled(int id) const;
    // Selects rows as a user would (rows beyond the count are not selectable).
    void Select(int listId, const std::vector<int>& rows);

    std::map<int, Control> controls;
    std::map<int, ListView> lists;
    std::vector<Message> messages;
    std::deque<int> answers;
};

}  // namespace ui
