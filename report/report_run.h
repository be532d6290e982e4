// The report run: from the host's pack request to the finished report file.
#pragma once

// Touches the settings file, asks for confirmation in the settings dialog and,
// after Ok, writes the report for every entry of entryList (NUL-terminated
// entries relative to sourceFolder, ended by an empty one).
// Returns 0 when the report was written, nothing was asked for, or the user
// cancelled; the host's E_ECREATE when the report file cannot be created and
// E_EWRITE when it cannot be written (the incomplete file is removed), also
// when memory runs out while it is written. Memory running out before the
// report exists throws std::bad_alloc, with nothing created.
int RunReport(const char* reportPath, const char* sourceFolder, const char* entryList);
