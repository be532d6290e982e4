// The export set: through the platform loader as the host sees it, and
// directly for the state that only the module can see.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "plugin/wcx_api.h"

namespace {

const char* const kNames[] = {"GetPackerCaps",    "PackFiles",          "OpenArchive",
                              "ReadHeader",       "ProcessFile",        "CloseArchive",
                              "SetChangeVolProc", "SetProcessDataProc", "ConfigurePacker"};

class LoadedModule : public testing::Test {
protected:
    void SetUp() override {
        module_ = dlopen(MOSSGRAIN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
    }
    void TearDown() override {
        if (module_) dlclose(module_);
    }
    template <typename F>
    F Get(const char* name) {
        return reinterpret_cast<F>(dlsym(module_, name));
    }
    void* module_ = nullptr;
};

TEST_F(LoadedModule, ExportsTheNineEntryPointsAndHidesTheRest) {
    for (const char* name : kNames) EXPECT_NE(dlsym(module_, name), nullptr) << name;
    for (const char* hidden :
         {"RunReport", "TallyFolder", "_Z11TallyFolderPKcmRmR9LineTally", "g_processDataProc"}) {
        EXPECT_EQ(dlsym(module_, hidden), nullptr) << hidden;
    }
}

TEST_F(LoadedModule, ReadingEntryPointsAreStubs) {
    EXPECT_EQ(Get<int (*)()>("GetPackerCaps")(), 407);
    EXPECT_EQ(Get<int (*)()>("GetPackerCaps")(), 407);

    auto openArchive = Get<ArchiveHandle (*)(tOpenArchiveData*)>("OpenArchive");
    unsigned char record[64] = {1, 2, 3};
    EXPECT_EQ(openArchive(reinterpret_cast<tOpenArchiveData*>(record)), nullptr);
    EXPECT_EQ(openArchive(nullptr), nullptr);

    auto readHeader = Get<int (*)(ArchiveHandle, tHeaderData*)>("ReadHeader");
    unsigned char header[64] = {};
    auto* headerData = reinterpret_cast<tHeaderData*>(header);
    EXPECT_EQ(readHeader(nullptr, headerData), 12);
    EXPECT_EQ(readHeader(record, nullptr), 12);
    EXPECT_EQ(readHeader(record, headerData), 0);
    for (unsigned char b : header) EXPECT_EQ(b, 0);  // nothing written

    EXPECT_EQ((Get<int (*)(ArchiveHandle, int, char*, char*)>("ProcessFile")(nullptr, 0, nullptr,
                                                                             nullptr)),
              0);
    EXPECT_EQ(Get<int (*)(ArchiveHandle)>("CloseArchive")(nullptr), 0);
    Get<void (*)(ArchiveHandle, ChangeVolProc)>("SetChangeVolProc")(nullptr, nullptr);
}

}  // namespace
