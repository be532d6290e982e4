// What every test of a whole pack run needs: the settings file in a folder of
// the test's own, and the settings dialog answered by a key script (Enter
// unless the test says otherwise). Both are put back afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/os_dialog.h"
#include "tests/support/test_tree.h"

class PackEnvironment {
public:
    explicit PackEnvironment(const char* keys = "Enter") {
        setenv("XDG_CONFIG_HOME", config.root().c_str(), 1);
        Keys(keys);
    }
    ~PackEnvironment() {
        unsetenv(os::kKeyScriptVariable);
        unsetenv("XDG_CONFIG_HOME");
    }
    PackEnvironment(const PackEnvironment&) = delete;
    PackEnvironment& operator=(const PackEnvironment&) = delete;

    // The keys that answer the dialogs from now on; null: no script at all.
    static void Keys(const char* keys) {
        if (keys != nullptr) {
            setenv(os::kKeyScriptVariable, keys, 1);
        } else {
            unsetenv(os::kKeyScriptVariable);
        }
    }

    TestTree config;  // where the settings file goes
};

// The same as a fixture, for test suites whose every test packs.
class PackTest : public testing::Test {
protected:
    PackEnvironment env_;
};
