// The host's form text made from a dialog template. A text the file manager
// cannot read leaves its pack job waiting for good, so the text is held to
// what the file manager is known to read: these classes with these
// properties, the host's own event handlers, objects closed by "end".
#include "platform/posix/host_dialogs/form_text.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dialog/cdialog.h"
#include "dialog/settings_resource.h"

namespace {

using os::ControlKind;
using os::ControlTemplate;
using os::DialogTemplate;
using os::host_dialogs::FormFromTemplate;

const std::map<std::string, std::set<std::string>> kKnownClasses = {
    {"TDialogBox",
     {"Left", "Top", "Width", "Height", "BorderIcons", "BorderStyle", "Caption", "ClientWidth",
      "ClientHeight", "Font.Height", "Position", "OnShow"}},
    {"TRadioGroup",
     {"Left", "Top", "Width", "Height", "Caption", "ItemIndex", "Items.Strings", "TabOrder",
      "OnClick"}},
    {"TButton",
     {"Left", "Top", "Width", "Height", "Caption", "Default", "Cancel", "ModalResult", "TabOrder",
      "OnClick"}},
    {"TGroupBox", {"Left", "Top", "Width", "Height", "Caption", "TabOrder"}},
};

// The host's handlers, the only ones an event may name.
const std::map<std::string, std::string> kHandlers = {{"OnShow", "DialogBoxShow"},
                                                      {"OnClick", "ButtonClick"}};

// A name, and a Pascal string: quoted runs ('' for a quote) and #codes.
bool IsIdentifier(const std::string& text) {
    return std::regex_match(text, std::regex("[A-Za-z_][A-Za-z0-9_]*"));
}
bool IsString(const std::string& text) {
    return std::regex_match(text, std::regex("('([^']|'')*'|#[0-9]+)+"));
}

bool IsValue(const std::string& property, const std::string& value) {
    if (property == "Caption") return IsString(value);
    if (property == "BorderIcons") return value == "[]";
    if (property == "Default" || property == "Cancel") return value == "True" || value == "False";
    if (kHandlers.count(property)) return value == kHandlers.at(property);
    if (property == "BorderStyle" || property == "Position") return IsIdentifier(value);
    return std::regex_match(value, std::regex("-?[0-9]+"));
}

// Everything in the text the file manager would not read, one line each.
std::vector<std::string> Problems(const std::string& text) {
    std::vector<std::string> problems;
    std::vector<std::string> open;  // the classes of the objects not yet ended
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool inItems = false;
    while (std::getline(lines, line)) {
        ++number;
        const auto at = [&](const std::string& what) {
            problems.push_back("line " + std::to_string(number) + ": " + what + ": " + line);
        };
        const size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos) {
            at("an empty line");
            continue;
        }
        const std::string body = line.substr(indent);
        const size_t depth = open.size() + (inItems ? 1 : 0);
        if (inItems) {
            if (body == ")") {
                if (indent != 2 * (depth - 1)) at("indented wrongly");
                inItems = false;
            } else if (!IsString(body) || indent != 2 * depth) {
                at("an item that is no string");
            }
            continue;
        }
        if (body.rfind("object ", 0) == 0) {
            const size_t colon = body.find(": ");
            if (colon == std::string::npos || !IsIdentifier(body.substr(7, colon - 7))) {
                at("an object without a name");
                continue;
            }
            const std::string type = body.substr(colon + 2);
            if (!kKnownClasses.count(type)) at("an unknown class");
            if (open.empty() != (type == "TDialogBox")) at("TDialogBox not the form");
            if (indent != 2 * depth) at("indented wrongly");
            open.push_back(type);
            continue;
        }
        if (body == "end") {
            if (open.empty()) {
                at("an end without an object");
                continue;
            }
            open.pop_back();
            if (indent != 2 * open.size()) at("indented wrongly");
            continue;
        }
        const size_t equals = body.find(" = ");
        if (open.empty() || equals == std::string::npos) {
            at("neither object, end nor property");
            continue;
        }
        const std::string property = body.substr(0, equals);
        const std::string value = body.substr(equals + 3);
        if (!kKnownClasses.at(open.back()).count(property)) at("an unknown property");
        if (indent != 2 * depth) at("indented wrongly");
        if (property == "Items.Strings") {
            if (value != "(") at("items not in parentheses");
            inItems = true;
        } else if (!IsValue(property, value)) {
            at("a value that does not fit");
        }
    }
    if (!open.empty() || inItems) problems.push_back("the text ends inside an object");
    if (number == 0) problems.push_back("no text");
    return problems;
}

std::string Settings(const std::vector<bool>& checked = {}) {
    const auto form = FormFromTemplate(*FindDialogTemplate(IDD_SETTINGS), checked);
    EXPECT_TRUE(form.has_value());
    return form ? form->text : std::string();
}

TEST(HostFormTextTest, TheCheckerFindsWhatTheHostCannotRead) {
    const std::string good = "object DialogBox: TDialogBox\n  Caption = 'it''s'#9\nend\n";
    EXPECT_TRUE(Problems(good).empty()) << Problems(good).front();
    for (const std::string bad : {
             "object DialogBox: TDialogBox\n  object a: TRadioButton\n  end\nend\n",
             "object DialogBox: TDialogBox\n  Caption = 'open\nend\n",
             "object DialogBox: TDialogBox\n  Color = 5\nend\n",
             "object DialogBox: TDialogBox\n  OnShow = FormShow\nend\n",
             "object DialogBox: TDialogBox\n  object b: TButton\n  end\n",
             "object DialogBox: TDialogBox\n  object r: TRadioGroup\n    Items.Strings = (\n"
             "      x\n    )\n  end\nend\n",
         }) {
        EXPECT_FALSE(Problems(bad).empty()) << bad;
    }
}

