// A dialog as the terminal shows it: its controls with their check marks and
// the focus, and what each key does to them. Nothing here touches a
// terminal, so the behaviour can be exercised key by key.
//
// The keys follow the Windows dialog manager: Tab and Shift-Tab step through
// the tab stops, the arrow keys move within the focused control's group (and
// check an auto radio button they land on), Space clicks, Enter presses the
// focused push button or else the default one, Escape cancels.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/os_dialog.h"
#include "platform/posix/terminal/keys.h"

namespace os::terminal {

enum class ItemKind : unsigned char {
    kPushButton,
    kDefaultPushButton,
    kAutoRadioButton,
    kGroupBox,
    kText,  // a label or an icon: shown, never focused
};

struct Item {
    int id = -1;
    ItemKind kind = ItemKind::kText;
    std::string caption;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    bool groupStart = false;
    bool tabStop = false;
    bool checked = false;
};

class DialogModel {
public:
    DialogModel(std::string caption, int width, int height, std::vector<Item> items);

    // The controls of a dialog template; focus on its first tab stop.
    static DialogModel FromTemplate(const DialogTemplate& dialogTemplate);

    // A message box: an icon as the style asks, the text line by line, and
    // one default Ok button (command kOkCommand).
    static DialogModel ForMessage(const char* text, const char* caption, unsigned style);

    const std::string& caption() const { return caption_; }
    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<Item>& items() const { return items_; }
    size_t size() const { return items_.size(); }

    // The focused item, if any.
    std::optional<size_t> focus() const { return focus_; }

    // The item with the given id; -1 (the id of unaddressed controls) never matches.
    std::optional<size_t> Find(int id) const;

    bool IsFocusable(size_t index) const;
    bool IsPushButton(size_t index) const;

    // The push button Enter presses now: the focused one, else the default one.
    std::optional<size_t> ActiveDefault() const;

    // Only radio buttons hold a check mark; setting one clears no other.
    bool IsChecked(size_t index) const;
    void SetChecked(size_t index, bool checked);

    // Applies a key; returns the command it sends, if any.
    std::optional<int> HandleKey(Key key);

private:
    // The items of the group that holds index: [first, end).
    void GroupOf(size_t index, size_t& first, size_t& end) const;
    void MoveTab(bool forward);
    void MoveInGroup(bool forward);
    // What a click on item index does: checks an auto radio button, then sends its id.
    std::optional<int> Click(size_t index);
    void CheckRadio(size_t index);

    std::string caption_;
    int width_;
    int height_;
    std::vector<Item> items_;
    std::optional<size_t> focus_;
};

}  // namespace os::terminal
