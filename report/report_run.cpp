#include "report/report_run.h"

#include <string>
#include <string_view>

#include "counting/line_tally.h"
#include "counting/source_names.h"
#include "platform/os.h"
#include "report/entry_plan.h"
#include "report/list_entries.h"
#include "report/report_format.h"

namespace {

// Writes the header and one row per entry that yields lines.
bool WriteRows(os::ReportFile& report, const std::string& reportPath, const char* sourceFolder,
               const char* entryList) {
    const std::string_view header = ReportHeader();
    if (!os::WriteReport(report, header.data(), header.size())) return false;
    // Without a source folder no entry can be found; each gets no row.
    if (sourceFolder == nullptr) return true;

    // Made once for the whole run: every file of every walk is read with it.
    os::ViewReader reader(os::ViewSize());
    std::string folder = os::PathFromHost(sourceFolder);
    // The host ends the folder with a separator; one that does not must still
    // name that folder, not a sibling whose name merely starts the same.
    if (!folder.empty() && !os::IsSeparator(folder.back())) folder += os::kSeparator;
    // A report named as a source file may lie in a tree it measures, and it
    // grows row by row: a tally taken at one entry's turn would be stale at
    // another's. Then each entry is walked at its own turn.
    const bool reuse = !IsSourceFileName(reportPath.data(), reportPath.size());
    EntryPlan plan(std::move(folder), entryList, reader, reuse);
    for (const char* entry = entryList; *entry != '\0'; entry = NextEntry(entry)) {
        const FolderTally told = plan.Tally(entry);
        if (!told.tallied || told.tally.total == 0) continue;
        const std::string row = ReportRow(entry, told.files, told.tally);
        if (!os::WriteReport(report, row.data(), row.size())) return false;
    }
    return true;
}

}  // namespace

ReportOutcome RunReport(const char* reportPath, const char* sourceFolder, const char* entryList) {
    const std::string path = reportPath ? os::PathFromHost(reportPath) : std::string();
    os::ReportFile report;
    if (reportPath == nullptr || !os::CreateReportFile(path.c_str(), report)) {
        return ReportOutcome::kNotCreated;
    }
    bool written = false;
    try {
        written = entryList == nullptr || WriteRows(report, path, sourceFolder, entryList);
    } catch (...) {
        // Out of memory part way (a huge folder, a host short of memory): the
        // report is as unfinished as after a failed write, and is handled so.
    }
    const bool closed = os::CloseReportFile(report);
    if (written && closed) return ReportOutcome::kWritten;
    // Never leave a report that looks finished but is cut short.
    os::RemoveReportFile(path.c_str(), report);
    return ReportOutcome::kNotWritten;
}
