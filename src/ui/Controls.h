#pragma once
// What the main window's logic needs of a window, by control id. The Win32
// dialog implements it on real HWNDs; tests use an in-memory set of controls.
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// Message box types and answers, with their Win32 values.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconWarning = 0x30;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class IControls {
public:
    virtual ~IControls() = default;
    virtual std::string GetText(int id) = 0;
    virtual void SetText(int id, std::string_view text) = 0;
    virtual bool GetCheck(int id) = 0;
    virtual void SetCheck(int id, bool checked) = 0;
    virtual void Enable(int id, bool enabled) = 0;
    // A message box with the application's title; returns the answer.
    virtual int MessageBox(std::string_view text, unsigned type) = 0;

    // Virtual list views (owner data): the window keeps only item counts and
    // the selection; rows are drawn from the logic's records.
    virtual void SetItemCount(int listId, int count) = 0;
    virtual int GetItemCount(int listId) = 0;
    // Selected rows in ascending order.
    virtual std::vector<int> GetSelectedRows(int listId) = 0;
    virtual void ClearSelection(int listId) = 0;
    // Repaints every row of the list.
    virtual void Redraw(int listId) = 0;
};

}  // namespace ui
