// The stand-in host for Windows end to end: mossgrain.exe loading the module
// of its own bitness with LoadLibrary, its --yes pressing Enter in the real
// dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/win32/wide_text.h"
#include "tests/platform/win32/win32_test_support.h"
#include "tests/support/report_text.h"
#include "tests/support/test_tree.h"

namespace {

using win32_test::ProcessResult;

// One argument of a command line: backslashes before the closing quote are
// doubled, or they would escape it.
std::wstring Quoted(const std::string& text) {
    std::wstring quoted = L"\"" + os::win32::WideFromNarrow(text);
    for (size_t i = text.size(); i > 0 && text[i - 1] == '\\'; --i) quoted += L'\\';
    return quoted + L"\"";
}

ProcessResult Host(const std::wstring& arguments) {
    return win32_test::RunProcess(L"\"" + win32_test::StandinPath() + L"\" " + arguments);
}

TEST(WindowsHostTest, PackYesWritesTheSameReportAsTheLinuxBuild) {
    TestTree out;
    const std::string report = out.path("report.csv");
    const ProcessResult r = Host(L"pack --yes " + Quoted(report) + L" " +
                                 Quoted(win32_test::SamplesFolder()) + L" engine web docs");
    ASSERT_EQ(r.status, 0u) << r.err;
    EXPECT_EQ(r.out, "report written to " + report + "\n");
    EXPECT_EQ(out.Read("report.csv"), kSamplesReport);
}

TEST(WindowsHostTest, CapsAboutAndVersion) {
    const ProcessResult caps = Host(L"caps");
    EXPECT_EQ(caps.status, 0u) << caps.err;
    EXPECT_EQ(caps.out.substr(0, caps.out.find('\n')), "407 (0x197)");
    const ProcessResult about = Host(L"about --yes");
    EXPECT_EQ(about.status, 0u) << about.err;
    const ProcessResult version = Host(L"--version");
    EXPECT_EQ(version.status, 0u);
    EXPECT_NE(version.out.find("0.3.0.0"), std::string::npos) << version.out;
}

TEST(WindowsHostTest, AModuleThatCannotBeUsedIsStatusTwo) {
    TestTree out;
    const ProcessResult missing = Host(L"caps --plugin " + Quoted(out.path("none.wcx")));
    EXPECT_EQ(missing.status, 2u);
    EXPECT_NE(missing.err.find("cannot use the plug-in"), std::string::npos) << missing.err;
    // A library that is no packer module: the system's own.
    const ProcessResult foreign = Host(L"caps --plugin user32.dll");
    EXPECT_EQ(foreign.status, 2u);
    EXPECT_NE(foreign.err.find("lacks the export GetPackerCaps"), std::string::npos) << foreign.err;
}

}  // namespace
