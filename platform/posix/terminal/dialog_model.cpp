#include "platform/posix/terminal/dialog_model.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/posix/terminal/text.h"

namespace os::terminal {
namespace {

ItemKind KindOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::kPushButton:
            return ItemKind::kPushButton;
        case ControlKind::kDefaultPushButton:
            return ItemKind::kDefaultPushButton;
        case ControlKind::kAutoRadioButton:
            return ItemKind::kAutoRadioButton;
        case ControlKind::kGroupBox:
            return ItemKind::kGroupBox;
    }
    return ItemKind::kText;  // a kind this rendering does not know is shown, never used
}

// The sign the icon bits of a message box style ask for, or null for none.
const char* IconFor(unsigned style) {
    switch (style & 0xf0u) {
        case 0x10u:
            return "(x)";  // stop
        case 0x20u:
            return "(?)";  // question
        case 0x30u:
            return "/!\\";  // warning
        case 0x40u:
            return "(i)";  // information
        default:
            return nullptr;
    }
}

}  // namespace

DialogModel::DialogModel(std::string caption, int width, int height, std::vector<Item> items)
    : caption_(std::move(caption)), width_(width), height_(height), items_(std::move(items)) {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (IsFocusable(i) && items_[i].tabStop) {
            focus_ = i;
            break;
        }
    }
}

DialogModel DialogModel::FromTemplate(const DialogTemplate& dialogTemplate) {
    std::vector<Item> items;
    if (dialogTemplate.controls != nullptr) {
        items.reserve(dialogTemplate.controlCount);
        for (size_t i = 0; i < dialogTemplate.controlCount; ++i) {
            const ControlTemplate& control = dialogTemplate.controls[i];
            Item item;
            item.id = control.id;
            item.kind = KindOf(control.kind);
            item.caption = control.caption ? control.caption : "";
            item.x = control.x;
            item.y = control.y;
            item.width = control.width;
            item.height = control.height;
            item.groupStart = control.groupStart;
            item.tabStop = control.tabStop;
            items.push_back(std::move(item));
        }
    }
    return DialogModel(dialogTemplate.caption ? dialogTemplate.caption : "", dialogTemplate.width,
                       dialogTemplate.height, std::move(items));
}

DialogModel DialogModel::ForMessage(const char* text, const char* caption, unsigned style) {
    // Laid out in dialog units the way a message box is: the icon at the top
    // left, the text beside it one line every 8 units, the button centred below.
    constexpr int kMargin = 7;
    constexpr int kLineHeight = 8;
    constexpr int kButtonWidth = 50;
    constexpr int kButtonHeight = 14;

    std::vector<Item> items;
    const char* icon = IconFor(style);
    const int textX = icon ? kMargin + 23 : kMargin;
    if (icon) {
        Item sign;
        sign.caption = icon;
        sign.x = kMargin;
        sign.y = kMargin;
        sign.width = 16;
        sign.height = kLineHeight;
        items.push_back(std::move(sign));
    }

    // Every line is kept as written, its leading and trailing spaces too.
    const std::string_view all = text ? text : "";
    int lines = 0;
    int widest = 0;
    size_t start = 0;
    for (;;) {
        const size_t newline = all.find('\n', start);
        const std::string_view line =
            all.substr(start, newline == std::string_view::npos ? all.npos : newline - start);
        Item label;
        label.caption.assign(line);
        label.x = textX;
        label.y = kMargin + kLineHeight * lines;
        label.width = std::max(1, 4 * CellCount(line));
        label.height = kLineHeight;
        widest = std::max(widest, label.width);
        items.push_back(std::move(label));
        ++lines;
        if (newline == std::string_view::npos) break;
        start = newline + 1;
    }

    const int width = std::max(textX + widest + kMargin, kButtonWidth + 2 * kMargin);
    Item ok;
    ok.id = kOkCommand;
    ok.kind = ItemKind::kDefaultPushButton;
    ok.caption = "Ok";
    ok.x = (width - kButtonWidth) / 2;
    ok.y = kMargin + kLineHeight * lines + 3;
    ok.width = kButtonWidth;
    ok.height = kButtonHeight;
    ok.groupStart = true;
    ok.tabStop = true;
    const int height = ok.y + kButtonHeight + kMargin;
    items.push_back(std::move(ok));
    return DialogModel(caption ? caption : "", width, height, std::move(items));
}

