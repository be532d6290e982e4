// The files a report measures below some folders, found the way the report's
// walk finds them: source extensions only, links to folders followed except
// into a folder already on the current path.
#pragma once

#include <functional>
#include <string>

// Calls visit for each such file, depth first. False when a folder could not
// be read or visit returned false (the walk still goes on).
bool ForEachSourceFile(const std::string& root,
                       const std::function<bool(const std::string&)>& visit);
