#include "platform/posix/ini_text.h"

#include "platform/ascii.h"

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

using ascii::EqualIgnoringCase;

// The file split into lines, remembering which line end it uses so that an
// edited file keeps it (a new file gets CR LF, as on Windows).
struct IniLines {
    std::vector<std::string_view> lines;
    std::string_view eol = "\r\n";

    explicit IniLines(std::string_view text) {
        const size_t lf = text.find('\n');
        if (lf != std::string_view::npos) eol = (lf > 0 && text[lf - 1] == '\r') ? "\r\n" : "\n";
        while (!text.empty()) {
            size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            lines.push_back(line);
            if (end == std::string_view::npos) break;
            text.remove_prefix(end + 1);
        }
    }
};

// The section name of a header line "[name]", or an empty view.
bool SectionName(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}

bool KeyName(std::string_view line, std::string_view& key) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = Trim(line.substr(0, eq));
    return true;
}

// [begin, end) of the section's body lines, and the header's index; header is
// lines.size() when the section is missing.
struct SectionSpan {
    size_t header, begin, end;
};

SectionSpan FindSection(const std::vector<std::string_view>& lines, std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (!SectionName(lines[i], name) || !EqualIgnoringCase(name, section)) continue;
        size_t end = i + 1;
        std::string_view other;
        while (end < lines.size() && !SectionName(lines[end], other)) ++end;
        return {i, i + 1, end};
    }
    return {lines.size(), lines.size(), lines.size()};
}

std::string Join(const std::vector<std::string>& lines, std::string_view eol) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += eol;
    }
    return out;
}

std::vector<std::string> Copy(const std::vector<std::string_view>& lines, size_t from, size_t to) {
    std::vector<std::string> out;
    for (size_t i = from; i < to; ++i) out.emplace_back(lines[i]);
    return out;
}

// A new section goes at the end, set off from what comes before by one
// empty line.
void AppendSection(std::vector<std::string>& out, std::string_view section,
                   const std::vector<std::string>& body) {
    if (!out.empty() && !Trim(out.back()).empty()) out.emplace_back();
    out.push_back("[" + std::string(section) + "]");
    out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

std::string IniReplaceSection(std::string_view text, std::string_view section,
                              const std::vector<std::string>& keyValues) {
    const IniLines ini(text);
    const SectionSpan span = FindSection(ini.lines, section);
    std::vector<std::string> out = Copy(ini.lines, 0, span.begin);
    if (span.header == ini.lines.size()) {
        AppendSection(out, section, keyValues);
        return Join(out, ini.eol);
    }
    out.insert(out.end(), keyValues.begin(), keyValues.end());
    // Keep the empty lines that set the next section off.
    size_t tail = span.end;
    while (tail > span.begin && Trim(ini.lines[tail - 1]).empty()) --tail;
    if (span.end < ini.lines.size()) {
        for (size_t i = tail; i < span.end; ++i) out.emplace_back(ini.lines[i]);
    }
    const std::vector<std::string> rest = Copy(ini.lines, span.end, ini.lines.size());
    out.insert(out.end(), rest.begin(), rest.end());
    return Join(out, ini.eol);
}

std::string IniSetValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    const IniLines ini(text);
    const SectionSpan span = FindSection(ini.lines, section);
    std::vector<std::string> out = Copy(ini.lines, 0, ini.lines.size());
    const std::string newLine = std::string(key) + "=" + std::string(value);
    if (span.header == ini.lines.size()) {
        AppendSection(out, section, {newLine});
        return Join(out, ini.eol);
    }
    for (size_t i = span.begin; i < span.end; ++i) {
        std::string_view existing;
        if (KeyName(ini.lines[i], existing) && EqualIgnoringCase(existing, key)) {
            // The key keeps the spelling it already had.
            out[i] = std::string(existing) + "=" + std::string(value);
            return Join(out, ini.eol);
        }
    }
    size_t insertAt = span.end;
    while (insertAt > span.begin && Trim(ini.lines[insertAt - 1]).empty()) --insertAt;
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
    return Join(out, ini.eol);
}
