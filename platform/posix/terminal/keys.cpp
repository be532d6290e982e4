#include "platform/posix/terminal/keys.h"

#include "platform/ascii.h"

namespace os::terminal {
namespace {

struct NamedKey {
    const char* name;
    Key key;
};

// The first name of each key is the one KeyName() gives.
constexpr NamedKey kKeyNames[] = {
    {"Enter", Key::kEnter},       {"Esc", Key::kEscape},    {"Escape", Key::kEscape},
    {"Tab", Key::kTab},           {"S-Tab", Key::kBackTab}, {"BackTab", Key::kBackTab},
    {"Shift-Tab", Key::kBackTab}, {"Space", Key::kSpace},   {"Up", Key::kUp},
    {"Down", Key::kDown},         {"Left", Key::kLeft},     {"Right", Key::kRight},
    {"C-c", Key::kCtrlC},
};

constexpr unsigned char kEsc = 0x1b;

// A sequence this long without its final byte is garbage, not a key.
constexpr size_t kLongestSequence = 32;

using ascii::EqualIgnoringCase;

bool IsScriptSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::optional<Key> ArrowFromFinal(unsigned char final) {
    switch (final) {
        case 'A':
            return Key::kUp;
        case 'B':
            return Key::kDown;
        case 'C':
            return Key::kRight;
        case 'D':
            return Key::kLeft;
        default:
            return std::nullopt;
    }
}

}  // namespace

const char* KeyName(Key key) {
    for (const NamedKey& named : kKeyNames) {
        if (named.key == key) return named.name;
    }
    return "?";
}

std::optional<Key> ParseKeyName(std::string_view name) {
    for (const NamedKey& named : kKeyNames) {
        if (EqualIgnoringCase(name, named.name)) return named.key;
    }
    return std::nullopt;
}

bool ParseKeyScript(std::string_view script, std::vector<Key>& keys, std::string& badName) {
    keys.clear();
    size_t i = 0;
    while (i < script.size()) {
        if (IsScriptSpace(script[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < script.size() && !IsScriptSpace(script[end])) ++end;
        const std::string_view name = script.substr(i, end - i);
        const std::optional<Key> key = ParseKeyName(name);
        if (!key) {
            badName.assign(name);
            return false;
        }
        keys.push_back(*key);
        i = end;
    }
    return true;
}

std::optional<Key> KeyDecoder::Feed(unsigned char byte) {
    switch (state_) {
        case State::kGround:
            switch (byte) {
                case kEsc:
                    state_ = State::kEscape;
                    return std::nullopt;
                case '\t':
                    return Key::kTab;
                case '\r':
                case '\n':
                    return Key::kEnter;
                case ' ':
                    return Key::kSpace;
                case 0x03:
                    return Key::kCtrlC;
                default:
                    return std::nullopt;
            }
        case State::kEscape:
            if (byte == '[') {
                state_ = State::kCsi;
                sequenceLength_ = 0;
                return std::nullopt;
            }
            if (byte == 'O') {
                state_ = State::kSs3;
                return std::nullopt;
            }
            // A second ESC: the first was a key of its own, the second may
            // open a sequence.
            if (byte == kEsc) return Key::kEscape;
            // ESC and a printable byte is Alt with a key: nothing of ours.
            state_ = State::kGround;
            return std::nullopt;
        case State::kCsi:
            // Parameters and intermediates until the final byte (0x40..0x7e).
            if (byte >= 0x40 && byte <= 0x7e) {
                state_ = State::kGround;
                if (byte == 'Z') return Key::kBackTab;
                return ArrowFromFinal(byte);
            }
            if (byte < 0x20 || ++sequenceLength_ > kLongestSequence) state_ = State::kGround;
            return std::nullopt;
        case State::kSs3:
            state_ = State::kGround;
            if (byte == 'M') return Key::kEnter;  // Enter on the keypad
            return ArrowFromFinal(byte);
    }
    return std::nullopt;
}

std::optional<Key> KeyDecoder::Timeout() {
    const bool loneEscape = state_ == State::kEscape;
    state_ = State::kGround;
    if (loneEscape) return Key::kEscape;
    return std::nullopt;
}

}  // namespace os::terminal
