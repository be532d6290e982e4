// The module's one piece of state, seen from inside: the last callback given.
#include <gtest/gtest.h>

#include "plugin/progress_callback.h"
#include "plugin/wcx_api.h"

namespace {

int WCX_API FirstProgress(char*, int) { return 1; }
int WCX_API SecondProgress(char*, int) { return 2; }

TEST(ExportsTest, SetProcessDataProcKeepsTheLastCallback) {
    SetProcessDataProc(nullptr, &FirstProgress);
    SetProcessDataProc(nullptr, &SecondProgress);
    EXPECT_EQ(g_processDataProc, &SecondProgress);
    SetProcessDataProc(nullptr, nullptr);
    EXPECT_EQ(g_processDataProc, nullptr);
}

}  // namespace
