#include "platform/posix/host_dialogs/form_text.h"

#include <cctype>
#include <cmath>
#include <string_view>

#include "platform/posix/dialog_controls.h"

namespace os::host_dialogs {
namespace {

// Dialog units are a quarter of the dialog font's average character width
// across and an eighth of its height down. For the templates' 8-point shell
// font Windows takes 6 by 13 pixels; the host's GTK font is wider, and with
// 6 across the longest radio caption is cut. 7 across keeps every caption
// whole in a dialog still the template's shape (tried in the file manager).
constexpr double kBaseAcross = 7.0;
constexpr double kBaseDown = 13.0;

// The form's font is pinned to the template's point size at 96 dots per inch
// (as Windows would draw it), so that the layout does not follow the desktop's
// font size.
int FontHeight(int points) { return -static_cast<int>(std::lround(points * 96.0 / 72.0)); }

// A Pascal string literal: quotes doubled, control characters as #codes, so
// that no caption can end the literal or the line.
std::string Quoted(std::string_view text) {
    std::string out = "'";
    bool open = true;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            if (open) out += '\'';
            out += '#' + std::to_string(byte);
            open = false;
            continue;
        }
        if (!open) out += '\'';
        open = true;
        out += c == '\'' ? "''" : std::string(1, c);
    }
    if (open) out += '\'';
    return out;
}

// A control's name: its kind's prefix and its caption's letters and digits
// in camel case ("Project style" -> rgProjectStyle), or its template index
// where that gives no name or one already taken.
std::string NameFor(const char* prefix, const char* caption, size_t index,
                    const std::vector<FormControl>& taken) {
    std::string name = prefix;
    bool upper = true;
    for (const char* p = caption ? caption : ""; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x80 && std::isalnum(c)) {
            name += static_cast<char>(upper ? std::toupper(c) : c);
            upper = false;
        } else {
            upper = true;
        }
    }
    bool clash = name == prefix;
    for (const FormControl& control : taken) clash = clash || control.name == name;
    if (clash) name += std::to_string(index);
    return name;
}

