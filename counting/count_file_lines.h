// Measuring one file: pick C-family sources by extension, read them once,
// view by view, and sort their lines.
#pragma once

#include "counting/line_tally.h"
#include "platform/os.h"

// Measures the file at path with views of reader.viewSize() bytes. tally is
// zeroed first on every path. True when the file was measured, or passed over
// with a zero tally (a folder, another extension, an empty file, a FIFO or
// device); false when it cannot be read.
bool CountFileLines(const char* path, os::ViewReader& reader, LineTally& tally);

// What a folder walk calls for each file its listing gave: the same, but the
// path is known to name no folder, which spares a path query per file, and
// the file is opened in its folder where the walk holds that open; a folder
// found there now is a tree that changed under the walk, and fails.
bool CountListedFile(const os::ListedFile& file, os::ViewReader& reader, LineTally& tally);
