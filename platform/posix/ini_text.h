// Editing the text of an INI file the way the Windows private-profile service
// does: sections and keys matched without regard to ASCII case, everything
// that is not touched kept as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Replaces every line in section's body with the given "key=value" lines;
// appends the section when it is missing.
std::string IniReplaceSection(std::string_view text, std::string_view section,
                              const std::vector<std::string>& keyValues);

// Sets key in section to value: replaces the key's line, or adds the key at
// the end of the section, or appends the section.
std::string IniSetValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);