bool Inside(const ControlTemplate& inner, const ControlTemplate& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// The button Escape clicks. The host has no cancel command of its own: its
// Escape clicks the button marked Cancel. That is the button with the
// cancel command's id, or else the one push button beside the default one.
std::optional<size_t> CancelButton(const DialogTemplate& dialogTemplate) {
    std::optional<size_t> other;
    size_t others = 0;
    for (size_t i = 0; i < dialogTemplate.controlCount; ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        if (!IsPushButton(control.kind)) continue;
        if (control.id == kCancelCommand) return i;
        if (control.kind == ControlKind::kPushButton) {
            other = i;
            ++others;
        }
    }
    return others == 1 ? other : std::nullopt;
}

class FormWriter {
public:
    void Line(int depth, std::string_view text) {
        text_.append(static_cast<size_t>(2 * depth), ' ');
        text_ += text;
        text_ += '\n';
    }
    void Property(int depth, std::string_view name, std::string_view value) {
        Line(depth, std::string(name) + " = " + std::string(value));
    }
    void Property(int depth, std::string_view name, int value) {
        Property(depth, name, std::to_string(value));
    }
    void Bounds(int depth, const ControlTemplate& control) {
        Property(depth, "Left", PixelsAcross(control.x));
        Property(depth, "Top", PixelsDown(control.y));
        Property(depth, "Width", PixelsAcross(control.width));
        Property(depth, "Height", PixelsDown(control.height));
    }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

}  // namespace

int PixelsAcross(int dialogUnits) {
    return static_cast<int>(std::floor(dialogUnits * kBaseAcross / 4.0 + 0.5));
}

int PixelsDown(int dialogUnits) {
    return static_cast<int>(std::floor(dialogUnits * kBaseDown / 8.0 + 0.5));
}

std::optional<Form> FormFromTemplate(const DialogTemplate& dialogTemplate,
                                     const std::vector<bool>& checked) {
    const size_t count = dialogTemplate.controls ? dialogTemplate.controlCount : 0;
    const auto isChecked = [&](size_t i) { return i < checked.size() && checked[i]; };

    // Which group box each radio button lies in.
    std::vector<std::optional<size_t>> boxOf(count);
    std::vector<std::vector<size_t>> itemsOf(count);
    for (size_t i = 0; i < count; ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        if (control.kind != ControlKind::kAutoRadioButton) continue;
        for (size_t box = 0; box < count && !boxOf[i]; ++box) {
            const ControlTemplate& outer = dialogTemplate.controls[box];
            if (outer.kind == ControlKind::kGroupBox && Inside(control, outer)) boxOf[i] = box;
        }
        if (!boxOf[i]) return std::nullopt;
        itemsOf[*boxOf[i]].push_back(i);
    }

    Form form;
    FormWriter out;
    out.Line(0, std::string("object ") + kFormName + ": TDialogBox");
    out.Property(1, "Left", 0);
    out.Property(1, "Top", 0);
    out.Property(1, "Width", PixelsAcross(dialogTemplate.width));
    out.Property(1, "Height", PixelsDown(dialogTemplate.height));
    // Like the template: no system menu, a fixed dialog frame.
    out.Property(1, "BorderIcons", "[]");
    out.Property(1, "BorderStyle", "bsDialog");
    out.Property(1, "Caption", Quoted(dialogTemplate.caption ? dialogTemplate.caption : ""));
    out.Property(1, "ClientWidth", PixelsAcross(dialogTemplate.width));
    out.Property(1, "ClientHeight", PixelsDown(dialogTemplate.height));
    out.Property(1, "Font.Height", FontHeight(dialogTemplate.pointSize));
    out.Property(1, "Position", "poScreenCenter");
    out.Property(1, "OnShow", "DialogBoxShow");

    // Objects in template order, a radio group where its first radio button
    // stands, so that the tab order is the template's; the first control
    // takes the focus, as on Windows.
    const std::optional<size_t> cancel = CancelButton(dialogTemplate);
    int tabOrder = 0;
    for (size_t i = 0; i < count; ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        switch (control.kind) {
            case ControlKind::kPushButton:
            case ControlKind::kDefaultPushButton: {
                form.controls.push_back({NameFor("btn", control.caption, i, form.controls),
                                         FormControlKind::kButton,
                                         i,
                                         {}});
                out.Line(1, "object " + form.controls.back().name + ": TButton");
                out.Bounds(2, control);
                if (cancel == i) out.Property(2, "Cancel", "True");
                out.Property(2, "Caption", Quoted(control.caption ? control.caption : ""));
                if (control.kind == ControlKind::kDefaultPushButton) {
                    out.Property(2, "Default", "True");
                }
                out.Property(2, "TabOrder", tabOrder++);
                out.Property(2, "OnClick", "ButtonClick");
                out.Line(1, "end");
                break;
            }
            case ControlKind::kAutoRadioButton: {
                const size_t box = *boxOf[i];
                const std::vector<size_t>& items = itemsOf[box];
                if (items.front() != i) break;  // the group was written at its first button
                const ControlTemplate& outer = dialogTemplate.controls[box];
                form.controls.push_back({NameFor("rg", outer.caption, box, form.controls),
                                         FormControlKind::kRadioGroup, box, items});
                out.Line(1, "object " + form.controls.back().name + ": TRadioGroup");
                out.Bounds(2, outer);
                out.Property(2, "Caption", Quoted(outer.caption ? outer.caption : ""));
                int index = -1;
                for (size_t n = 0; n < items.size() && index < 0; ++n) {
                    if (isChecked(items[n])) index = static_cast<int>(n);
                }
                out.Property(2, "ItemIndex", index);
                out.Line(2, "Items.Strings = (");
                for (const size_t item : items) {
                    const char* caption = dialogTemplate.controls[item].caption;
                    out.Line(3, Quoted(caption ? caption : ""));
                }
                out.Line(2, ")");
                out.Property(2, "TabOrder", tabOrder++);
                out.Property(2, "OnClick", "ButtonClick");
                out.Line(1, "end");
                break;
            }
            case ControlKind::kGroupBox: {
                if (!itemsOf[i].empty()) break;  // shown as its radio group
                form.controls.push_back({NameFor("gb", control.caption, i, form.controls),
                                         FormControlKind::kGroupBox,
                                         i,
                                         {}});
                out.Line(1, "object " + form.controls.back().name + ": TGroupBox");
                out.Bounds(2, control);
                out.Property(2, "Caption", Quoted(control.caption ? control.caption : ""));
                out.Line(1, "end");
                break;
            }
            default:
                return std::nullopt;
        }
    }
    out.Line(0, "end");
    form.text = out.Take();
    return form;
}

}  // namespace os::host_dialogs
