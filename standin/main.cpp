// mossgrain: the stand-in host. It loads the module by file name and drives
// it through its entry points the way the file manager does when the user
// packs a selection into an archive of the module's type.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/os.h"
#include "plugin/module_file.h"
#include "plugin/module_identity.h"
#include "plugin/wcx_api.h"
#include "standin/entry_list.h"
#include "standin/expand_selection.h"
#include "standin/no_row_reason.h"
#include "standin/plugin_module.h"
#include "standin/report_rows.h"
#include "standin/standin_os.h"

namespace {

// Exit statuses: the module's run failed; the module or the command line
// could not be used at all.
constexpr int kExitRunFailed = 1;
constexpr int kExitUnusable = 2;

const char kUsage[] =
    "usage: mossgrain pack [--yes] [--expand] [--plugin FILE] REPORT SOURCE ENTRY...\n"
    "       mossgrain caps [--plugin FILE]\n"
    "       mossgrain about [--yes] [--plugin FILE]\n"
    "       mossgrain --help | --version\n";

const char kHelp[] =
    "\n"
    "Drives the Mossgrain module as the file manager does.\n"
    "\n"
    "  pack    packs the ENTRY folders of SOURCE into REPORT: the module shows its\n"
    "          settings dialog and, after Ok, writes a line-count report there\n"
    "  caps    prints the module's capability word and the names of its bits\n"
    "  about   shows the module's about box\n"
    "\n"
    "  --yes          answer the module's dialogs with Enter\n"
    "  --expand       pass the selection as a file manager does: every file and\n"
    "                 folder below the ENTRY folders, each folder followed by its\n"
    "                 contents (links are passed, not followed)\n"
    "  --plugin FILE  the module to load (default: " MOSSGRAIN_MODULE_FILE
    " beside mossgrain)\n"
    "\n"
    "Each ENTRY is a path relative to SOURCE; folders are passed with one trailing\n"
    "separator, in the order given. Exit status: 0 when the module's run succeeded,\n"
    "1 when it failed, 2 when the module or the command line could not be used.\n";

struct Options {
    bool yes = false;
    bool expand = false;
    std::string plugin;
    std::vector<std::string> operands;
};

bool ParseOptions(int argc, char** argv, int first, Options& options) {
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--yes") {
            options.yes = true;
        } else if (arg == "--expand") {
            options.expand = true;
        } else if (arg == "--plugin") {
            if (++i == argc) return false;
            options.plugin = argv[i];
        } else if (arg == "--") {
            for (++i; i < argc; ++i) options.operands.emplace_back(argv[i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "mossgrain: unknown option %s\n", arg.c_str());
            return false;
        } else {
            options.operands.push_back(arg);
        }
    }
    return true;
}

bool LoadPlugin(const Options& options, PluginModule& module) {
    const std::string path = options.plugin.empty()
                                 ? standin_os::ExecutableFolder() + MOSSGRAIN_MODULE_FILE
                                 : options.plugin;
    std::string error;
    if (module.Load(path, error)) return true;
    std::fprintf(stderr, "mossgrain: cannot use the plug-in %s: %s\n", path.c_str(), error.c_str());
    return false;
}

struct CapabilityBit {
    int bit;
    const char* name;
    const char* meaning;
};

constexpr CapabilityBit kCapabilityBits[] = {
    {kCapsNew, "new", "can create new archives"},
    {kCapsModify, "modify", "can modify existing archives"},
    {kCapsMultiple, "multiple", "an archive can hold several files"},
    {kCapsDelete, "delete", "can delete files from archives"},
    {kCapsOptions, "options", "has an options dialog"},
    {kCapsMemPack, "mempack", "can pack in memory"},
    {kCapsByContent, "bycontent", "recognises its archives by content"},
    {kCapsSearchText, "searchtext", "the host may search for text in its archives"},
    {kCapsHide, "hide", "shown as an ordinary file, opened only on request"},
};

int Caps(const Options& options) {
    PluginModule module;
    if (!LoadPlugin(options, module)) return kExitUnusable;
    const int caps = module.GetPackerCaps();
    std::printf("%d (0x%03X)\n", caps, static_cast<unsigned>(caps));
    int known = 0;
    for (const CapabilityBit& c : kCapabilityBits) {
        known |= c.bit;
        if (caps & c.bit) std::printf("  0x%03X %-10s %s\n", c.bit, c.name, c.meaning);
    }
    if (caps & ~known) std::printf("  0x%03X (bits this host does not know)\n", caps & ~known);
    return 0;
}

int About(const Options& options) {
    PluginModule module;
    if (!LoadPlugin(options, module)) return kExitUnusable;
    if (options.yes) standin_os::AnswerDialogsWith("Enter");
    if (module.ConfigurePacker(nullptr, module.handle) == 0) {
        if (standin_os::CanShowDialogs()) {
            std::fprintf(stderr, "mossgrain: the about box could not be shown\n");
        } else {
            std::fprintf(stderr,
                         "mossgrain: the about box could not be shown (no %s; --yes answers it)\n",
                         standin_os::kDialogPlace);
        }
        return kExitRunFailed;
    }
    return 0;
}

