// The report run: from a report path, a source folder and an entry list to
// the finished report file.
#pragma once

enum class ReportOutcome {
    kWritten,     // the header and a row for every entry that yields lines
    kNotCreated,  // the report file could not be created; nothing was written
    kNotWritten,  // a write or the close failed, or memory ran out part way;
                  // the incomplete file was removed
};

// Creates the report at reportPath (replacing any file there), writes the
// header and one row per entry of entryList (NUL-terminated entries relative
// to sourceFolder, ended by an empty one) that names a readable folder tree
// with lines, in list order. Each row is what TallyFolder on that entry
// gives, though a folder is walked once per run, not once for each entry it
// lies in (report/entry_plan.h). No source folder means no entry can be
// found: the header alone. Memory running out before the file exists throws
// std::bad_alloc, with nothing created.
ReportOutcome RunReport(const char* reportPath, const char* sourceFolder, const char* entryList);
