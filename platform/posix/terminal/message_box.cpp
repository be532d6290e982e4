#include "platform/posix/terminal/message_box.h"

#include <algorithm>
#include <string_view>

#include "platform/posix/terminal/text.h"

namespace os::terminal {
namespace {

constexpr int kMargin = 7;
constexpr int kIconWidth = 23;  // the icon and the space after it
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;

// Text no terminal could show whole is cut where a terminal would cut it, so
// that no text makes the box (or the memory its drawing takes) unbounded.
constexpr int kMostLines = 500;
constexpr int kMostCells = 500;

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

MessageBox::MessageBox(const char* text, const char* caption, unsigned style) {
    const char* icon = IconFor(style);
    const int textX = icon ? kMargin + kIconWidth : kMargin;
    if (icon) labels_.push_back({icon, kMargin, kMargin});

    const std::string_view all = text ? text : "";
    int lines = 0;
    int widest = 0;  // in cells
    for (size_t start = 0; lines < kMostLines;) {
        const size_t newline = all.find('\n', start);
        const std::string_view line = all.substr(start, newline - start);
        labels_.push_back({std::string(line), textX, kMargin + kRowUnits * lines++});
        widest = std::max(widest, std::min(CellCount(line), kMostCells));
        if (newline == std::string_view::npos) break;
        start = newline + 1;
    }

    const int width = std::max(textX + kColumnUnits * widest + kMargin, kButtonWidth + 2 * kMargin);
    const int buttonY = kMargin + kRowUnits * lines + 3;
    ok_ = {kOkCommand,
           ControlKind::kDefaultPushButton,
           "Ok",
           static_cast<short>((width - kButtonWidth) / 2),
           static_cast<short>(buttonY),
           kButtonWidth,
           kButtonHeight,
           true,
           true};
    layout_.caption = caption ? caption : "";
    layout_.width = static_cast<short>(width);
    layout_.height = static_cast<short>(buttonY + kButtonHeight + kMargin);
    layout_.controls = &ok_;
    layout_.controlCount = 1;
}

}  // namespace os::terminal
