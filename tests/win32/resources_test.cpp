// The module's resources read back the way the system reads them: template
// 103 against the portable template the terminal build draws, and the version
// record through the version API.
#include <windows.h>
// The framework names its standard ids itself.
#undef IDOK
#undef IDCANCEL

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/cdialog.h"
#include "dialog/settings_resource.h"
#include "platform/win32/wide_text.h"
#include "plugin/module_identity.h"
#include "tests/win32/win32_test_support.h"

namespace {

using os::ControlKind;
using os::ControlTemplate;
using os::DialogTemplate;

// Reads a DLGTEMPLATEEX field by field.
class TemplateReader {
public:
    TemplateReader(const void* data, size_t size)
        : p_(static_cast<const unsigned char*>(data)), end_(p_ + size) {}

    template <typename T>
    T Get() {
        T value{};
        if (p_ + sizeof value <= end_) memcpy(&value, p_, sizeof value);
        p_ += sizeof value;
        return value;
    }
    // A string or, after 0xFFFF, an ordinal (given back as "#n").
    std::string Text() {
        std::wstring text;
        if (Peek() == 0xFFFF) {
            Get<WORD>();
            std::string ordinal = "#";  // appended, not concatenated: GCC 12 misreads that
            ordinal += std::to_string(Get<WORD>());
            return ordinal;
        }
        for (WORD c; (c = Get<WORD>()) != 0 && p_ <= end_;) text += static_cast<wchar_t>(c);
        return os::win32::NarrowFromWide(text);
    }
    void AlignToDword() {
        while (reinterpret_cast<uintptr_t>(p_) % 4 != 0) ++p_;
    }
    bool Overrun() const { return p_ > end_; }

private:
    WORD Peek() const {
        WORD value = 0;
        if (p_ + 2 <= end_) memcpy(&value, p_, 2);
        return value;
    }
    const unsigned char* p_;
    const unsigned char* end_;
};

DWORD ButtonStyle(ControlKind kind) {
    switch (kind) {
        case ControlKind::kPushButton:
            return BS_PUSHBUTTON;
        case ControlKind::kDefaultPushButton:
            return BS_DEFPUSHBUTTON;
        case ControlKind::kAutoRadioButton:
            return BS_AUTORADIOBUTTON;
        case ControlKind::kGroupBox:
            return BS_GROUPBOX;
    }
    return 0xFFFF;
}

class ModuleResources : public testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExW(win32_test::ModulePath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_F(ModuleResources, Template103IsThePortableTemplateInEnglish) {
    const HRSRC found =
        FindResourceExW(module_, MAKEINTRESOURCEW(5) /* dialog */, MAKEINTRESOURCEW(IDD_SETTINGS),
                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(found, nullptr);
    TemplateReader in(LockResource(LoadResource(module_, found)), SizeofResource(module_, found));
    const DialogTemplate& expected = *FindDialogTemplate(IDD_SETTINGS);

    EXPECT_EQ(in.Get<WORD>(), 1);       // version of the extended form
    EXPECT_EQ(in.Get<WORD>(), 0xFFFF);  // its signature
    EXPECT_EQ(in.Get<DWORD>(), 0u);     // help id
    EXPECT_EQ(in.Get<DWORD>(), 0u);     // no extended styles
    EXPECT_EQ(in.Get<DWORD>(), 0x00C40848u);
    EXPECT_EQ(expected.style, 0x00C40848u);
    const WORD count = in.Get<WORD>();
    ASSERT_EQ(count, expected.controlCount);
    EXPECT_EQ(in.Get<short>(), 0);
    EXPECT_EQ(in.Get<short>(), 0);
    EXPECT_EQ(in.Get<short>(), expected.width);
    EXPECT_EQ(in.Get<short>(), expected.height);
    EXPECT_EQ(in.Text(), "");  // no menu
    EXPECT_EQ(in.Text(), "");  // the standard dialog class
    EXPECT_EQ(in.Text(), expected.caption);
    EXPECT_EQ(in.Get<WORD>(), expected.pointSize);
    EXPECT_EQ(in.Get<WORD>(), 400);  // weight
    EXPECT_EQ(in.Get<BYTE>(), 0);    // not italic
    EXPECT_EQ(in.Get<BYTE>(), 1);    // charset
    EXPECT_EQ(in.Text(), expected.fontName);

    for (size_t i = 0; i < count; ++i) {
        const ControlTemplate& c = expected.controls[i];
        SCOPED_TRACE(c.caption);
        in.AlignToDword();
        EXPECT_EQ(in.Get<DWORD>(), 0u);  // help id
        EXPECT_EQ(in.Get<DWORD>(), 0u);  // extended style
        const DWORD style = in.Get<DWORD>();
        EXPECT_EQ(style & 0xF, ButtonStyle(c.kind));
        EXPECT_EQ((style & WS_GROUP) != 0, c.groupStart);
        EXPECT_EQ((style & WS_TABSTOP) != 0, c.tabStop);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), DWORD{WS_CHILD | WS_VISIBLE});
        EXPECT_EQ(in.Get<short>(), c.x);
        EXPECT_EQ(in.Get<short>(), c.y);
        EXPECT_EQ(in.Get<short>(), c.width);
        EXPECT_EQ(in.Get<short>(), c.height);
        EXPECT_EQ(static_cast<int>(in.Get<DWORD>()), c.id);
        EXPECT_EQ(in.Text(), "#128");  // the button class
        EXPECT_EQ(in.Text(), c.caption);
        EXPECT_EQ(in.Get<WORD>(), 0);  // no creation data
    }
    EXPECT_FALSE(in.Overrun());
}

std::wstring VersionString(const std::vector<char>& record, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041904b0\\") + name;
    if (!VerQueryValueW(record.data(), key.c_str(), &value, &length) || length == 0) return L"?";
    return std::wstring(static_cast<const wchar_t*>(value));
}

#define WIDE2(text) L##text
#define WIDE(text) WIDE2(text)

TEST(VersionRecordTest, ReadsBackThroughTheVersionApi) {
    const std::wstring module = win32_test::ModulePath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(module.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> record(size);
    ASSERT_TRUE(GetFileVersionInfoW(module.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000003u);  // 0.3
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);  // .0.0
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00000003u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x17u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, DWORD{VOS__WINDOWS32});
    EXPECT_EQ(fixed->dwFileType, DWORD{VFT_DLL});

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0419);  // Russian
    EXPECT_EQ(translation[1], 1200);    // Unicode

    EXPECT_EQ(VersionString(record, L"FileVersion"), L"0, 3, 0, 0");
    EXPECT_EQ(VersionString(record, L"ProductVersion"), L"0, 3, 0, 0");
    EXPECT_EQ(VersionString(record, L"FileDescription"),
              L"Mossgrain plugin for TotalCommander file manager");
    EXPECT_EQ(VersionString(record, L"ProductName"),
              L"Mossgrain plugin for TotalCommander file manager");
    EXPECT_EQ(VersionString(record, L"InternalName"), L"Mossgrain");
    EXPECT_EQ(VersionString(record, L"OriginalFilename"), L"Mossgrain.wcx");
    EXPECT_EQ(VersionString(record, L"CompanyName"), WIDE(MOSSGRAIN_COMPANY_NAME));
    EXPECT_EQ(VersionString(record, L"LegalCopyright"), WIDE(MOSSGRAIN_LEGAL_COPYRIGHT));
}

}  // namespace
