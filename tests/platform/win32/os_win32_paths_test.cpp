// The Windows path layer: UTF-8 and UTF-16, the host's ANSI text, and the
// long-path prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/os.h"
#include "platform/win32/system_path.h"
#include "platform/win32/wide_text.h"

namespace {

using os::win32::NarrowFromWide;
using os::win32::SystemPath;
using os::win32::WideFromNarrow;

TEST(WideTextTest, RoundTripsEveryName) {
    const std::wstring names[] = {
        L"plain.c",
        L"\x0444\x0430\x0439\x043B.c",      // Cyrillic
        L"\x6F22\x5B57.h",                  // CJK
        L"\xD83D\xDE00.js",                 // a pair: one character beyond the BMP
        std::wstring(L"lone\xD800high.c"),  // unpaired surrogates, which NTFS allows
        std::wstring(L"lone\xDC00low.c"),
    };
    for (const std::wstring& name : names) {
        EXPECT_EQ(WideFromNarrow(NarrowFromWide(name)), name);
    }
    EXPECT_EQ(NarrowFromWide(L"\x0444"), "\xD1\x84");
    EXPECT_EQ(NarrowFromWide(L"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
}

TEST(WideTextTest, MalformedBytesNeverSpellAnotherName) {
    EXPECT_EQ(WideFromNarrow("a\xFF"
                             "b"),
              L"a\xFFFD"
              L"b");
    EXPECT_EQ(WideFromNarrow("\xC0\xAF"), L"\xFFFD\xFFFD");                      // overlong '/'
    EXPECT_EQ(WideFromNarrow("\xE2\x82"), L"\xFFFD\xFFFD");                      // cut off
    EXPECT_EQ(WideFromNarrow("\xF4\x90\x80\x80"), L"\xFFFD\xFFFD\xFFFD\xFFFD");  // past U+10FFFF
}

TEST(WideTextTest, HostTextIsTakenFromTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
    EXPECT_EQ(os::PathFromHost("caf\xE9\\"), "caf\xC3\xA9\\");
    EXPECT_EQ(os::PathFromHost(""), "");
    EXPECT_EQ(os::PathFromHost(nullptr), "");
    EXPECT_EQ(os::win32::AnsiFromNarrow("caf\xC3\xA9 \xD1\x84"), "caf\xE9 ?");
}

TEST(SystemPathTest, AbsolutePathsGetTheLongPathPrefix) {
    EXPECT_EQ(SystemPath("C:\\src\\a.c"), L"\\\\?\\C:\\src\\a.c");
    EXPECT_EQ(SystemPath("c:\\"), L"\\\\?\\c:\\");
    EXPECT_EQ(SystemPath("\\\\server\\share\\a.c"), L"\\\\?\\UNC\\server\\share\\a.c");
    // Already prefixed paths and device paths are left alone.
    EXPECT_EQ(SystemPath("\\\\?\\C:\\x"), L"\\\\?\\C:\\x");
    EXPECT_EQ(SystemPath("\\\\.\\pipe\\p"), L"\\\\.\\pipe\\p");
    // A name the enumeration returned keeps its trailing dot.
    EXPECT_EQ(SystemPath("C:\\src\\odd."), L"\\\\?\\C:\\src\\odd.");
    EXPECT_EQ(SystemPath(nullptr), L"");
    EXPECT_EQ(SystemPath(""), L"");
}

TEST(SystemPathTest, OtherPathsAreResolvedBeforeThePrefix) {
    // The prefixed form takes every character literally: slashes, "." and
    // ".." must be resolved first.
    EXPECT_EQ(SystemPath("C:/src/./lib/../a.c"), L"\\\\?\\C:\\src\\a.c");
    EXPECT_EQ(SystemPath("C:\\src\\\\a.c"), L"\\\\?\\C:\\src\\a.c");
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring expected = L"\\\\?\\" + std::wstring(current);
    if (expected.back() != L'\\') expected += L'\\';
    EXPECT_EQ(SystemPath("sub\\a.c"), expected + L"sub\\a.c");
    EXPECT_EQ(SystemPath("sub/a.c"), expected + L"sub\\a.c");
}

TEST(SystemPathTest, BothSlashesSeparate) {
    EXPECT_EQ(os::kSeparator, '\\');
    EXPECT_TRUE(os::IsSeparator('\\'));
    EXPECT_TRUE(os::IsSeparator('/'));
    EXPECT_FALSE(os::IsSeparator(':'));
}

}  // namespace