// The layout as it was tried in the file manager: the template's arrangement
// in pixels, the objects in template (and tab) order, Ok the default and the
// focus, Cancel what Escape clicks, every radio group unchosen until the
// dialog's initialisation chooses.
TEST(HostFormTextTest, TheSettingsFormFollowsTemplate103) {
    const std::string text = Settings();
    const std::string form =
        "object DialogBox: TDialogBox\n  Left = 0\n  Top = 0\n  Width = 523\n  Height = 83\n"
        "  BorderIcons = []\n  BorderStyle = bsDialog\n  Caption = 'Mossgrain: Settings'\n"
        "  ClientWidth = 523\n  ClientHeight = 83\n  Font.Height = -11\n"
        "  Position = poScreenCenter\n  OnShow = DialogBoxShow\n";
    const std::string ok =
        "  object btnOk: TButton\n    Left = 389\n    Top = 7\n    Width = 123\n    Height = 26\n"
        "    Caption = 'Ok'\n    Default = True\n    TabOrder = 0\n    OnClick = ButtonClick\n"
        "  end\n";
    const std::string cancel =
        "  object btnCancel: TButton\n    Left = 389\n    Top = 44\n    Width = 123\n"
        "    Height = 26\n    Cancel = True\n    Caption = 'Cancel'\n    TabOrder = 1\n"
        "    OnClick = ButtonClick\n  end\n";
    const std::string project =
        "  object rgProjectStyle: TRadioGroup\n    Left = 12\n    Top = 3\n    Width = 149\n"
        "    Height = 65\n    Caption = 'Project style'\n    ItemIndex = -1\n"
        "    Items.Strings = (\n      'C style project'\n      'Pascal style project'\n    )\n"
        "    TabOrder = 2\n    OnClick = ButtonClick\n  end\n";
    const std::string results =
        "  object rgResultsFile: TRadioGroup\n    Left = 203\n    Top = 3\n    Width = 147\n"
        "    Height = 65\n    Caption = 'Results File'\n    ItemIndex = -1\n"
        "    Items.Strings = (\n      '.csv'\n      '.VizizaVara'\n    )\n"
        "    TabOrder = 3\n    OnClick = ButtonClick\n  end\n";
    EXPECT_EQ(text, form + ok + cancel + project + results + "end\n");
}

TEST(HostFormTextTest, CheckedButtonsAreTheGroupsChoices) {
    // Pascal (template control 3) and .csv (6).
    const std::string text = Settings({false, false, false, true, false, false, true, false});
    const size_t project = text.find("rgProjectStyle");
    const size_t results = text.find("rgResultsFile");
    EXPECT_EQ(text.find("ItemIndex = 1", project), text.find("ItemIndex", project));
    EXPECT_EQ(text.find("ItemIndex = 0", results), text.find("ItemIndex", results));
}

TEST(HostFormTextTest, AnyCaptionStaysOneStringAndNamesStayUnique) {
    constexpr ControlTemplate kControls[] = {
        {-1, ControlKind::kGroupBox, "it's a\tframe", 5, 5, 100, 60, false, false},
        {10, ControlKind::kPushButton, "Go", 120, 5, 40, 14, true, true},
        {11, ControlKind::kPushButton, "Go", 120, 25, 40, 14, true, true},
        {12, ControlKind::kDefaultPushButton, nullptr, 120, 45, 40, 14, true, true},
    };
    const DialogTemplate dialog = {1, "caption\n'quoted'", 170, 70, "", 9, 0, kControls, 4};
    const auto form = FormFromTemplate(dialog, {});
    ASSERT_TRUE(form.has_value());
    const std::vector<std::string> problems = Problems(form->text);
    EXPECT_TRUE(problems.empty()) << problems.front() << "\n" << form->text;
    EXPECT_NE(form->text.find("Caption = 'caption'#10'''quoted'''\n"), std::string::npos);
    EXPECT_NE(form->text.find("object gbItSAFrame: TGroupBox"), std::string::npos);
    EXPECT_NE(form->text.find("Caption = 'it''s a'#9'frame'"), std::string::npos);
    EXPECT_NE(form->text.find("object btnGo: TButton"), std::string::npos);
    EXPECT_NE(form->text.find("object btnGo2: TButton"), std::string::npos);
    EXPECT_NE(form->text.find("object btn3: TButton"), std::string::npos);
    EXPECT_NE(form->text.find("Font.Height = -12"), std::string::npos);  // 9 points
    // Two buttons beside the default one: none is what Escape would click.
    EXPECT_EQ(form->text.find("Cancel = True"), std::string::npos);
}

TEST(HostFormTextTest, ARadioButtonOutsideEveryGroupBoxCannotBeShown) {
    constexpr ControlTemplate kControls[] = {
        {-1, ControlKind::kGroupBox, "box", 5, 5, 60, 40, false, false},
        {20, ControlKind::kAutoRadioButton, "inside", 10, 15, 40, 10, true, true},
        {21, ControlKind::kAutoRadioButton, "outside", 70, 15, 40, 10, false, true},
    };
    const DialogTemplate dialog = {1, "t", 120, 50, "", 8, 0, kControls, 3};
    EXPECT_FALSE(FormFromTemplate(dialog, {}).has_value());
}

}  // namespace
