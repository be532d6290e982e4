// Counting and the report file on the Windows file system: long paths, names
// outside the ANSI code page, sharing, devices and pipes, 64-bit sizes.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "counting/count_file_lines.h"
#include "counting/tally_folder.h"
#include "platform/os.h"
#include "platform/win32/mapped_views.h"
#include "platform/win32/wide_text.h"
#include "tests/support/counting_helpers.h"
#include "tests/support/test_tree.h"

namespace {

using namespace counting_helpers;
namespace fs = std::filesystem;

void WriteWide(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    ASSERT_TRUE(out.good()) << file.string();
}

std::string Utf8(const fs::path& path) { return os::win32::NarrowFromWide(path.wstring()); }

TEST(WindowsCountingTest, TreesFarPast259CharactersAreCounted) {
    TestTree tree;
    fs::path deep = tree.root();
    for (int level = 0; level < 6; ++level) deep /= std::wstring(60, L'a' + level);
    WriteWide(deep / L"deep.c", "x\n// y\n");
    const std::string file = Utf8(deep / L"deep.c");
    ASSERT_GT(file.size(), 400u);
    EXPECT_EQ(Count(file), (LineTally{2, 1, 1, 0}));
    const Result r = Tally(tree.root().string());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.files, 1u);
    EXPECT_EQ(r.tally, (LineTally{2, 1, 1, 0}));
}

TEST(WindowsCountingTest, NamesOutsideTheAnsiCodePageAreCounted) {
    TestTree tree;
    WriteWide(tree.root() / L"\x043F\x0430\x043F\x043A\x0430" / L"\x0444\x0430\x0439\x043B.c",
              "a\nb\n");
    WriteWide(tree.root() / L"\x6F22\x5B57.H", "/* c */\n");
    WriteWide(tree.root() / L"\xD83D\xDE00.js", "x;\n\n");
    const Result r = Tally(tree.root().string());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.files, 3u);
    EXPECT_EQ(r.tally, (LineTally{5, 3, 1, 1}));
}

TEST(WindowsCountingTest, RelativePathsAndEitherSlashWork) {
    TestTree tree;
    tree.File("src/a.c", "x\n");
    tree.File("src/sub/b.h", "y\n");
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(tree.root().wstring().c_str()));
    const Result relative = Tally("src");
    const Result slashes = Tally(".\\src/sub/..");
    SetCurrentDirectoryW(saved);
    EXPECT_TRUE(relative.ok);
    EXPECT_EQ(relative.files, 2u);
    EXPECT_TRUE(slashes.ok);
    EXPECT_EQ(slashes.files, 2u);
}

TEST(WindowsCountingTest, AFileHeldExclusivelyFailsItsTree) {
    TestTree tree;
    tree.File("ok.c", "x\n");
    tree.File("one/two/locked.c", "x\n");
    const HANDLE lock = CreateFileW(fs::path(tree.path("one/two/locked.c")).wstring().c_str(),
                                    GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Count(tree.path("one/two/locked.c"), false), LineTally{});
    EXPECT_FALSE(Tally(tree.root().string()).ok);
    CloseHandle(lock);
    EXPECT_TRUE(Tally(tree.root().string()).ok);

    // A writer that shares reading does not stop the count: the module shares
    // writing in turn.
    const HANDLE writer = CreateFileW(fs::path(tree.path("ok.c")).wstring().c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Count(tree.path("ok.c")), (LineTally{1, 1, 0, 0}));
    CloseHandle(writer);
}

