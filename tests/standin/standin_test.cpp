// The stand-in host end to end: the real executable loading the real module.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

const std::string kStandin = MOSSGRAIN_STANDIN_PATH;
const std::string kModule = MOSSGRAIN_MODULE_PATH;
const std::string kSamples = MOSSGRAIN_SAMPLES_PATH;

class StandinTest : public testing::Test {
protected:
    ChildRun Standin(std::vector<std::string> args, ChildOptions options = {}) {
        args.insert(args.begin(), kStandin);
        options.env.push_back("XDG_CONFIG_HOME=" + config_.root().string());
        return RunProgram(args, options);
    }
    std::string report() const { return out_.path("report.csv"); }

    TestTree config_, out_;
};

TEST_F(StandinTest, PacksTheSamplesIntoTheExpectedReport) {
    const ChildRun r = Standin({"pack", "--yes", report(), kSamples, "engine", "web", "docs"},
                               {.terminal = ChildTerminal::kOwn});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "report written to " + report() + "\n");
    EXPECT_EQ(out_.Read("report.csv"), kSamplesReport);
    // The dialog still ran: its frame went to the terminal, not to a stream.
    EXPECT_NE(r.terminal.find("Mossgrain: Settings"), std::string::npos) << r.terminal;
    EXPECT_EQ(r.err.find("Mossgrain: Settings"), std::string::npos) << r.err;
    EXPECT_NE(config_.Read("Mossgrain.ini").find("Name_autor=Kervad"), std::string::npos);
}

