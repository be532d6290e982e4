// The settings dialog as the terminal draws it, and the text cells the
// drawing is made of; no terminal is needed.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "dialog/cdialog.h"
#include "dialog/settings_resource.h"
#include "platform/os_dialog.h"
#include "platform/posix/dialog_controls.h"
#include "platform/posix/terminal/key_rules.h"
#include "platform/posix/terminal/keys.h"
#include "platform/posix/terminal/render.h"
#include "platform/posix/terminal/text.h"

namespace {

using os::terminal::Key;
using os::terminal::KeyRules;
using os::terminal::RenderDialog;
using os::terminal::RenderStyle;

class SettingsDrawingTest : public testing::Test {
protected:
    SettingsDrawingTest() : dialog_(*FindDialogTemplate(IDD_SETTINGS)), keys_(dialog_) {
        // As the framework loads it: the first button of each radio group checked.
        os::SetButtonChecked(os::DialogItem(&dialog_, IDC_C_STYLE), true);
        os::SetButtonChecked(os::DialogItem(&dialog_, IDC_CSV), true);
    }

    std::string Plain() {
        std::string text;
        lines_ = RenderDialog(keys_, {}, RenderStyle::kPlain);
        for (const std::string& line : lines_) text += line + "\n";
        return text;
    }

    os::DialogWindow dialog_;
    KeyRules keys_;
    std::vector<std::string> lines_;
};

TEST_F(SettingsDrawingTest, ShowsEveryControlInAFrame) {
    const std::string text = Plain();
    EXPECT_EQ(lines_.front().rfind("+- Mossgrain: Settings -", 0), 0u);
    for (const char* part :
         {"+- Project style -", "+- Results File -", "(*) C style project",
          "( ) Pascal style project", "(*) .csv", "( ) .VizizaVara", ">[[ Ok ]]", " [ Cancel ] "}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    }
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
    // A rectangle that fits an 80-column terminal.
    for (const std::string& line : lines_) {
        EXPECT_EQ(line.size(), lines_.front().size()) << text;
        EXPECT_LE(line.size(), 80u);
        EXPECT_EQ(line.front(), line.front() == '+' ? '+' : '|');
    }
    EXPECT_EQ(lines_.back().find_first_not_of("+-"), std::string::npos);
}

TEST_F(SettingsDrawingTest, KeepsTheTemplateArrangement) {
    Plain();
    const auto where = [&](const char* part) {
        for (size_t row = 0; row < lines_.size(); ++row) {
            const size_t column = lines_[row].find(part);
            if (column != std::string::npos) return std::pair<size_t, size_t>(row, column);
        }
        ADD_FAILURE() << part;
        return std::pair<size_t, size_t>(0, 0);
    };
    // Pascal below C, .csv right of C and on its row, Cancel below Ok, the
    // buttons right of the results group, both radio groups inside their boxes.
    EXPECT_GT(where("Pascal").first, where("C style").first);
    EXPECT_EQ(where(".csv").first, where("C style").first);
    EXPECT_GT(where(".csv").second, where("C style").second);
    EXPECT_GT(where("Cancel").first, where("Ok").first);
    EXPECT_GT(where("Ok").second, where("Results File").second);
    // The radio buttons sit between the top and bottom borders of their box.
    const auto [top, left] = where("Project style");
    size_t bottom = top + 1;
    while (bottom < lines_.size() && lines_[bottom][left - 3] != '+') ++bottom;
    ASSERT_LT(bottom, lines_.size());
    EXPECT_LT(top, where("C style").first);
    EXPECT_LT(where("Pascal").first, bottom);
    EXPECT_GT(where("C style").second, left - 3);
}

TEST_F(SettingsDrawingTest, FocusAndDefaultFollowTheKeys) {
    keys_.HandleKey(Key::kTab);  // to Cancel, which then takes the default role
    std::string text = Plain();
    EXPECT_NE(text.find(">[[ Cancel ]]"), std::string::npos) << text;
    EXPECT_NE(text.find("  [ Ok ] "), std::string::npos) << text;
    keys_.HandleKey(Key::kTab);
    keys_.HandleKey(Key::kDown);  // onto Pascal, which checks it
    text = Plain();
    EXPECT_NE(text.find(">(*) Pascal style project"), std::string::npos) << text;
    EXPECT_NE(text.find(" ( ) C style project"), std::string::npos) << text;
    EXPECT_NE(text.find(" [[ Ok ]]"), std::string::npos) << text;  // the default again
    EXPECT_EQ(text.find('>'), text.rfind('>'));                    // one focus only

    // In a terminal the focused control is also in reverse video.
    std::string ansi;
    for (const std::string& line : RenderDialog(keys_, {}, RenderStyle::kAnsi)) ansi += line;
    EXPECT_NE(ansi.find("\x1b[7m>(*) Pascal style project\x1b[27m"), std::string::npos);
    // Without its attributes it is the plain drawing.
    std::erase(text, '\n');
    EXPECT_EQ(std::regex_replace(ansi, std::regex("\x1b\\[[0-9;]*m"), ""), text);
}

TEST_F(SettingsDrawingTest, NarrowTerminalsCutLines) {
    for (const std::string& line : RenderDialog(keys_, {}, RenderStyle::kAnsi, 30)) {
        EXPECT_EQ(os::terminal::CellCount(line), 30) << line;
    }
}

TEST(TextCellsTest, ControlBytesAndBadUtf8BecomeQuestionMarks) {
    EXPECT_EQ(os::terminal::SplitCells("a\x1b\tb"), (std::vector<std::string>{"a", "?", "?", "b"}));
    EXPECT_EQ(os::terminal::SplitCells("\xc3\xa9\xe2\x82\xac"),
              (std::vector<std::string>{"\xc3\xa9", "\xe2\x82\xac"}));
    // A cut sequence, an overlong slash and a C1 control.
    EXPECT_EQ(os::terminal::SplitCells("\xe2\x82 \xc0\xaf \xc2\x9b"),
              (std::vector<std::string>{"?", "?", " ", "?", "?", " ", "?", "?"}));
}

}  // namespace
