// The keys of the terminal dialogs: bytes a terminal sends decoded to keys,
// and the key names of dialog scripts.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/posix/terminal/keys.h"

namespace {

using os::terminal::Key;
using os::terminal::KeyDecoder;

// The keys a byte string decodes to; a trailing timeout ends a lone ESC.
std::vector<Key> Decode(const std::string& bytes, bool timeout = true) {
    KeyDecoder decoder;
    std::vector<Key> keys;
    for (unsigned char byte : bytes) {
        if (std::optional<Key> key = decoder.Feed(byte)) keys.push_back(*key);
    }
    if (timeout) {
        if (std::optional<Key> key = decoder.Timeout()) keys.push_back(*key);
    }
    return keys;
}

TEST(KeyDecoderTest, PlainBytesAndSequences) {
    using V = std::vector<Key>;
    EXPECT_EQ(Decode("\t\r\n \x03"),
              (V{Key::kTab, Key::kEnter, Key::kEnter, Key::kSpace, Key::kCtrlC}));
    EXPECT_EQ(Decode("\x1b[A\x1b[B\x1b[C\x1b[D"),
              (V{Key::kUp, Key::kDown, Key::kRight, Key::kLeft}));
    EXPECT_EQ(Decode("\x1bOA\x1bOB\x1bOC\x1bOD"),
              (V{Key::kUp, Key::kDown, Key::kRight, Key::kLeft}));
    EXPECT_EQ(Decode("\x1b[Z"), V{Key::kBackTab});
    EXPECT_EQ(Decode("\x1b[1;5C"), V{Key::kRight});  // a modified arrow is still an arrow
    // Letters, Delete, F5 and Alt-x are no keys of a dialog.
    EXPECT_EQ(Decode("ab\x7f\x1b[3~\x1b[15~\x1bx"), V{});
}

TEST(KeyDecoderTest, LoneEscapeNeedsTheTimeout) {
    KeyDecoder decoder;
    EXPECT_FALSE(decoder.Feed(0x1b));
    EXPECT_TRUE(decoder.Pending());
    EXPECT_EQ(decoder.Timeout(), Key::kEscape);
    EXPECT_FALSE(decoder.Pending());
    // Two ESCs: the first is a key, the second may begin a sequence.
    EXPECT_EQ(Decode("\x1b\x1b[A"), (std::vector<Key>{Key::kEscape, Key::kUp}));
    // A sequence cut short is dropped, and what follows reads normally.
    EXPECT_EQ(Decode("\x1b[", true), std::vector<Key>{});
    EXPECT_EQ(Decode("\x1b[" + std::string(100, '1') + "A\t"), std::vector<Key>{Key::kTab});
}

TEST(KeyScriptTest, NamesAliasesAndErrors) {
    std::vector<Key> keys;
    std::string bad;
    ASSERT_TRUE(os::terminal::ParseKeyScript(
        " Enter esc Escape\tTAB s-tab BackTab shift-tab\nSpace up DOWN Left right c-C ", keys,
        bad));
    EXPECT_EQ(keys, (std::vector<Key>{Key::kEnter, Key::kEscape, Key::kEscape, Key::kTab,
                                      Key::kBackTab, Key::kBackTab, Key::kBackTab, Key::kSpace,
                                      Key::kUp, Key::kDown, Key::kLeft, Key::kRight, Key::kCtrlC}));
    for (Key key : keys) EXPECT_EQ(os::terminal::ParseKeyName(os::terminal::KeyName(key)), key);
    EXPECT_FALSE(os::terminal::ParseKeyScript("Tab Ctrl-C Enter", keys, bad));
    EXPECT_EQ(bad, "Ctrl-C");
}

}  // namespace
