// A home folder of the test's own with the presets the fuzzer's sessions
// find, so that program changes load the same files here as there and no
// user file is touched.
#pragma once

#include "session_presets.h"
#include "test_host_support.h"

#include <cstdlib>
#include <gtest/gtest.h>

class SessionHome : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("HOME", home.path().c_str(), 1);
        unsetenv("XDG_DOCUMENTS_DIR");
        ASSERT_TRUE(soak::writeSessionPresets(ZANDREL_SO, (home.path() / "Documents").string()));
    }
    ScratchFolder home;
};
