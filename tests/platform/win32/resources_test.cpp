// The module's template 103 read back the way the system reads it, against
// the portable template the terminal build draws. (Its resources as text,
// the version record with them: check_resources.sh.)
#include <windows.h>
// The framework names its standard ids itself.
#undef IDOK
#undef IDCANCEL

#include <gtest/gtest.h>

#include <string>

#include "dialog/cdialog.h"
#include "dialog/settings_resource.h"
#include "platform/win32/wide_text.h"
#include "tests/platform/win32/win32_test_support.h"

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

}  // namespace
