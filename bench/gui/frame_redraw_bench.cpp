// The cost of drawing the editor-sized frame at 200 %: a full redraw with
// 60 controls, one control changing, and an idle tick with nothing dirty.
#include "canim_knob.h"
#include "cbitmap.h"
#include "cframe.h"
#include "ckick_button.h"
#include "con_off_button.h"
#include "cparam_display.h"

#include <benchmark/benchmark.h>

namespace {
// 1186 x 1160: the window at 200 % with both sections shown.
CFrame* buildFrame(CAnimKnob** firstKnob) {
    auto* frame = new CFrame(CRect(0, 0, 1186, 1160), nullptr);
    CBitmap* bg = new CBitmap(20128);
    frame->setBackground(bg);
    bg->forget();
    CBitmap* knob = new CBitmap(20129);
    CBitmap* sw = new CBitmap(21130);
    CBitmap* kick = new CBitmap(21131);
    for (int i = 0; i < 60; ++i) {
        const int column = i % 10;
        const int row = i / 10;
        CCoord x = 20 + column * 115, y = 90 + row * 170;
        CControl* c;
        switch (i % 4) {
        case 0:
            c = new CAnimKnob(CRect(x, y, x + 56, y + 62), nullptr, i, 120, 62, knob);
            if (i == 0) *firstKnob = static_cast<CAnimKnob*>(c);
            break;
        case 1:
            c = new COnOffButton(CRect(x, y, x + 110, y + 36), nullptr, i, sw);
            break;
        case 2:
            c = new CKickButton(CRect(x, y, x + 36, y + 30), nullptr, i, kick);
            break;
        default: {
            auto* d = new CParamDisplay(CRect(x, y, x + 60, y + 24));
            d->setFont(CFontDesc{"Liberation Sans", 20, kNormalFace});
            c = d;
        }
        }
        c->setValue(static_cast<float>(i % 7) / 6);
        frame->addView(c);
    }
    knob->forget();
    sw->forget();
    kick->forget();
    return frame;
}
} // namespace

static void FullRedraw1186x1160With60Controls(benchmark::State& state) {
    CAnimKnob* knob = nullptr;
    CFrame* frame = buildFrame(&knob);
    for (auto _ : state) frame->redrawAll();
    frame->forget();
}
BENCHMARK(FullRedraw1186x1160With60Controls)->Unit(benchmark::kMillisecond);

static void OneKnobChangedThenIdle(benchmark::State& state) {
    CAnimKnob* knob = nullptr;
    CFrame* frame = buildFrame(&knob);
    frame->redrawAll();
    float v = 0;
    for (auto _ : state) {
        v = v > 0.9f ? 0.f : v + 0.05f;
        knob->setValue(v);
        frame->idle();
    }
    frame->forget();
}
BENCHMARK(OneKnobChangedThenIdle)->Unit(benchmark::kMicrosecond);

static void IdleTickWithNothingDirty(benchmark::State& state) {
    CAnimKnob* knob = nullptr;
    CFrame* frame = buildFrame(&knob);
    frame->redrawAll();
    for (auto _ : state) frame->idle();
    frame->forget();
}
BENCHMARK(IdleTickWithNothingDirty)->Unit(benchmark::kNanosecond);
