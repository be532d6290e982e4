// The row formatter and the host's entry list, with their invariants checked
// on arbitrary entries and counters:
//  - a row is one record: exactly seven fields and one CR LF, at its end,
//    outside any quotes; the name field unquotes to the entry without its
//    trailing separator; each number parses back to its value and is
//    right-aligned in at least its column's width;
//  - an entry list splits back into the entries it was built from;
//  - a folder entry and a source folder are marked with exactly one separator.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "standin/entry_list.h"
#include "report/report_format.h"

namespace {

#define REQUIRE(condition)                                                                         \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (0)

bool IsSlash(char c) { return c == '/'; }
bool IsEitherSlash(char c) { return c == '/' || c == '\\'; }

std::string WithoutTrailing(std::string text, bool (*isSeparator)(char)) {
    while (!text.empty() && isSeparator(text.back())) text.pop_back();
    return text;
}

// Splits one semicolon-separated record as a spreadsheet reads it: a field
// that starts with a quote runs to the matching quote, doubled quotes inside
// stand for one. Returns false unless the record ends in its only CR LF.
bool ParseRecord(const std::string& row, std::vector<std::string>& fields) {
    fields.assign(1, std::string());
    size_t i = 0;
    bool fieldStart = true;
    while (i < row.size()) {
        const char c = row[i];
        if (fieldStart && c == '"') {
            for (++i;; ++i) {
                if (i >= row.size()) return false;  // unterminated quote
                if (row[i] != '"') {
                    fields.back() += row[i];
                } else if (i + 1 < row.size() && row[i + 1] == '"') {
                    fields.back() += '"';
                    ++i;
                } else {
                    break;
                }
            }
            ++i;
            fieldStart = false;
            if (i < row.size() && row[i] != ';' && row[i] != '\r') return false;
            continue;
        }
        if (c == ';') {
            fields.emplace_back();
            fieldStart = true;
        } else if (c == '\r' || c == '\n') {
            return c == '\r' && i + 2 == row.size() && row[i + 1] == '\n';
        } else {
            if (c == '"') return false;  // a bare quote inside a field
            fields.back() += c;
            fieldStart = false;
        }
        ++i;
    }
    return false;  // no CR LF at all
}

// A number field: spaces, then decimal digits, together at least width wide;
// padded only up to width.
void CheckNumber(const std::string& field, uint64_t value, size_t width) {
    size_t spaces = 0;
    while (spaces < field.size() && field[spaces] == ' ') ++spaces;
    const size_t digits = field.size() - spaces;
    REQUIRE(digits >= 1 && digits <= 20);
    REQUIRE(field.size() >= width);
    REQUIRE(spaces == 0 || field.size() == width);
    REQUIRE(digits == 1 || field[spaces] != '0');
    unsigned __int128 parsed = 0;
    for (size_t i = spaces; i < field.size(); ++i) {
        REQUIRE(field[i] >= '0' && field[i] <= '9');
        parsed = parsed * 10 + static_cast<unsigned>(field[i] - '0');
    }
    REQUIRE(parsed == value);
}

void CheckRow(const std::string& entry, uint64_t files, const LineTally& tally) {
    const std::string row = ReportRow(entry, files, tally);
    std::vector<std::string> fields;
    REQUIRE(ParseRecord(row, fields));
    REQUIRE(fields.size() == 7);

    std::string name = entry;
    if (!name.empty() && (name.back() == '/' || name.back() == '\\')) name.pop_back();
    REQUIRE(fields[0] == name);
    REQUIRE(ReportName(entry) == row.substr(0, ReportName(entry).size()));

    CheckNumber(fields[1], files, 5);
    CheckNumber(fields[2], tally.total, 8);
    CheckNumber(fields[3], tally.code, 8);
    CheckNumber(fields[4], tally.comments, 8);
    CheckNumber(fields[5], tally.empty, 8);
    const uint64_t ratio =
        tally.total == 0
            ? 0
            : static_cast<uint64_t>(static_cast<unsigned __int128>(tally.code) * 100 / tally.total);
    CheckNumber(fields[6], ratio, 3);
}

void CheckMarking(const std::string& text, char separator, bool (*isSeparator)(char)) {
    const std::string trimmed = WithoutTrailing(text, isSeparator);
    const std::string source = SourceWithSeparator(text, separator, isSeparator);
    REQUIRE(source == trimmed + separator);
    REQUIRE(SourceWithSeparator(source, separator, isSeparator) == source);

    const std::string folder = MarkEntry(text, true, separator, isSeparator);
    REQUIRE(folder == trimmed + separator);
    REQUIRE(MarkEntry(folder, true, separator, isSeparator) == folder);
    REQUIRE(MarkEntry(text, false, separator, isSeparator) == text);
    // The row names the folder as the user gave it, less its separators.
    std::vector<std::string> fields;
    REQUIRE(ParseRecord(ReportRow(folder, 1, {1, 1, 0, 0}), fields));
    REQUIRE(fields[0] == trimmed);
}

// The host lays the entries end to end; the module must read back exactly the
// entries up to the first one that is empty once cut at its first NUL.
void CheckEntryList(const std::vector<std::string>& entries) {
    const std::string built = EntryList(entries);
    REQUIRE(built.size() >= 1 && built.back() == '\0');
    REQUIRE(built.size() == 1 || built[built.size() - 2] == '\0');

    std::unique_ptr<char[]> exact(new char[built.size()]);
    std::memcpy(exact.get(), built.data(), built.size());
    std::vector<std::string> expected;
    for (const std::string& entry : entries) {
        const std::string cut = entry.c_str();
        if (cut.empty()) break;
        expected.push_back(cut);
    }
    REQUIRE(SplitEntryList(exact.get()) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const uint64_t files = input.ConsumeIntegral<uint64_t>();
    LineTally tally;
    tally.total = input.ConsumeIntegral<uint64_t>();
    tally.code = input.ConsumeBool() ? input.ConsumeIntegral<uint64_t>()
                                     : input.ConsumeIntegralInRange<uint64_t>(0, tally.total);
    tally.comments = input.ConsumeIntegral<uint64_t>();
    tally.empty = input.ConsumeIntegral<uint64_t>();

    std::vector<std::string> entries;
    while (input.remaining_bytes() > 0 && entries.size() < 16) {
        entries.push_back(input.ConsumeRandomLengthString(512));
    }
    for (const std::string& entry : entries) {
        CheckRow(entry, files, tally);
        CheckMarking(entry, '/', IsSlash);
        CheckMarking(entry, '\\', IsEitherSlash);
    }
    CheckEntryList(entries);

    // Raw bytes as a list, closed by the two NULs the host always ends it with.
    std::string raw(reinterpret_cast<const char*>(data), size);
    raw.append(2, '\0');
    std::unique_ptr<char[]> exact(new char[raw.size()]);
    std::memcpy(exact.get(), raw.data(), raw.size());
    size_t offset = 0;
    for (const std::string& entry : SplitEntryList(exact.get())) {
        REQUIRE(!entry.empty() && entry.find('\0') == std::string::npos);
        REQUIRE(raw.compare(offset, entry.size() + 1, entry.c_str(), entry.size() + 1) == 0);
        offset += entry.size() + 1;
    }
    REQUIRE(raw[offset] == '\0');
    return 0;
}
