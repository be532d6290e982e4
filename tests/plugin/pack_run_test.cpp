// The pack run: the settings file, the dialog as the gate, the report.
#include "plugin/pack_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "plugin/wcx_api.h"
#include "standin/entry_list.h"
#include "tests/support/pack_environment.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

// Each test gets its own settings folder and answers the dialog by script.
class PackRunTest : public PackTest {
protected:
    void SetUp() override {
        tree_.File("src/main.c", "int main() {\n    return 0; // done\n}\n\n/* end */\n");
        tree_.File("src/util/util.h", "#pragma once\n/*\n * helpers\n */\nvoid f();\n");
        tree_.File("docs/readme.txt", "nothing to count\n");
        tree_.File("notes.c", "x\n");
    }

    int Run(const std::vector<std::string>& entries, const std::string& report = "") {
        const std::string path = report.empty() ? out_.path("report.csv") : report;
        const std::string list = EntryList(entries);
        return RunPack(path.c_str(), tree_.source().c_str(), list.c_str());
    }
    std::string Report() const { return out_.Read("report.csv"); }

    TestTree tree_, out_;
};

TEST_F(PackRunTest, WritesOneRowPerFolderWithLines) {
    EXPECT_EQ(Run({"src/", "docs/", "notes.c"}), 0);
    EXPECT_EQ(Report(), kReportHeader + "src;    2;      10;       5;       5;       1; 50\r\n");
}

TEST_F(PackRunTest, ConfirmingReplacesAnExistingReportWhole) {
    out_.File("report.csv", std::string(5000, 'o'));
    EXPECT_EQ(Run({"src/util/"}), 0);
    EXPECT_EQ(Report(),
              kReportHeader + "src/util;    1;       5;       2;       3;       0; 40\r\n");
}

TEST_F(PackRunTest, CancellingLeavesEverythingUntouched) {
    out_.File("report.csv", "precious");
    for (const char* keys : {"Esc", "Tab Enter", "C-c"}) {
        env_.Keys(keys);
        EXPECT_EQ(Run({"src/"}), 0) << keys;
        EXPECT_EQ(Report(), "precious") << keys;
    }
}

// Keys that run out before the dialog ends, or name no key, answer nothing:
// the run fails instead of passing for a cancel.
TEST_F(PackRunTest, ADialogThatIsNotAnsweredIsNoCancel) {
    out_.File("report.csv", "precious");
    for (const char* keys : {"Tab", "Enter Retrun"}) {
        env_.Keys(keys);
        EXPECT_EQ(Run({"src/"}), kWcxNotSupported) << keys;
        EXPECT_EQ(Report(), "precious") << keys;
    }
}

TEST_F(PackRunTest, TheProjectStyleChangesNothingWritten) {
    env_.Keys("Tab Tab Down Tab Down Enter");
    EXPECT_EQ(Run({"src/"}), 0);
    EXPECT_EQ(Report(), kReportHeader + "src;    2;      10;       5;       5;       1; 50\r\n");
}

TEST_F(PackRunTest, AReportThatCannotBeWrittenIsReportedAndNotRemovedIfNotOurs) {
    // Every write to this device fails as on a full disk; being no regular
    // file, it must survive the clean-up.
    EXPECT_EQ(Run({"src/"}, "/dev/full"), kWcxWriteError);
    struct stat st;
    ASSERT_EQ(stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(PackRunTest, QuotesNamesThatWouldBreakColumns) {
    tree_.File("we;ird \"one\"/a.c", "x\n");
    EXPECT_EQ(Run({"we;ird \"one\"/"}), 0);
    EXPECT_EQ(
        Report(),
        kReportHeader + "\"we;ird \"\"one\"\"\";    1;       1;       1;       0;       0;100\r\n");
}

TEST_F(PackRunTest, TouchesTheSettingsFileKeepingWhatElseItHolds) {
    env_.config.File("Mossgrain.ini",
                     "[Other]\r\nkeep=1\r\n\r\n[Settings]\r\nold=2\r\nolder=3\r\n\r\n"
                     "[MySection]\r\nName_autor=someone\r\nmore=4\r\n");
    EXPECT_EQ(Run({"src/"}), 0);
    EXPECT_EQ(env_.config.Read("Mossgrain.ini"),
              "[Other]\r\nkeep=1\r\n\r\n[Settings]\r\n\r\n[MySection]\r\nName_autor=Kervad\r\n"
              "more=4\r\n");
    // It is touched before the dialog: a cancelled run writes it too.
    env_.config.File("Mossgrain.ini", "");
    env_.Keys("Esc");
    EXPECT_EQ(Run({"src/"}), 0);
    EXPECT_EQ(env_.config.Read("Mossgrain.ini"),
              "[Settings]\r\n\r\n[MySection]\r\nName_autor=Kervad\r\n");
}

}  // namespace
