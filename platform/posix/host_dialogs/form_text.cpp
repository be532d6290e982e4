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

namespace {

const char* Text(const char* caption) { return caption ? caption : ""; }

// The form of one template, written object by object: a radio group where its
// first radio button stands, so that the tab order is the template's (the
// first control then takes the focus, as on Windows).
class FormBuilder {
public:
    FormBuilder(const DialogTemplate& dialogTemplate, const std::vector<bool>& checked)
        : template_(dialogTemplate),
          count_(dialogTemplate.controls ? dialogTemplate.controlCount : 0),
          checked_(checked),
          cancel_(CancelButton(dialogTemplate)),
          boxOf_(count_),
          itemsOf_(count_) {}

    std::optional<Form> Build() {
        if (!GroupRadioButtons()) return std::nullopt;
        WriteDialogBox();
        for (size_t i = 0; i < count_; ++i) {
            const ControlTemplate& control = template_.controls[i];
            switch (control.kind) {
                case ControlKind::kPushButton:
                case ControlKind::kDefaultPushButton:
                    WriteButton(i);
                    break;
                case ControlKind::kAutoRadioButton:
                    // The group is written at its first button.
                    if (itemsOf_[*boxOf_[i]].front() == i) WriteRadioGroup(*boxOf_[i]);
                    break;
                case ControlKind::kGroupBox:
                    if (itemsOf_[i].empty()) WriteGroupBox(i);  // else shown as its radio group
                    break;
                default:
                    return std::nullopt;
            }
        }
        out_.Line(0, "end");
        form_.text = out_.Take();
        return std::move(form_);
    }

private:
    // Which group box each radio button lies in; false for one in none.
    bool GroupRadioButtons() {
        for (size_t i = 0; i < count_; ++i) {
            const ControlTemplate& control = template_.controls[i];
            if (control.kind != ControlKind::kAutoRadioButton) continue;
            for (size_t box = 0; box < count_ && !boxOf_[i]; ++box) {
                const ControlTemplate& outer = template_.controls[box];
                if (outer.kind == ControlKind::kGroupBox && Inside(control, outer)) boxOf_[i] = box;
            }
            if (!boxOf_[i]) return false;
            itemsOf_[*boxOf_[i]].push_back(i);
        }
        return true;
    }

    void WriteDialogBox() {
        out_.Line(0, std::string("object ") + kFormName + ": TDialogBox");
        out_.Property(1, "Left", 0);
        out_.Property(1, "Top", 0);
        out_.Property(1, "Width", PixelsAcross(template_.width));
        out_.Property(1, "Height", PixelsDown(template_.height));
        // Like the template: no system menu, a fixed dialog frame.
        out_.Property(1, "BorderIcons", "[]");
        out_.Property(1, "BorderStyle", "bsDialog");
        out_.Property(1, "Caption", Quoted(Text(template_.caption)));
        out_.Property(1, "ClientWidth", PixelsAcross(template_.width));
        out_.Property(1, "ClientHeight", PixelsDown(template_.height));
        out_.Property(1, "Font.Height", FontHeight(template_.pointSize));
        out_.Property(1, "Position", "poScreenCenter");
        out_.Property(1, "OnShow", "DialogBoxShow");
    }

    // Starts the object of control i (or of the group box i): its name, its
    // kind and its bounds.
    void Begin(const char* prefix, FormControlKind kind, const char* type, size_t i,
               std::vector<size_t> items = {}) {
        const ControlTemplate& control = template_.controls[i];
        form_.controls.push_back(
            {NameFor(prefix, control.caption, i, form_.controls), kind, i, std::move(items)});
        out_.Line(1, "object " + form_.controls.back().name + ": " + type);
        out_.Bounds(2, control);
    }

    void WriteButton(size_t i) {
        const ControlTemplate& control = template_.controls[i];
        Begin("btn", FormControlKind::kButton, "TButton", i);
        if (cancel_ == i) out_.Property(2, "Cancel", "True");
        out_.Property(2, "Caption", Quoted(Text(control.caption)));
        if (control.kind == ControlKind::kDefaultPushButton) out_.Property(2, "Default", "True");
        out_.Property(2, "TabOrder", tabOrder_++);
        out_.Property(2, "OnClick", "ButtonClick");
        out_.Line(1, "end");
    }

    void WriteRadioGroup(size_t box) {
        const std::vector<size_t>& items = itemsOf_[box];
        Begin("rg", FormControlKind::kRadioGroup, "TRadioGroup", box, items);
        out_.Property(2, "Caption", Quoted(Text(template_.controls[box].caption)));
        int index = -1;
        for (size_t n = 0; n < items.size() && index < 0; ++n) {
            if (items[n] < checked_.size() && checked_[items[n]]) index = static_cast<int>(n);
        }
        out_.Property(2, "ItemIndex", index);
        out_.Line(2, "Items.Strings = (");
        for (const size_t item : items)
            out_.Line(3, Quoted(Text(template_.controls[item].caption)));
        out_.Line(2, ")");
        out_.Property(2, "TabOrder", tabOrder_++);
        out_.Property(2, "OnClick", "ButtonClick");
        out_.Line(1, "end");
    }

    void WriteGroupBox(size_t i) {
        Begin("gb", FormControlKind::kGroupBox, "TGroupBox", i);
        out_.Property(2, "Caption", Quoted(Text(template_.controls[i].caption)));
        out_.Line(1, "end");
    }

    const DialogTemplate& template_;
    const size_t count_;
    const std::vector<bool>& checked_;
    const std::optional<size_t> cancel_;
    std::vector<std::optional<size_t>> boxOf_;  // the group box of each radio button
    std::vector<std::vector<size_t>> itemsOf_;  // the radio buttons of each group box
    Form form_;
    FormWriter out_;
    int tabOrder_ = 0;
};

}  // namespace

std::optional<Form> FormFromTemplate(const DialogTemplate& dialogTemplate,
                                     const std::vector<bool>& checked) {
    return FormBuilder(dialogTemplate, checked).Build();
}

}  // namespace os::host_dialogs
