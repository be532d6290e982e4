// The module as the file manager loads it (the export set itself: check_pe.sh):
// its stubs, the about box, and report runs through the real settings dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "dialog/settings_resource.h"
#include "platform/win32/wide_text.h"
#include "plugin/module_identity.h"
#include "standin/entry_list.h"
#include "standin/plugin_module.h"
#include "standin/win32/dialog_driver.h"
#include "tests/platform/win32/win32_test_support.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

namespace fs = std::filesystem;
using win32_driver::ClickButton;
using win32_driver::kAboutBox;
using win32_driver::kSettingsDialog;
using win32_driver::PressKey;
using win32_test::WithWindow;

class LoadedModule : public testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(win32_test::ModulePath().c_str());
        ASSERT_NE(module_, nullptr) << GetLastError();
        std::string error;
        // The same resolution as the stand-in host's, through GetProcAddress.
        ASSERT_TRUE(plugin_.Load(
            os::win32::AnsiFromNarrow(os::win32::NarrowFromWide(win32_test::ModulePath())), error))
            << error;
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    // PackFiles with the host's narrow (ANSI) arguments; act answers the dialog.
    int Pack(const std::string& report, const std::string& source, const std::string& list,
             const std::function<void(HWND)>& act, bool* dialogSeen = nullptr) {
        std::string r = report, s = source, l = list;
        return static_cast<int>(WithWindow(
            kSettingsDialog, act,
            [&] { return plugin_.PackFiles(r.data(), nullptr, s.data(), l.data(), 0); },
            dialogSeen));
    }

    HMODULE module_ = nullptr;
    PluginModule plugin_;
    TestTree out_;
};

TEST_F(LoadedModule, ReadingEntryPointsAreStubs) {
    EXPECT_EQ(plugin_.GetPackerCaps(), 407);
    EXPECT_EQ(plugin_.GetPackerCaps(), 407);

    // No handle, and the reason in the record's result field, nothing else.
    char name[] = "old.csv";
    tOpenArchiveData open = {name, 0, 0, nullptr, 0, 3, 5};
    EXPECT_EQ(plugin_.OpenArchive(&open), nullptr);
    EXPECT_EQ(open.OpenResult, 14);
    EXPECT_EQ(open.ArcName, name);
    EXPECT_EQ(open.CmtSize, 3);
    EXPECT_EQ(open.CmtState, 5);
    EXPECT_EQ(plugin_.OpenArchive(nullptr), nullptr);
    unsigned char record[64] = {1, 2, 3};

    unsigned char header[64] = {};
    auto* headerData = reinterpret_cast<tHeaderData*>(header);
    EXPECT_EQ(plugin_.ReadHeader(nullptr, headerData), 12);
    EXPECT_EQ(plugin_.ReadHeader(record, nullptr), 12);
    EXPECT_EQ(plugin_.ReadHeader(record, headerData), 0);
    for (unsigned char b : header) EXPECT_EQ(b, 0);

    EXPECT_EQ(plugin_.ProcessFile(record, 0, nullptr, nullptr), 0);
    // No handle the host passes here was handed out by the module: a handle
    // of the host's own must survive the call.
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(plugin_.CloseArchive(event), 0);
    EXPECT_TRUE(SetEvent(event));
    CloseHandle(event);
    plugin_.SetChangeVolProc(nullptr, nullptr);
}

int g_progressCalls = 0;
int WCX_API CountProgress(char*, int) { return ++g_progressCalls; }

TEST_F(LoadedModule, PacksTheSamplesAfterEnterAndTouchesTheSettingsFile) {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring ini = std::wstring(windows) + L"\\Mossgrain.ini";
    DeleteFileW(ini.c_str());
    plugin_.SetProcessDataProc(nullptr, &CountProgress);

    bool seen = false;
    const std::string report = out_.path("report.csv");
    EXPECT_EQ(Pack(
                  report, win32_test::SamplesFolder(), EntryList({"engine\\", "web\\", "docs\\"}),
                  [](HWND w) { PressKey(w, "Enter"); }, &seen),
              0);
    EXPECT_TRUE(seen);
    EXPECT_EQ(out_.Read("report.csv"), kSamplesReport);
    EXPECT_EQ(g_progressCalls, 0);  // stored, never called

    wchar_t value[32] = {};
    GetPrivateProfileStringW(L"MySection", L"Name_autor", L"", value, 32, ini.c_str());
    EXPECT_STREQ(value, L"Kervad");
}

TEST_F(LoadedModule, EscapeWritesNothingAndLeavesAFileAlone) {
    const std::string report = out_.path("report.csv");
    EXPECT_EQ(Pack(report, win32_test::SamplesFolder(), EntryList({"engine\\"}),
                   [](HWND w) { PressKey(w, "Esc"); }),
              0);
    EXPECT_FALSE(fs::exists(report));

    out_.File("report.csv", "precious");
    FILETIME before = {}, after = {};
    const std::wstring wide = fs::path(report).wstring();
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data);
    before = data.ftLastWriteTime;
    EXPECT_EQ(Pack(report, win32_test::SamplesFolder(), EntryList({"engine\\"}),
                   [](HWND w) { ClickButton(w, IDC_CANCEL); }),
              0);
    GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data);
    after = data.ftLastWriteTime;
    EXPECT_EQ(out_.Read("report.csv"), "precious");
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
}

