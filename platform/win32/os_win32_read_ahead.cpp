// Windows: no reading ahead. Its hints need the file kept open while the read
// goes on (an overlapped read into a buffer of ours, or a prefetch of a
// mapped view), and a walk holds nothing open between files. Counting no
// storage reads keeps the walk from ever hinting.
#include "platform/os.h"

namespace os {

void HintWillRead(const char*) {}

uint64_t StorageBytesRead() { return 0; }

}  // namespace os
