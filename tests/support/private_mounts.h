// Small file systems that are full or read-only, made for one test without
// touching the machine's: the test body runs in a forked child with a mount
// namespace of its own, where it may mount tmpfs wherever it likes.
#pragma once

#include <functional>
#include <string>

struct PrivateMountsRun {
    bool ran = false;  // false: no mount namespace could be made, see text
    std::string text;  // what the body returned, or why it did not run or finish
};

// Runs body in a child process with a private mount namespace and hands back
// the text it returns (a description of what it saw, for the parent to check).
PrivateMountsRun RunWithPrivateMounts(const std::function<std::string()>& body);

// For the body: mounts a tmpfs of size bytes at folder (created if needed).
bool MountTmpfs(const std::string& folder, size_t size);
bool RemountReadOnly(const std::string& folder);

// Fills the file system holding folder with filler files until nothing more
// fits, then frees sparePages pages of it again.
void FillUp(const std::string& folder, int sparePages);