TEST_F(StandinTest, MarksFoldersWithOneSeparatorAndKeepsTheOrder) {
    const ChildRun r = Standin({"pack", "--yes", "--plugin", kModule, report(), kSamples + "///",
                                "web//", "engine/math", "engine/main.cpp"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(out_.Read("report.csv"),
              kReportHeader + "web;    1;       9;       6;       2;       1; 66\r\n" +
                  "engine/math;    2;      18;      11;       5;       3; 61\r\n");
}

// After the run the host says which entries got no row and why; the report
// and the exit status are those of the run.
TEST_F(StandinTest, SaysWhichEntriesGotNoRowAndWhy) {
    const ChildRun r = Standin({"pack", "--yes", report(), kSamples, "engine", "docs", "missing",
                                "engine/main.cpp", "web"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(out_.Read("report.csv"), kSamplesReport);
    EXPECT_EQ(r.err,
              "mossgrain: no row for docs/: no source files found\n"
              "mossgrain: no row for missing: missing\n"
              "mossgrain: no row for engine/main.cpp: not a folder\n");
    // Of an expanded selection, the files never get rows: only folders are told.
    const ChildRun expanded =
        Standin({"pack", "--yes", "--expand", report(), kSamples, "docs", "web/app.js"});
    ASSERT_EQ(expanded.exitCode, 0) << expanded.err;
    EXPECT_EQ(expanded.err,
              "mossgrain: no row for web/app.js: not a folder\n"
              "mossgrain: no row for docs/: no source files found\n");
    const ChildRun noSource = Standin({"pack", "--yes", report(), out_.path("none"), "a"});
    EXPECT_EQ(noSource.exitCode, 0);
    EXPECT_EQ(out_.Read("report.csv"), kReportHeader);
    EXPECT_NE(noSource.err.find("no entry has a row: " + out_.path("none") + "/ is no folder"),
              std::string::npos)
        << noSource.err;
}

// Each folder below the entries gets its row, as in a file manager.
TEST_F(StandinTest, ExpandPassesTheSelectionAsAFileManagerDoes) {
    const ChildRun r =
        Standin({"pack", "--yes", "--expand", report(), kSamples, "engine", "web", "docs"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(out_.Read("report.csv"),
              kReportHeader + "engine;    3;      31;      18;       9;       6; 58\r\n" +
                  "engine/math;    2;      18;      11;       5;       3; 61\r\n" +
                  "web;    1;       9;       6;       2;       1; 66\r\n");
}

// A selection far larger than a command line could carry (about 2.5 MB of
// entries here, made of long names deep down): the list is built in memory.
TEST_F(StandinTest, ExpandTakesSelectionsLargerThanACommandLine) {
    TestTree tree;
    const std::string name(240, 'n');
    const std::string deep = name + "/" + name + "/" + name + "/" + name + "/";
    for (int part = 0; part < 4; ++part) {
        tree.Folder("big/" + std::to_string(part) + "/" + deep);
        for (int i = 0; i < 500; ++i) {
            TestTree::WriteFile(tree.path("big/" + std::to_string(part) + "/" + deep + name +
                                          std::to_string(i) + ".c"),
                                "x\n");
        }
    }
    const ChildRun r = Standin({"pack", "--yes", "--expand", report(), tree.path(""), "big"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string written = out_.Read("report.csv");
    EXPECT_EQ(
        written.rfind(kReportHeader + "big; 2000;    2000;    2000;       0;       0;100\r\n", 0),
        0u);
    // Each of the 4 parts has 5 folders (itself and 4 below) with a row each.
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1 + 1 + 4 * 5);
    for (int part = 0; part < 4; ++part) {
        const std::string row =
            "big/" + std::to_string(part) + ";  500;     500;     500;       0;       0;100\r\n";
        EXPECT_NE(written.find(row), std::string::npos) << row;
    }
}

// A dialog that cannot be shown is no cancel: the run fails and the host says why.
TEST_F(StandinTest, ADialogNobodyCanAnswerFailsTheRunAndSaysWhy) {
    ChildOptions options;
    options.terminal = ChildTerminal::kNone;
    const ChildRun r = Standin({"pack", report(), kSamples, "engine"}, options);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("the settings dialog could not be shown: no terminal to show it on"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("(E_NOT_SUPPORTED, 24)"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(report()));

    options.keys = "Tab";
    const ChildRun ranOut = Standin({"pack", report(), kSamples, "engine"}, options);
    EXPECT_EQ(ranOut.exitCode, 1);
    EXPECT_NE(ranOut.err.find("the keys in MOSSGRAIN_KEYS did not answer it"), std::string::npos)
        << ranOut.err;
    EXPECT_FALSE(std::filesystem::exists(report()));
}

TEST_F(StandinTest, ModuleFailuresNameTheHostsErrorCode) {
    const ChildRun r = Standin({"pack", "--yes", out_.path("missing/r.csv"), kSamples, "web"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("(E_ECREATE, 16)"), std::string::npos) << r.err;
    const ChildRun full = Standin({"pack", "--yes", "/dev/full", kSamples, "web"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find("(E_EWRITE, 19)"), std::string::npos) << full.err;
}

TEST_F(StandinTest, AModuleThatCannotBeUsedIsStatusTwo) {
    const ChildRun missing = Standin({"caps", "--plugin", out_.path("none.wcx")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("cannot use the plug-in"), std::string::npos) << missing.err;
    // A loadable library that is not a packer module.
    const ChildRun foreign = Standin({"caps", "--plugin", MOSSGRAIN_FOREIGN_MODULE_PATH});
    EXPECT_EQ(foreign.exitCode, 2);
    EXPECT_NE(foreign.err.find("lacks the export GetPackerCaps"), std::string::npos) << foreign.err;
    EXPECT_EQ(Standin({"pack", "--yes", report(), kSamples}).exitCode, 2);  // no entry
    EXPECT_EQ(Standin({"frobnicate"}).exitCode, 2);
}

TEST_F(StandinTest, CapsAboutVersionAndHelp) {
    const ChildRun caps = Standin({"caps"});
    EXPECT_EQ(caps.exitCode, 0);
    EXPECT_EQ(caps.out.substr(0, caps.out.find('\n')), "407 (0x197)");
    for (const char* bit : {"0x001 new", "0x002 modify", "0x004 multiple", "0x010 options",
                            "0x080 searchtext", "0x100 hide"}) {
        EXPECT_NE(caps.out.find(bit), std::string::npos) << bit;
    }
    EXPECT_EQ(caps.out.find("0x008"), std::string::npos);

    const ChildRun about = Standin({"about", "--yes"}, {.terminal = ChildTerminal::kOwn});
    EXPECT_EQ(about.exitCode, 0) << about.err;
    EXPECT_EQ(about.err, "");
    EXPECT_NE(about.terminal.find("About..."), std::string::npos) << about.terminal;
    EXPECT_NE(about.terminal.find("Mossgrain plug-in for TotalCommander v 0.2"), std::string::npos);

    const ChildRun version = Standin({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_NE(version.out.find("0.3.0.0"), std::string::npos);
    EXPECT_EQ(Standin({"--help"}).exitCode, 0);
}

}  // namespace
