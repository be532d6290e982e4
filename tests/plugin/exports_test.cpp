// The entry points through the platform loader, as the host sees them (the
// export set itself: check_exports.sh), and the one piece of state only the
// module can see.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "plugin/progress_callback.h"
#include "plugin/wcx_api.h"
#include "standin/plugin_module.h"
#include "tests/support/pack_environment.h"

namespace {

class LoadedModule : public PackTest {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module_.Load(MOSSGRAIN_MODULE_PATH, error)) << error;
    }
    PluginModule module_;
};

int WCX_API FirstProgress(char*, int) { return 1; }
int WCX_API SecondProgress(char*, int) { return 2; }
int WCX_API ChangeVolume(char*, int) { return 1; }

// The module cannot open what it writes: every reading entry point is a stub
// that answers the same whatever it is given, and writes into no record but
// the result field of OpenArchive's.
TEST_F(LoadedModule, StubEntryPointsIgnoreWhatTheyCannotUse) {
    unsigned char header[64] = {};
    auto* headerData = reinterpret_cast<tHeaderData*>(header);
    int handle = 0;  // no handle of the module's: none may be closed
    const PluginModule& m = module_;
    const struct {
        const char* call;
        std::function<intptr_t()> run;
        intptr_t expected;
    } calls[] = {
        {"GetPackerCaps()", [&] { return m.GetPackerCaps(); }, 407},
        {"OpenArchive(null)", [&] { return intptr_t(m.OpenArchive(nullptr)); }, 0},
        {"ReadHeader(null, header)", [&] { return m.ReadHeader(nullptr, headerData); }, 12},
        {"ReadHeader(handle, null)", [&] { return m.ReadHeader(&handle, nullptr); }, 12},
        {"ReadHeader(handle, header)", [&] { return m.ReadHeader(&handle, headerData); }, 0},
        {"ProcessFile(null, 0)", [&] { return m.ProcessFile(nullptr, 0, nullptr, nullptr); }, 0},
        {"ProcessFile(handle, -1)", [&] { return m.ProcessFile(&handle, -1, nullptr, nullptr); },
         0},
        {"CloseArchive(null)", [&] { return m.CloseArchive(nullptr); }, 0},
        {"CloseArchive(handle)", [&] { return m.CloseArchive(&handle); }, 0},
        {"SetChangeVolProc",
         [&] {
             m.SetChangeVolProc(&handle, &ChangeVolume);
             m.SetChangeVolProc(nullptr, nullptr);
             return 0;
         },
         0},
        // The about box, answered by the key script's Enter.
        {"ConfigurePacker(null, null)", [&] { return m.ConfigurePacker(nullptr, nullptr); }, 1},
    };
    for (const auto& c : calls) EXPECT_EQ(c.run(), c.expected) << c.call;
    for (unsigned char b : header) EXPECT_EQ(b, 0);
}

// A host that finds a report where the archive should go opens it first: no
// handle, and "unknown format" where the host looks for the reason, at the
// offset the host's own layout gives it.
TEST_F(LoadedModule, OpenArchiveSaysTheFormatIsUnknown) {
    char name[] = "old.csv";
    char comment[8] = "keep";
    tOpenArchiveData record = {name, 0, 0, comment, 8, 3, 5};
    EXPECT_EQ(module_.OpenArchive(&record), nullptr);
    int atOffset = 0;
    std::memcpy(&atOffset, reinterpret_cast<const char*>(&record) + 12, sizeof atOffset);
    EXPECT_EQ(atOffset, 14);
    EXPECT_EQ(record.ArcName, name);
    EXPECT_EQ(record.OpenMode, 0);
    EXPECT_EQ(record.CmtBuf, comment);
    EXPECT_EQ(std::string(comment), "keep");
    EXPECT_EQ(record.CmtBufSize, 8);
    EXPECT_EQ(record.CmtSize, 3);
    EXPECT_EQ(record.CmtState, 5);
}

TEST(ProgressCallbackTest, SetProcessDataProcKeepsTheLastCallback) {
    SetProcessDataProc(nullptr, &FirstProgress);
    SetProcessDataProc(nullptr, &SecondProgress);
    EXPECT_EQ(g_processDataProc, &SecondProgress);
    SetProcessDataProc(nullptr, nullptr);
    EXPECT_EQ(g_processDataProc, nullptr);
}

}  // namespace
