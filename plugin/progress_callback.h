// The module's one piece of state: the progress callback the host last
// handed to SetProcessDataProc. Nothing in the module calls it.
#pragma once

#include "plugin/wcx_api.h"

extern ProcessDataProc g_processDataProc;
