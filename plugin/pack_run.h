// What PackFiles does for the host: the settings file, the settings dialog as
// the gate, then the report.
#pragma once

// Touches the settings file, asks for confirmation in the settings dialog and,
// after Ok, writes the report for every entry of entryList (NUL-terminated
// entries relative to sourceFolder, ended by an empty one).
// Returns the host's result: 0 when the report was written, nothing was asked
// for, or the user cancelled; E_NOT_SUPPORTED when the dialog could not be
// shown at all (nothing is written then); E_ECREATE when the report file
// cannot be created and E_EWRITE when it cannot be written (the incomplete
// file is removed), also when memory runs out while it is written. Memory running out
// before the report exists throws std::bad_alloc, with nothing created.
int RunPack(const char* reportPath, const char* sourceFolder, const char* entryList);
