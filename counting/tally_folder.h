// Measuring a folder tree: every plain file below it is measured and the
// results summed.
#pragma once

#include <cstdint>

#include "counting/line_tally.h"

// Walks the folder at path (with or without a trailing separator) depth
// first. files receives the number of files whose own total was not 0, tally
// the sums. False when path is not a folder, a folder cannot be enumerated or
// any file in the tree cannot be read; then files and tally mean nothing.
// A folder already on the current walk path (a cycle through links) is not
// entered again and adds nothing.
bool TallyFolder(const char* path, uint64_t chunkSize, uint64_t& files, LineTally& tally);
