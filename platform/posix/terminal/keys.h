// The keys a terminal dialog understands, where they come from: names in a
// key script (for unattended runs) or bytes read from a terminal.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os::terminal {

enum class Key : unsigned char {
    kEnter,
    kEscape,
    kTab,
    kBackTab,
    kSpace,
    kUp,
    kDown,
    kLeft,
    kRight,
    kCtrlC,
};

// The name a key script uses for key, e.g. "S-Tab".
const char* KeyName(Key key);

// The key a script name stands for, compared without regard to case.
std::optional<Key> ParseKeyName(std::string_view name);

// Splits a whitespace-separated key script. On an unknown name returns false
// and leaves that name in badName.
bool ParseKeyScript(std::string_view script, std::vector<Key>& keys, std::string& badName);

// Turns the bytes a terminal sends into keys. An ESC byte alone is the Escape
// key, but it also opens the sequences of the arrow keys and Shift-Tab; the
// reader tells the two apart by waiting briefly for more bytes and calling
// Timeout() when none came.
class KeyDecoder {
public:
    // Feeds one byte; returns the key it completes, if any. Bytes that are no
    // key of ours (letters, function keys) yield nothing.
    std::optional<Key> Feed(unsigned char byte);

    // No further byte arrived in time: a pending lone ESC is the Escape key;
    // an unfinished sequence is dropped.
    std::optional<Key> Timeout();

    // Whether a sequence has begun and the reader should wait only briefly.
    bool Pending() const { return state_ != State::kGround; }

private:
    enum class State : unsigned char { kGround, kEscape, kCsi, kSs3 };

    State state_ = State::kGround;
    size_t sequenceLength_ = 0;
};

}  // namespace os::terminal
