#include "ui/HeadlessControls.h"

namespace ui {

std::string HeadlessControls::GetText(int id) { return controls[id].text; }
void HeadlessControls::SetText(int id, std::string_view text) { controls[id].text.assign(text); }
bool HeadlessControls::GetCheck(int id) { return controls[id].checked; }
void HeadlessControls::SetCheck(int id, bool checked) { controls[id].checked = checked; }
void HeadlessControls::Enable(int id, bool enabled) { controls[id].enabled = enabled; }

int HeadlessControls::MessageBox(std::string_view text, unsigned type) {
    messages.push_back({std::string(text), type});
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    return (type & 0xF) == kMbYesNo ? kIdNo : kIdOk;
}

void HeadlessControls::SetItemCount(int listId, int count) {
    ListView& l = lists[listId];
    l.count = count < 0 ? 0 : count;
    // A list view drops the selection of rows that no longer exist.
    l.selected.erase(l.selected.lower_bound(l.count), l.selected.end());
}

int HeadlessControls::GetItemCount(int listId) { return lists[listId].count; }

std::vector<int> HeadlessControls::GetSelectedRows(int listId) {
    const ListView& l = lists[listId];
    return std::vector<int>(l.selected.begin(), l.selected.end());
}

void HeadlessControls::ClearSelection(int listId) { lists[listId].selected.clear(); }
void HeadlessControls::Redraw(int listId) { ++lists[listId].redraws; }

bool HeadlessControls::IsEnabled(int id) const {
    auto it = controls.find(id);
    return it == controls.end() || it->second.enabled;
}

void HeadlessControls::Select(int listId, const std::vector<int>& rows) {
    ListView& l = lists[listId];
    for (int r : rows)
        if (r >= 0 && r < l.count) l.selected.insert(r);
}

}  // namespace ui
