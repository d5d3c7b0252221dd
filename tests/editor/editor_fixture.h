// An effect with its editor, created in-process with a recording host, and
// the editor opened headless (drawing into its back buffer only).
#pragma once

#include "vst_editor_bridge.h"
#include "zandrel_dsp_edit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// What the host heard from the editor.
struct EditorTestHost {
    std::vector<std::pair<int32_t, float>> automated;
    std::vector<std::pair<int32_t, int32_t>> sizes;
    std::vector<std::string> gestures; // "begin 1", "end 1"

    static EditorTestHost*& current();
    static intptr_t callback(AEffect*, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                             float opt);
};

class EditorTest : public ::testing::Test {
protected:
    // configText: the configuration file's content; empty writes none.
    void SetUp() override { create(""); }
    void TearDown() override;
    void create(const std::string& configText);

    void runBlocks(int count);
    void open();
    void idle();
    void close();
    EditorRect rect();
    CFrame* frame() { return gui->getFrame(); }
    const EditorViews& views() { return gui->getViews(); }
    // A click in frame coordinates, as the window would report it.
    void clickAt(CPoint p, int32_t buttons = kLButton);

    EditorTestHost host;
    std::string documents;
    std::unique_ptr<ZandrelDSPEdit> effect;
    ZandrelGUI* gui = nullptr;
};
