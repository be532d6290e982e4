// The settings dialog and the about box as the terminal draws them, and the
// text cells the drawing is made of; no terminal is needed.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dialog/cdialog.h"
#include "dialog/settings_resource.h"
#include "platform/os_dialog.h"
#include "platform/posix/dialog_controls.h"
#include "platform/posix/terminal/key_rules.h"
#include "platform/posix/terminal/keys.h"
#include "platform/posix/terminal/message_box.h"
#include "platform/posix/terminal/render.h"
#include "platform/posix/terminal/text.h"
#include "plugin/module_identity.h"

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

TEST_F(SettingsDrawingTest, IsAPlainFrameThatFitsEightyColumns) {
    const std::string text = Plain();
    EXPECT_EQ(lines_.front().rfind("+- Mossgrain: Settings -", 0), 0u);
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
    // buttons right of the results group.
    EXPECT_GT(where("Pascal").first, where("C style").first);
    EXPECT_EQ(where(".csv").first, where("C style").first);
    EXPECT_GT(where(".csv").second, where("C style").second);
    EXPECT_GT(where("Cancel").first, where("Ok").first);
    EXPECT_GT(where("Ok").second, where("Results File").second);
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

// ---- no control drawn over another ---------------------------------------------

using Cells = std::set<std::pair<size_t, size_t>>;  // (row, column) of a drawing

// A group box found by its caption: its border's cells and where it lies.
struct DrawnBox {
    size_t top = 0, bottom = 0, left = 0, right = 0;  // the border's rows and columns
    Cells border;
};

class NoOverlapTest : public testing::Test {
protected:
    // The cells of text, which must be drawn exactly once, and all of them
    // inside the frame.
    Cells Line(const std::string& text) {
        Cells cells;
        for (size_t row = 0; row < lines_.size(); ++row) {
            for (size_t at = lines_[row].find(text); at != std::string::npos;
                 at = lines_[row].find(text, at + 1)) {
                EXPECT_TRUE(cells.empty()) << '"' << text << "\" drawn twice\n" << Text();
                for (size_t c = at; c < at + text.size(); ++c) cells.insert({row, c});
            }
        }
        EXPECT_FALSE(cells.empty()) << '"' << text << "\" not drawn\n" << Text();
        return Inside(cells);
    }

    // The box whose top border holds the caption, followed along its border.
    DrawnBox Box(const std::string& caption) {
        DrawnBox box;
        const Cells captionCells = Line("+- " + caption + " -");
        if (captionCells.empty()) return box;
        box.top = captionCells.begin()->first;
        box.left = captionCells.begin()->second;
        box.right = lines_[box.top].find('+', box.left + 1);
        box.bottom = box.top + 1;
        while (box.bottom < lines_.size() && lines_[box.bottom][box.left] == '|') ++box.bottom;
        EXPECT_TRUE(box.right != std::string::npos && box.bottom < lines_.size() &&
                    lines_[box.bottom][box.left] == '+' && lines_[box.bottom][box.right] == '+')
            << caption << "\n"
            << Text();
        if (HasFailure()) return box;
        for (size_t c = box.left; c <= box.right; ++c) box.border.insert({box.top, c});
        for (size_t c = box.left; c <= box.right; ++c) box.border.insert({box.bottom, c});
        for (size_t r = box.top; r <= box.bottom; ++r) box.border.insert({r, box.left});
        for (size_t r = box.top; r <= box.bottom; ++r) box.border.insert({r, box.right});
        Inside(box.border);
        return box;
    }

    // Every control's cells apart from every other's.
    void ExpectApart(const std::vector<Cells>& controls) {
        for (size_t i = 0; i < controls.size(); ++i) {
            for (size_t j = i + 1; j < controls.size(); ++j) {
                for (const auto& cell : controls[i]) {
                    EXPECT_EQ(controls[j].count(cell), 0u)
                        << "controls " << i << " and " << j << " meet\n"
                        << Text();
                }
            }
        }
    }

    // The line inside the box, with a blank cell before its right border.
    void ExpectEncloses(const DrawnBox& box, const Cells& line) {
        for (const auto& [row, column] : line) {
            EXPECT_TRUE(box.top < row && row < box.bottom && box.left < column &&
                        column + 1 < box.right)
                << "outside its box\n"
                << Text();
        }
    }

    std::string Text() const {
        std::string text;
        for (const std::string& line : lines_) text += line + "\n";
        return text;
    }

    std::vector<std::string> lines_;

private:
    const Cells& Inside(const Cells& cells) {
        for (const auto& [row, column] : cells) {
            EXPECT_TRUE(row > 0 && row + 1 < lines_.size() && column > 0 &&
                        column + 1 < lines_[row].size())
                << "on the frame\n"
                << Text();
        }
        return cells;
    }
};

TEST_F(NoOverlapTest, SettingsDialogAsFirstShownAndWithCancelFocused) {
    os::DialogWindow dialog(*FindDialogTemplate(IDD_SETTINGS));
    KeyRules keys(dialog);
    os::SetButtonChecked(os::DialogItem(&dialog, IDC_C_STYLE), true);
    os::SetButtonChecked(os::DialogItem(&dialog, IDC_CSV), true);
    for (const auto& [ok, cancel] :
         {std::pair{">[[ Ok ]]", " [ Cancel ] "}, std::pair{"  [ Ok ] ", ">[[ Cancel ]]"}}) {
        lines_ = RenderDialog(keys, {}, RenderStyle::kPlain);
        const DrawnBox project = Box("Project style"), results = Box("Results File");
        const Cells cStyle = Line(" (*) C style project"),
                    pascal = Line(" ( ) Pascal style project");
        const Cells csv = Line(" (*) .csv"), vizizaVara = Line(" ( ) .VizizaVara");
        ExpectApart({Line(ok), Line(cancel), cStyle, pascal, project.border, results.border, csv,
                     vizizaVara});
        ExpectEncloses(project, cStyle);
        ExpectEncloses(project, pascal);
        ExpectEncloses(results, csv);
        ExpectEncloses(results, vizizaVara);
        keys.HandleKey(Key::kTab);
    }
}

TEST_F(NoOverlapTest, AboutBox) {
    const os::terminal::MessageBox box(MOSSGRAIN_ABOUT_TEXT, MOSSGRAIN_ABOUT_CAPTION,
                                       MOSSGRAIN_ABOUT_STYLE);
    os::DialogWindow dialog(box.layout());
    lines_ = RenderDialog(KeyRules(dialog), box.labels(), RenderStyle::kPlain);
    EXPECT_EQ(lines_.front().rfind("+- About... -", 0), 0u) << Text();
    ExpectApart({Line("/!\\"), Line("Mossgrain plug-in for TotalCommander v 0.2 "),
                 Line("    Kervad (kervad) "), Line("    mossgrain@example.org"),
                 Line(">[[ Ok ]]")});
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