TEST_F(LoadedModule, OkAfterChoosingPascalWritesTheSameReport) {
    out_.File("report.csv", std::string(5000, 'o'));  // replaced whole
    EXPECT_EQ(Pack(out_.path("report.csv"), win32_test::SamplesFolder(),
                   EntryList({"engine\\", "web\\", "docs\\"}),
                   [](HWND w) {
                       ClickButton(w, IDC_PASCAL_STYLE);
                       ClickButton(w, IDC_VIZIZAVARA);
                       ClickButton(w, IDC_OK);
                   }),
              0);
    EXPECT_EQ(out_.Read("report.csv"), kSamplesReport);
}

// A file manager's selection: every file and folder below the selected
// folders, and a folder given twice. Each folder entry gets its row, the
// outer one counting the inner one's lines again, as separate walks give.
TEST_F(LoadedModule, AFileManagersNestedListGetsARowPerFolder) {
    const std::string math = "engine\\math;    2;      18;      11;       5;       3; 61\r\n";
    EXPECT_EQ(Pack(out_.path("report.csv"), win32_test::SamplesFolder(),
                   EntryList({"engine\\", "engine\\main.cpp", "engine\\math\\",
                              "engine\\math\\scale.c", "engine\\math\\vector.h", "web\\",
                              "web\\app.js", "docs\\", "docs\\README.txt", "engine\\math\\"}),
                   [](HWND w) { PressKey(w, "Enter"); }),
              0);
    const size_t web = kSamplesReport.find("web;");
    EXPECT_EQ(out_.Read("report.csv"),
              kSamplesReport.substr(0, web) + math + kSamplesReport.substr(web) + math);
}

TEST_F(LoadedModule, AnEmptyListShowsNoDialogAndWritesNothing) {
    bool seen = true;
    EXPECT_EQ(Pack(
                  out_.path("report.csv"), win32_test::SamplesFolder(), std::string(2, '\0'),
                  [](HWND w) { PressKey(w, "Esc"); }, &seen),
              0);
    EXPECT_FALSE(seen);
    EXPECT_FALSE(fs::exists(out_.path("report.csv")));
}

TEST_F(LoadedModule, CountsNamesBeyondTheAnsiCodePageUnderAnAnsiEntry) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
    TestTree tree;
    // The entry is what the host passes, in the ANSI code page; what lies
    // below it may be named in any script and nest past 259 characters.
    fs::path inside = tree.root() / L"caf\x00E9";
    for (int level = 0; level < 5; ++level) inside /= std::wstring(70, L'\x0444');
    fs::create_directories(inside);
    std::ofstream(inside / L"\x6F22\x5B57.c", std::ios::binary) << "int a;\n// b\n";
    ASSERT_GT(inside.wstring().size(), 360u);

    const std::string source = tree.root().string() + "\\";
    EXPECT_EQ(Pack(out_.path("report.csv"), source, EntryList({"caf\xE9\\"}),
                   [](HWND w) { PressKey(w, "Enter"); }),
              0);
    // The name column holds the host's own bytes.
    EXPECT_EQ(out_.Read("report.csv"),
              std::string(kSamplesReport.substr(0, kSamplesReport.find('\n') + 1)) +
                  "caf\xE9;    1;       2;       1;       1;       0; 50\r\n");
}

TEST_F(LoadedModule, AReportThatCannotBeCreatedIsTheHostsCreateError) {
    EXPECT_EQ(Pack(out_.path("no\\such\\report.csv"), win32_test::SamplesFolder(),
                   EntryList({"web\\"}), [](HWND w) { PressKey(w, "Enter"); }),
              16);
}

TEST_F(LoadedModule, TheAboutBoxShowsAndCloses) {
    const HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPED, 0, 0, 100, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    std::wstring caption;
    std::vector<std::wstring> texts;
    HWND owner = nullptr;
    bool seen = false;
    const intptr_t result = WithWindow(
        kAboutBox,
        [&](HWND box) {
            caption = win32_driver::WindowText(box);
            texts = win32_driver::StaticTexts(box);
            owner = GetWindow(box, GW_OWNER);
            PressKey(box, "Enter");
        },
        [&] { return plugin_.ConfigurePacker(parent, module_); }, &seen);
    DestroyWindow(parent);
    EXPECT_TRUE(seen);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(caption, L"About...");
    EXPECT_EQ(owner, parent);
    const std::wstring expected = os::win32::WideFromNarrow(MOSSGRAIN_ABOUT_TEXT);
    EXPECT_EQ(expected.substr(0, expected.find(L'\n')),
              L"Mossgrain plug-in for TotalCommander v 0.2 ");
    bool found = false;
    for (const std::wstring& text : texts) found = found || text == expected;
    EXPECT_TRUE(found);
}

}  // namespace