TEST(WindowsCountingTest, PipesAndDevicesAreMeasuredAsEmpty) {
    const wchar_t* name = L"\\\\.\\pipe\\mossgrain-test-pipe.c";
    const HANDLE pipe =
        CreateNamedPipeW(name, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    // Opening connects, and nothing waits for data that never comes.
    EXPECT_EQ(Count("\\\\.\\pipe\\mossgrain-test-pipe.c"), LineTally{});
    CloseHandle(pipe);

    os::SourceFile file;
    EXPECT_EQ(os::OpenSourceFile("NUL", file), os::OpenStatus::kNotRegular);
    EXPECT_EQ(file.handle, -1);
}

TEST(WindowsCountingTest, SizesWithAllLowBitsSetAreNoFailure) {
    // 4 GiB minus 1 byte, sparse: the 32-bit size query could not tell this
    // size from its failure value.
    TestTree tree;
    const std::wstring path = fs::path(tree.path("big.c")).wstring();
    const HANDLE big = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(big, INVALID_HANDLE_VALUE);
    DWORD ignored;
    DeviceIoControl(big, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 0xFFFFFFFFll;
    ASSERT_TRUE(SetFilePointerEx(big, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(big));
    CloseHandle(big);

    os::SourceFile file;
    ASSERT_EQ(os::OpenSourceFile(tree.path("big.c").c_str(), file), os::OpenStatus::kOpened);
    EXPECT_EQ(file.size, 0xFFFFFFFFull);
    // The last view, at an offset past 4 GiB - 64 KiB, maps and reads.
    os::win32::View view;
    ASSERT_TRUE(os::win32::MapView(file, 0xFFFFFFFFull - 10, 10, view));
    EXPECT_EQ(view.data[9], 0);
    os::win32::UnmapView(view);
    os::CloseSourceFile(file);
}

TEST(WindowsCountingTest, ViewsStartWhereAsked) {
    TestTree tree;
    std::string text(200000, '\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
    tree.File("v.c", text);
    os::SourceFile file;
    ASSERT_EQ(os::OpenSourceFile(tree.path("v.c").c_str(), file), os::OpenStatus::kOpened);
    EXPECT_EQ(os::ViewSize(), 65536u);
    for (uint64_t offset : {0ull, 1ull, 65535ull, 65536ull, 131073ull}) {
        os::win32::View view;
        ASSERT_TRUE(os::win32::MapView(file, offset, 100, view)) << offset;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.data), 100),
                  text.substr(offset, 100));
        os::win32::UnmapView(view);
    }
    os::win32::View beyond;
    EXPECT_FALSE(os::win32::MapView(file, 199990, 100, beyond));  // past the mapping's end
    os::CloseSourceFile(file);
}

TEST(WindowsFolderTest, FolderIdsTellFoldersApart) {
    TestTree tree;
    tree.Folder("a/b");
    os::FolderScan first, again, other;
    ASSERT_TRUE(os::OpenFolder(tree.path("a").c_str(), first));
    ASSERT_TRUE(os::OpenFolder((tree.path("a/b") + "\\..").c_str(), again));
    ASSERT_TRUE(os::OpenFolder(tree.path("a/b").c_str(), other));
    EXPECT_EQ(first.id, again.id);
    EXPECT_FALSE(first.id == other.id);

    // Entries: "." and ".." too, the folder flagged as one, names in UTF-8.
    tree.File("a/f.c", "x\n");
    os::FolderScan scan;
    ASSERT_TRUE(os::OpenFolder(tree.path("a").c_str(), scan));
    os::FolderEntry entry;
    std::string seen;
    while (os::NextEntry(scan, entry) == os::NextStatus::kEntry) {
        seen += std::string(entry.name, entry.nameLength) +
                (entry.kind == os::EntryKind::kFolder ? "/ " : " ");
    }
    os::CloseFolder(scan);
    for (os::FolderScan* s : {&first, &again, &other}) os::CloseFolder(*s);
    EXPECT_NE(seen.find("./ "), std::string::npos) << seen;
    EXPECT_NE(seen.find("b/ "), std::string::npos) << seen;
    EXPECT_NE(seen.find("f.c "), std::string::npos) << seen;

    EXPECT_FALSE(os::OpenFolder(tree.path("a/f.c").c_str(), scan));
    EXPECT_FALSE(os::OpenFolder(tree.path("missing").c_str(), scan));
    EXPECT_TRUE(os::IsFolder(tree.path("a").c_str()));
    EXPECT_FALSE(os::IsFolder(tree.path("a/f.c").c_str()));
}

TEST(WindowsReportFileTest, CreatedAlwaysSharedForReadingOnly) {
    TestTree tree;
    tree.File("report.csv", std::string(5000, 'o'));
    os::ReportFile report;
    ASSERT_TRUE(os::CreateReportFile(tree.path("report.csv").c_str(), report));
    EXPECT_TRUE(report.regular);
    ASSERT_TRUE(os::WriteReport(report, "new\r\n", 5));
    const std::wstring path = fs::path(tree.path("report.csv")).wstring();
    const HANDLE reader =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    const HANDLE writer =
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_TRUE(os::CloseReportFile(report));
    EXPECT_EQ(tree.Read("report.csv"), "new\r\n");

    os::RemoveReportFile(tree.path("report.csv").c_str(), report);
    EXPECT_FALSE(fs::exists(tree.path("report.csv")));
}

TEST(WindowsReportFileTest, OnlyDiskFilesAreRemoved) {
    os::ReportFile device;
    ASSERT_TRUE(os::CreateReportFile("NUL", device));
    EXPECT_FALSE(device.regular);
    EXPECT_TRUE(os::WriteReport(device, "x", 1));
    EXPECT_TRUE(os::CloseReportFile(device));
    os::RemoveReportFile("NUL", device);  // must not try to delete the device

    TestTree tree;
    os::ReportFile missingFolder;
    EXPECT_FALSE(os::CreateReportFile(tree.path("no/such/report.csv").c_str(), missingFolder));
}

}  // namespace
