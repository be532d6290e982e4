// How many descriptors the process holds open: a run that leaks one, on any
// path, shows up as a difference between before and after.
#pragma once

#include <cstddef>

size_t OpenDescriptorCount();
