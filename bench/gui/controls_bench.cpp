// The cost of drawing each editor control at 200 %, of rendering the step
// editor's columns off screen, and of showing one changed step in the
// window (the column rendered again and that part of the frame redrawn).
#include "arp_pno_keys.h"
#include "cbitmap.h"
#include "cdraw_context.h"
#include "cframe.h"
#include "cmulti_on_off_button.h"
#include "cparam_display2.h"
#include "my_ckickstepseq.h"
#include "my_coption_menu.h"
#include "my_drag_button.h"
#include "my_sequence_selector.h"
#include "piano_keys.h"
#include "pop_text.h"

#include <benchmark/benchmark.h>
#include <functional>

namespace {
constexpr float kScale = 2;

// Draws the control straight into the back buffer of a frame that holds
// only it.
void drawRepeatedly(benchmark::State& state, const std::function<CControl*()>& make) {
    auto* frame = new CFrame(CRect(0, 0, 1400, 700), nullptr);
    CControl* control = make();
    frame->addView(control);
    {
        CDrawContext context(frame->getBackBuffer());
        for (auto _ : state) control->draw(&context);
    }
    frame->forget();
}

MyCKickstepseq* makeStepEditor() {
    auto* seq = new MyCKickstepseq(CRect(16, 54, 1170, 520), nullptr, 123, kScale, 1);
    for (int i = 0; i < 16; ++i) {
        seq->setBarHeight(i, (i * 53) % 416);
        seq->setStepMarker(i, i % 3 ? 0 : 400);
    }
    seq->setLoopStart(2);
    seq->setLength(10);
    seq->setPlayingStep(5);
    return seq;
}
} // namespace

static void DrawValueDisplay(benchmark::State& state) {
    drawRepeatedly(state, [] {
        auto* d = new CParamDisplay2(CRect(278, 140, 338, 164), nullptr, 33, nullptr, 0, kScale);
        d->setValue(61 / 128.f);
        return d;
    });
}
BENCHMARK(DrawValueDisplay)->Unit(benchmark::kMicrosecond);

static void DrawToggleRow(benchmark::State& state) {
    drawRepeatedly(state, [] {
        CBitmap* b = new CBitmap(20145);
        auto* row = new CMultiOnOffButton(CRect(16, 552, 296, 586), nullptr, 118, b);
        b->forget();
        row->flags[2] = row->flags[5] = 1;
        return row;
    });
}
BENCHMARK(DrawToggleRow)->Unit(benchmark::kMicrosecond);

static void DrawTitledMenu(benchmark::State& state) {
    drawRepeatedly(state, [] {
        auto* menu = new MyCOptionMenu(CRect(830, 26, 1046, 54), nullptr, 78);
        menu->setTitle("Factory/Jazz Voicings");
        menu->setFont(CFontDesc{"Liberation Sans", 20, kNormalFace});
        return menu;
    });
}
BENCHMARK(DrawTitledMenu)->Unit(benchmark::kMicrosecond);

static void DrawDragButton(benchmark::State& state) {
    drawRepeatedly(state,
                   [] { return new MyDragButton(CRect(0, 48, 116, 238), nullptr, 152, nullptr); });
}
BENCHMARK(DrawDragButton)->Unit(benchmark::kMicrosecond);

static void DrawTextEntry(benchmark::State& state) {
    drawRepeatedly(state, [] {
        auto* pop = new PopText(CRect(100, 100, 184, 136), nullptr, 151);
        pop->setFont(CFontDesc{"Liberation Sans", 20, kNormalFace});
        pop->setText("C#3");
        pop->takeFocus();
        return pop;
    });
}
BENCHMARK(DrawTextEntry)->Unit(benchmark::kMicrosecond);

static void DrawChordKeyboard(benchmark::State& state) {
    drawRepeatedly(state, [] {
        auto* keys = new PianoKeys(CRect(58, 250, 1180, 370), nullptr, 73, kScale);
        keys->setOctaveWidth(140, 120);
        for (int v = 0; v < 8; ++v) keys->setVoiceNote(v, static_cast<float>(48 + 5 * v) / 128);
        for (int n = 24; n < 120; n += 3) keys->setMark(n, 1);
        keys->setCurrentKey(60 / 128.f);
        return keys;
    });
}
BENCHMARK(DrawChordKeyboard)->Unit(benchmark::kMicrosecond);

static void DrawArpKeyboard(benchmark::State& state) {
    drawRepeatedly(state, [] {
        auto* keys = new ArpPnoKeys(CRect(1028, 604, 1166, 690), nullptr, 97, kScale);
        for (int k = 0; k < 12; ++k) {
            keys->setRule(k, k % 4);
            keys->setSounding(k, k % 3 == 0);
        }
        return keys;
    });
}
BENCHMARK(DrawArpKeyboard)->Unit(benchmark::kMicrosecond);

static void DrawPatternSelector(benchmark::State& state) {
    drawRepeatedly(state, [] {
        auto* row = new MySequenceSelector(CRect(326, 550, 806, 584), nullptr, 3, kScale);
        for (int c = 0; c < 12; c += 2) row->setMark(c, 1);
        row->select(4);
        return row;
    });
}
BENCHMARK(DrawPatternSelector)->Unit(benchmark::kMicrosecond);

// The columns already rendered: the picture is shown and the playing step
// covered.
static void DrawStepEditor(benchmark::State& state) {
    drawRepeatedly(state, [] { return makeStepEditor(); });
}
BENCHMARK(DrawStepEditor)->Unit(benchmark::kMicrosecond);

static void StepEditorFullOffscreenRender(benchmark::State& state) {
    auto* frame = new CFrame(CRect(0, 0, 1400, 700), nullptr);
    MyCKickstepseq* seq = makeStepEditor();
    frame->addView(seq);
    {
        CDrawContext context(frame->getBackBuffer());
        for (auto _ : state) {
            seq->setPage(0); // every column must be rendered again
            seq->draw(&context);
        }
    }
    frame->forget();
}
BENCHMARK(StepEditorFullOffscreenRender)->Unit(benchmark::kMicrosecond);

// One step's bar changes and the window is brought up to date.
static void StepEditorOneStepChanged(benchmark::State& state) {
    auto* frame = new CFrame(CRect(0, 0, 1186, 710), nullptr);
    CBitmap* bg = new CBitmap(20135);
    frame->setBackground(bg);
    bg->forget();
    MyCKickstepseq* seq = makeStepEditor();
    frame->addView(seq);
    frame->redrawAll();
    int height = 0;
    for (auto _ : state) {
        height = (height + 37) % 416;
        seq->setBarHeight(7, height);
        frame->updateDirty();
    }
    frame->forget();
}
BENCHMARK(StepEditorOneStepChanged)->Unit(benchmark::kMicrosecond);