const char* ErrorName(int code) {
    const char* name = WcxResultName(code);
    return name != nullptr ? name : "unknown error";
}

std::string ErrorMeaning(int code) {
    switch (code) {
        case kWcxCreateError:
            return "the report file could not be created";
        case kWcxWriteError:
            return "the report file could not be written";
        case kWcxNotSupported: {
            const std::string why = standin_os::NoDialogReason();
            return "the settings dialog could not be shown" + (why.empty() ? "" : ": " + why);
        }
        default:
            return "the plug-in failed";
    }
}

// Tells on standard error which entries got no row, and why as far as the
// host can see; the report and the exit status stay as they are. With
// userNamed, the entries are an expanded selection: of those the expansion
// added only folders are told, as files never get rows.
void TellEntriesWithoutRow(const std::string& report, const std::string& source,
                           const std::vector<std::string>& entries,
                           const std::set<std::string>* userNamed) {
    if (!os::IsFolder(os::PathFromHost(source.c_str()).c_str())) {
        std::fprintf(stderr, "mossgrain: no entry has a row: %s is no folder\n", source.c_str());
        return;
    }
    std::ifstream file(report, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::set<std::string> told;
    for (const size_t i : EntriesWithoutRow(entries, RowNames(text))) {
        const std::string& entry = entries[i];
        const bool folder = !entry.empty() && os::IsSeparator(entry.back());
        if (!folder && userNamed != nullptr && !userNamed->count(entry)) continue;
        if (!told.insert(entry).second) continue;
        std::fprintf(stderr, "mossgrain: no row for %s: %s\n", entry.c_str(),
                     NoRowReason(source, entry).c_str());
    }
}

// The entry list for the user's entries: each marked as the file manager
// marks it, or, with --expand, every file and folder below them. False for
// an empty entry.
bool SelectedEntries(const Options& options, const std::string& source,
                     const std::vector<std::string>& given, std::vector<std::string>& entries) {
    for (const std::string& entry : given) {
        if (entry.empty()) {
            std::fprintf(stderr, "mossgrain: an ENTRY may not be empty\n");
            return false;
        }
        const bool folder = os::IsFolder(os::PathFromHost((source + entry).c_str()).c_str());
        entries.push_back(MarkEntry(entry, folder, os::kSeparator, os::IsSeparator));
    }
    if (options.expand) {
        entries = ExpandSelection(source, given, os::kSeparator, os::IsSeparator,
                                  {standin_os::KindOf, standin_os::ListFolder});
    }
    return true;
}

int Pack(const Options& options) {
    if (options.operands.size() < 3) {
        std::fputs(kUsage, stderr);
        return kExitUnusable;
    }
    const std::string& report = options.operands[0];
    const std::string source =
        SourceWithSeparator(options.operands[1], os::kSeparator, os::IsSeparator);
    const std::vector<std::string> given(options.operands.begin() + 2, options.operands.end());
    std::vector<std::string> entries;
    if (!SelectedEntries(options, source, given, entries)) return kExitUnusable;

    PluginModule module;
    if (!LoadPlugin(options, module)) return kExitUnusable;
    if ((module.GetPackerCaps() & kCapsNew) == 0) {
        std::fprintf(stderr, "mossgrain: the plug-in cannot create archives\n");
        return kExitUnusable;
    }
    if (options.yes) standin_os::AnswerDialogsWith("Enter");

    const std::string before = standin_os::FileStamp(report.c_str());
    std::string reportArg = report, sourceArg = source, list = EntryList(entries);
    const int result =
        module.PackFiles(reportArg.data(), nullptr, sourceArg.data(), list.data(), 0);
    if (result != 0) {
        std::fprintf(stderr, "mossgrain: %s: %s (%s, %d)\n", report.c_str(),
                     ErrorMeaning(result).c_str(), ErrorName(result), result);
        return kExitRunFailed;
    }
    if (standin_os::FileStamp(report.c_str()) == before) {
        std::fprintf(stderr, "mossgrain: the settings dialog was cancelled; no report written\n");
        return 0;
    }
    std::printf("report written to %s\n", report.c_str());
    std::fflush(stdout);
    // The expansion passes the user's entries that are no folder without
    // trailing separators.
    std::set<std::string> named;
    for (const std::string& entry : given)
        named.insert(WithoutTrailingSeparators(entry, os::IsSeparator));
    TellEntriesWithoutRow(report, source, entries, options.expand ? &named : nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kExitUnusable;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    if (command == "--version") {
        std::printf("mossgrain %s (Mossgrain module version %s)\n", MOSSGRAIN_VERSION_DOTTED,
                    MOSSGRAIN_VERSION_TEXT);
        return 0;
    }
    Options options;
    if (!ParseOptions(argc, argv, 2, options)) {
        std::fputs(kUsage, stderr);
        return kExitUnusable;
    }
    if (command == "pack") return Pack(options);
    if (command == "caps" && options.operands.empty()) return Caps(options);
    if (command == "about" && options.operands.empty()) return About(options);
    std::fprintf(stderr, "mossgrain: unknown command %s\n", command.c_str());
    std::fputs(kUsage, stderr);
    return kExitUnusable;
}
