// The report and the settings file on file systems that refuse them: a
// read-only one and a full one, mounted for the test alone. The host gets its
// error code, no partial report is ever left behind, a report that could not
// be created keeps its old content, and the settings file is never corrupted.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/os_dialog.h"
#include "plugin/pack_run.h"
#include "standin/entry_list.h"
#include "tests/support/child_process.h"
#include "tests/support/private_mounts.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

const std::string kIni = "[Other]\r\nkeep=1\r\n\r\n[MySection]\r\nName_autor=someone\r\n";

// One line per fact the parent checks: "name=value".
std::string Fact(const std::string& name, const std::string& value) {
    return name + "=" + value + "\n";
}

std::string Contents(const std::string& path) {
    if (!std::filesystem::exists(path)) return "(absent)";
    return TestTree::ReadFile(path);
}

// Everything in folder but the test's own filler files.
std::string Listing(const std::string& folder) {
    std::string names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("filler-", 0) != 0) names += name + " ";
    }
    return names;
}

// A tmpfs at folder holding config/Mossgrain.ini, filled to the last page.
void MountFullWithSettings(const std::string& folder, size_t size) {
    MountTmpfs(folder, size);
    std::filesystem::create_directory(folder + "/config");
    TestTree::WriteFile(folder + "/config/Mossgrain.ini", kIni);
    FillUp(folder, 0);
}

int Pack(const std::string& report, const TestTree& tree, const std::string& entries) {
    setenv(os::kKeyScriptVariable, "Enter", 1);
    return RunPack(report.c_str(), tree.source().c_str(), entries.c_str());
}

class ReportTargetTest : public testing::Test {
protected:
    void SetUp() override {
        tree_.File("src/a.c", "int a;\n// b\n");
        for (int i = 0; i < 150; ++i) tree_.File("many/d" + std::to_string(i) + "/x.c", "x;\n");
    }
    // Checks a run in private mounts, or skips when none can be made.
    void Expect(const std::function<std::string()>& body, const std::string& expected) {
        const PrivateMountsRun run = RunWithPrivateMounts(body);
        if (!run.ran) GTEST_SKIP() << "needs a private mount namespace (root): " << run.text;
        EXPECT_EQ(run.text, expected);
    }
    // Every one of the 150 folders under many/ as its own entry: rows well
    // beyond one page of the report.
    std::string ManyEntries() const {
        std::vector<std::string> entries;
        for (int i = 0; i < 150; ++i) entries.push_back("many/d" + std::to_string(i) + "/");
        return EntryList(entries);
    }

    static std::string ManyRows() {
        std::string rows = kReportHeader;
        for (int i = 0; i < 150; ++i) {
            rows +=
                "many/d" + std::to_string(i) + ";    1;       1;       1;       0;       0;100\r\n";
        }
        return rows;
    }

    TestTree tree_, mounts_, config_;
    const std::string src_ = EntryList({"src/"});
};

TEST_F(ReportTargetTest, OnAReadOnlyFileSystemNothingIsCreatedOrChanged) {
    const std::string m = mounts_.path("ro");
    Expect(
        [&] {
            MountTmpfs(m, 1 << 20);
            TestTree::WriteFile(m + "/report.csv", "precious");
            std::filesystem::create_directory(m + "/config");
            TestTree::WriteFile(m + "/config/Mossgrain.ini", kIni);
            if (!RemountReadOnly(m)) return std::string("remount failed");
            setenv("XDG_CONFIG_HOME", (m + "/config").c_str(), 1);
            std::string seen =
                Fact("existing", std::to_string(Pack(m + "/report.csv", tree_, src_)));
            seen += Fact("new", std::to_string(Pack(m + "/new.csv", tree_, src_)));
            seen += Fact("report", Contents(m + "/report.csv"));
            seen += Fact("ini", Contents(m + "/config/Mossgrain.ini"));
            seen += Fact("files", Listing(m) + "| " + Listing(m + "/config"));
            // A settings folder that cannot be made does not stop the report.
            setenv("XDG_CONFIG_HOME", (m + "/missing/config").c_str(), 1);
            const std::string elsewhere = config_.path("report.csv");
            seen += Fact("elsewhere", std::to_string(Pack(elsewhere, tree_, src_)));
            seen += Fact("written", Contents(elsewhere));
            return seen;
        },
        Fact("existing", "16") + Fact("new", "16") + Fact("report", "precious") +
            Fact("ini", kIni) + Fact("files", "config report.csv | Mossgrain.ini ") +
            Fact("elsewhere", "0") +
            Fact("written",
                 kReportHeader + "src;    1;       2;       1;       1;       0; 50\r\n"));
}

TEST_F(ReportTargetTest, OnAFullFileSystemNoPartialReportOrSettingsFileIsLeft) {
    const std::string m = mounts_.path("full");
    Expect(
        [&] {
            MountFullWithSettings(m, 256 << 10);
            setenv("XDG_CONFIG_HOME", (m + "/config").c_str(), 1);
            std::string seen = Fact("header", std::to_string(Pack(m + "/report.csv", tree_, src_)));
            seen += Fact("ini", Contents(m + "/config/Mossgrain.ini"));
            seen += Fact("files", Listing(m) + "| " + Listing(m + "/config"));

            // Room for the header and a page of rows, not for all of them.
            setenv("XDG_CONFIG_HOME", config_.root().c_str(), 1);
            FillUp(m, 1);
            seen += Fact("rows", std::to_string(Pack(m + "/report.csv", tree_, ManyEntries())));
            seen += Fact("report", Contents(m + "/report.csv"));
            // Given room, the same run succeeds: the failure was the space's.
            std::filesystem::remove(m + "/filler-0");
            std::filesystem::remove(m + "/filler-1");
            seen += Fact("room", std::to_string(Pack(m + "/report.csv", tree_, ManyEntries())));
            seen += Fact("complete", Contents(m + "/report.csv") == ManyRows() ? "yes" : "no");
            return seen;
        },
        Fact("header", "19") + Fact("ini", kIni) + Fact("files", "config | Mossgrain.ini ") +
            Fact("rows", "19") + Fact("report", "(absent)") + Fact("room", "0") +
            Fact("complete", "yes"));
}

// The stand-in host on the full file system, end to end: it names the error,
// and neither the report nor the settings file is left damaged.
TEST_F(ReportTargetTest, TheHostReportsAFullFileSystemAsAWriteError) {
    const std::string m = mounts_.path("host");
    Expect(
        [&] {
            MountFullWithSettings(m, 128 << 10);
            ChildOptions options;
            options.env = {"XDG_CONFIG_HOME=" + m + "/config"};
            const ChildRun r = RunProgram(
                {MOSSGRAIN_STANDIN_PATH, "pack", "--yes", m + "/report.csv", tree_.source(), "src"},
                options);
            const bool named = r.err.find("(E_EWRITE, 19)") != std::string::npos;
            return Fact("status", std::to_string(r.exitCode)) +
                   Fact("named", named ? "yes" : r.err) +
                   Fact("report", Contents(m + "/report.csv")) +
                   Fact("ini", Contents(m + "/config/Mossgrain.ini")) +
                   Fact("files", Listing(m) + "| " + Listing(m + "/config"));
        },
        Fact("status", "1") + Fact("named", "yes") + Fact("report", "(absent)") +
            Fact("ini", kIni) + Fact("files", "config | Mossgrain.ini "));
}

}  // namespace
