// The export set through the platform loader, as the host sees it, and the
// one piece of state only the module can see.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "host/plugin_module.h"
#include "plugin/export_names.h"
#include "plugin/progress_callback.h"
#include "plugin/wcx_api.h"
#include "tests/pack_environment.h"

namespace {

class LoadedModule : public PackTest {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module_.Load(MOSSGRAIN_MODULE_PATH, error)) << error;
    }
    PluginModule module_;
};

TEST_F(LoadedModule, ExportsTheListedEntryPointsAndHidesTheRest) {
    for (const char* name : kModuleExportNames) {
        EXPECT_NE(dlsym(module_.handle, name), nullptr) << name;
    }
    for (const char* hidden : {"RunPack", "RunReport", "TallyFolder",
                               "_Z11TallyFolderPKcmRmR9LineTally", "g_processDataProc"}) {
        EXPECT_EQ(dlsym(module_.handle, hidden), nullptr) << hidden;
    }
}

int WCX_API FirstProgress(char*, int) { return 1; }
int WCX_API SecondProgress(char*, int) { return 2; }
int WCX_API ChangeVolume(char*, int) { return 1; }

// The module cannot open what it writes: every reading entry point is a stub
// that answers the same whatever it is given, and writes into no record.
TEST_F(LoadedModule, StubEntryPointsIgnoreWhatTheyCannotUse) {
    unsigned char record[64] = {1, 2, 3};
    unsigned char header[64] = {};
    auto* openData = reinterpret_cast<tOpenArchiveData*>(record);
    auto* headerData = reinterpret_cast<tHeaderData*>(header);
    int handle = 0;  // no handle of the module's: none may be closed
    const PluginModule& m = module_;
    const struct {
        const char* call;
        std::function<intptr_t()> run;
        intptr_t expected;
    } calls[] = {
        {"GetPackerCaps()", [&] { return m.GetPackerCaps(); }, 407},
        {"OpenArchive(record)", [&] { return intptr_t(m.OpenArchive(openData)); }, 0},
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
    EXPECT_EQ(record[0], 1);
    EXPECT_EQ(record[3], 0);
    for (unsigned char b : header) EXPECT_EQ(b, 0);
}

TEST(ProgressCallbackTest, SetProcessDataProcKeepsTheLastCallback) {
    SetProcessDataProc(nullptr, &FirstProgress);
    SetProcessDataProc(nullptr, &SecondProgress);
    EXPECT_EQ(g_processDataProc, &SecondProgress);
    SetProcessDataProc(nullptr, nullptr);
    EXPECT_EQ(g_processDataProc, nullptr);
}

}  // namespace