std::optional<size_t> DialogModel::Find(int id) const {
    if (id == -1) return std::nullopt;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].id == id) return i;
    }
    return std::nullopt;
}

bool DialogModel::IsFocusable(size_t index) const {
    if (index >= items_.size()) return false;
    return IsPushButton(index) || items_[index].kind == ItemKind::kAutoRadioButton;
}

bool DialogModel::IsPushButton(size_t index) const {
    if (index >= items_.size()) return false;
    const ItemKind kind = items_[index].kind;
    return kind == ItemKind::kPushButton || kind == ItemKind::kDefaultPushButton;
}

std::optional<size_t> DialogModel::ActiveDefault() const {
    // As on Windows, a focused push button takes the default role while it has the focus.
    if (focus_ && IsPushButton(*focus_)) return focus_;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].kind == ItemKind::kDefaultPushButton) return i;
    }
    return std::nullopt;
}

bool DialogModel::IsChecked(size_t index) const {
    return index < items_.size() && items_[index].checked;
}

void DialogModel::SetChecked(size_t index, bool checked) {
    if (index < items_.size() && items_[index].kind == ItemKind::kAutoRadioButton) {
        items_[index].checked = checked;
    }
}

std::optional<int> DialogModel::HandleKey(Key key) {
    switch (key) {
        case Key::kTab:
            MoveTab(true);
            return std::nullopt;
        case Key::kBackTab:
            MoveTab(false);
            return std::nullopt;
        case Key::kUp:
        case Key::kLeft:
        case Key::kDown:
        case Key::kRight: {
            const std::optional<size_t> before = focus_;
            MoveInGroup(key == Key::kDown || key == Key::kRight);
            // Landing on an auto radio button checks it, as a click would.
            if (focus_ != before && items_[*focus_].kind == ItemKind::kAutoRadioButton) {
                return Click(*focus_);
            }
            return std::nullopt;
        }
        case Key::kSpace:
            if (!focus_) return std::nullopt;
            return Click(*focus_);
        case Key::kEnter: {
            const std::optional<size_t> button = ActiveDefault();
            return button ? items_[*button].id : kOkCommand;
        }
        case Key::kEscape:
        case Key::kCtrlC:
            return kCancelCommand;
    }
    return std::nullopt;
}

void DialogModel::GroupOf(size_t index, size_t& first, size_t& end) const {
    first = index;
    while (first > 0 && !items_[first].groupStart) --first;
    end = index + 1;
    while (end < items_.size() && !items_[end].groupStart) ++end;
}

void DialogModel::MoveTab(bool forward) {
    const size_t count = items_.size();
    if (count == 0) return;
    // Without a focus the search starts just outside the list, so that Tab
    // finds the first stop and Shift-Tab the last.
    size_t at = focus_ ? *focus_ : (forward ? count - 1 : 0);
    for (size_t step = 0; step < count; ++step) {
        at = forward ? (at + 1) % count : (at + count - 1) % count;
        if (IsFocusable(at) && items_[at].tabStop) {
            focus_ = at;
            return;
        }
    }
}

void DialogModel::MoveInGroup(bool forward) {
    if (!focus_) return;
    size_t first, end;
    GroupOf(*focus_, first, end);
    const size_t count = end - first;
    size_t at = *focus_;
    for (size_t step = 1; step < count; ++step) {
        at = forward ? (at + 1 == end ? first : at + 1) : (at == first ? end - 1 : at - 1);
        if (IsFocusable(at)) {
            focus_ = at;
            return;
        }
    }
}

std::optional<int> DialogModel::Click(size_t index) {
    if (!IsFocusable(index)) return std::nullopt;
    if (items_[index].kind == ItemKind::kAutoRadioButton) CheckRadio(index);
    return items_[index].id;
}

void DialogModel::CheckRadio(size_t index) {
    size_t first, end;
    GroupOf(index, first, end);
    for (size_t i = first; i < end; ++i) {
        if (items_[i].kind == ItemKind::kAutoRadioButton) items_[i].checked = (i == index);
    }
}

}  // namespace os::terminal
