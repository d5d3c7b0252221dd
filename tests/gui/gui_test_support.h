// Helpers for the toolkit tests: a listener that records what it heard,
// and pixel access to a frame's back buffer.
#pragma once

#include "ccolor.h"
#include "ccontrol.h"
#include "cframe.h"

#include <vector>

struct RecordingListener : IControlListener {
    struct Call {
        int32_t tag;
        float value;
    };
    std::vector<Call> changes;
    int begins = 0;
    int ends = 0;
    void valueChanged(CControl* c) override { changes.push_back({c->getTag(), c->getValue()}); }
    void controlBeginEdit(CControl*) override { ++begins; }
    void controlEndEdit(CControl*) override { ++ends; }
};

// The colour of one back-buffer pixel (alpha included).
CColor pixelAt(CFrame* frame, int x, int y);

// Mouse shortcuts in frame coordinates.
void press(CFrame* frame, CCoord x, CCoord y, int32_t buttons = kLButton);
void move(CFrame* frame, CCoord x, CCoord y, int32_t buttons = kLButton);
void release(CFrame* frame, CCoord x, CCoord y, int32_t buttons = 0);
void click(CFrame* frame, CCoord x, CCoord y, int32_t buttons = kLButton);
void typeKey(CFrame* frame, char c);
void typeVirtual(CFrame* frame, VirtualKey key);
