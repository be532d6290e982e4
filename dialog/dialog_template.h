// A dialog template as data: what a dialog looks like, independent of the
// toolkit that shows it. The Windows build takes the same values from its
// compiled resource; the terminal rendering draws from this description.
#pragma once

#include <cstddef>
#include <cstdint>

enum class ControlKind : unsigned char {
    kPushButton,
    kDefaultPushButton,
    kAutoRadioButton,
    kGroupBox,
};

struct ControlTemplate {
    int id;  // -1 for controls the code never addresses
    ControlKind kind;
    const char* caption;
    short x, y, width, height;  // dialog units
    bool groupStart;            // starts a group (radio groups end at the next one)
    bool tabStop;
};

struct DialogTemplate {
    int id;  // resource id of the template
    const char* caption;
    short width, height;  // dialog units
    const char* fontName;
    int pointSize;
    uint32_t style;
    const ControlTemplate* controls;  // in template (and tab) order
    size_t controlCount;
};
