// Text conversions at the Windows system calls. The core keeps paths as
// narrow UTF-8; the system wants UTF-16. File names on Windows may hold
// unpaired surrogates, which UTF-8 cannot carry, so both directions use the
// generalised form (WTF-8) in which such a surrogate is encoded like any other
// code point: every name the system returns converts back to the same name.
#pragma once

#include <string>
#include <string_view>

namespace os::win32 {

// UTF-16 (possibly ill-formed) to WTF-8.
std::string NarrowFromWide(std::wstring_view wide);

// WTF-8 to UTF-16. A byte that starts no valid sequence becomes U+FFFD, so
// that no malformed input can name a file other than the one it spells.
std::wstring WideFromNarrow(std::string_view narrow);

// Text in the ANSI code page (what the host passes) to WTF-8.
std::string NarrowFromAnsi(const char* ansi);

// WTF-8 to the ANSI code page; characters it lacks become '?'.
std::string AnsiFromNarrow(std::string_view narrow);

}  // namespace os::win32
