// The files a report measures below a folder, found by the report's own walk
// (counting/folder_walk.h): source extensions only, links to folders followed
// except into a folder already on the current path.
#pragma once

#include <functional>
#include <string>

// Calls visit for each such file, depth first. False when a folder could not
// be read or visit returned false; the walk stops there. reads: whether visit
// reads the files, so that the walk reads them ahead on a cold cache as the
// report's does; a walk that only lists them leaves the cache as it is.
bool ForEachSourceFile(const std::string& root,
                       const std::function<bool(const std::string&)>& visit, bool reads = true);
