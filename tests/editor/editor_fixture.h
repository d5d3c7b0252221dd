// An effect with its editor, created in-process with a recording host, and
// the editor opened headless (drawing into its back buffer only).
#pragma once

#include "arp_pno_keys.h"
#include "canim_knob.h"
#include "chorizontal_switch.h"
#include "ckick_button.h"
#include "cmulti_on_off_button.h"
#include "con_off_button.h"
#include "coption_menu.h"
#include "cparam_display2.h"
#include "ctext_edit.h"
#include "ctext_label.h"
#include "curl_splash_screen.h"
#include "mosk_dialog.h"
#include "my_ckickstepseq.h"
#include "my_coption_menu.h"
#include "my_drag_button.h"
#include "my_sequence_selector.h"
#include "piano_keys.h"
#include "pop_text.h"
#include "vst_editor_bridge.h"
#include "zandrel_dsp_edit.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// What the host heard from the editor and the effect.
struct EditorTestHost {
    std::string productString = "Editor Test Host";
    std::vector<std::pair<int32_t, float>> automated;
    std::vector<std::pair<int32_t, int32_t>> sizes;
    std::vector<std::string> gestures;           // "begin 1", "end 1"
    std::vector<std::array<uint8_t, 3>> midiOut; // status, data 1, data 2

    static EditorTestHost*& current();
    static intptr_t callback(AEffect*, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                             float opt);
};

// Every parameter change the engine applied, in order (the editor's own
// writes among them), passed on to the editor.
struct AppliedParameters : EditorLink {
    EditorLink* editor = nullptr;
    std::vector<std::pair<int32_t, float>> applied;
    void setParameter(int32_t index, float value) override {
        applied.emplace_back(index, value);
        if (editor) editor->setParameter(index, value);
    }
    bool contains(int32_t index, float value) const;
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
    // The centre of a view, in frame coordinates.
    CPoint centreOf(const CView* view);
    // Chooses an entry through the open pop-up: path holds the entry of
    // each level (submenus open as the pointer passes over them).
    void choose(COptionMenu* menu, const std::vector<int32_t>& path);
    void typeText(const std::string& text);
    // Idles until done() or three seconds have passed.
    bool idleUntil(const std::function<bool()>& done);
    // The presets folder, with its trailing "/".
    std::string presetsFolder() const;
    // A script named name in a folder put first on PATH (a stand-in for a
    // desktop program); the folder goes with the test.
    void standIn(const std::string& name, const std::string& body);
    // Only the stand-ins on PATH: no real dialog program is found.
    void onlyStandInsOnPath();

    EditorTestHost host;
    AppliedParameters parameters;
    std::string documents;
    std::string path;
    std::unique_ptr<ZandrelDSPEdit> effect;
    ZandrelGUI* gui = nullptr;
};
