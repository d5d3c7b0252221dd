// The editor window's costs, headless, at 100 % and 200 % (argument 1 or
// 2): from effEditOpen to the first full picture, a full redraw, the
// rebuild after "Arp ON" switches, and an idle call with nothing to do.
// The heap an open window holds is reported as the counter "heap_bytes"
// of the first-paint benchmark (after one open and close, so that the
// process's font caches are not counted). A click's way through the
// window: from the press to the engine's change ("to_engine_us") and on to
// the redrawn view ("to_redraw_us"), on the latch switch and on a step
// drawn in the step sequencer.
#include "con_off_button.h"
#include "my_ckickstepseq.h"
#include "vst_editor_bridge.h"
#include "zandrel_dsp_edit.h"

#include <benchmark/benchmark.h>
#include <chrono>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <memory>

namespace {
// Heap in use, large blocks (which malloc maps on their own) included.
size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetSampleRate:
        return 48000;
    case audioMasterGetProductString:
        std::snprintf(static_cast<char*>(ptr), 64, "Editor Bench");
        return 1;
    case audioMasterSizeWindow:
        return 1;
    default:
        return 0;
    }
}

// One effect with its editor, at the benchmark's scale, window closed.
struct Setup {
    std::string documents;
    std::unique_ptr<ZandrelDSPEdit> effect;

    explicit Setup(int scale) {
        unsetenv("DISPLAY"); // headless whatever the machine
        char pattern[] = "/tmp/zandrel-editor-bench-XXXXXX";
        documents = mkdtemp(pattern);
        setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
        effect = std::make_unique<ZandrelDSPEdit>(hostCallback, createZandrelEditor);
        float left[64], right[64];
        float* outputs[2] = {left, right};
        for (int i = 0; i < 10; ++i) effect->processReplacing(nullptr, outputs, 64);
        effect->setParameter(105, scale == 2 ? 1.0f : 0.0f);
    }
    ~Setup() {
        effect.reset();
        std::filesystem::remove_all(documents);
    }
    ZandrelGUI& gui() { return static_cast<VstEditorBridge*>(effect->getEditor())->gui(); }
    void open() {
        effect->dispatcher(effEditOpen, 0, 0, nullptr, 0);
        idle();
    }
    void idle() { effect->dispatcher(effEditIdle, 0, 0, nullptr, 0); }
    void close() { effect->dispatcher(effEditClose, 0, 0, nullptr, 0); }
};

void BM_TimeToFirstPaint(benchmark::State& state) {
    Setup setup(static_cast<int>(state.range(0)));
    setup.open(); // warms the font caches and the bitmaps' decoders
    setup.close();
    const size_t closedHeap = heapInUse();
    size_t openHeap = 0;
    for (auto _ : state) {
        setup.open();
        state.PauseTiming();
        openHeap = heapInUse();
        setup.close();
        state.ResumeTiming();
    }
    state.counters["heap_bytes"] = static_cast<double>(openHeap - closedHeap);
}

void BM_FullRedraw(benchmark::State& state) {
    Setup setup(static_cast<int>(state.range(0)));
    setup.open();
    for (auto _ : state) setup.gui().getFrame()->redrawAll();
}

void BM_RebuildAfterSectionSwitch(benchmark::State& state) {
    Setup setup(static_cast<int>(state.range(0)));
    setup.open();
    float arp = 1.0f;
    for (auto _ : state) {
        arp = 1.0f - arp;
        setup.effect->setParameter(17, arp);
        setup.idle(); // rebuilds and draws
    }
}

// Arguments: scale, then 0 for the latch switch, 1 for a step drawn.
void BM_ClickToRedrawnView(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    Setup setup(static_cast<int>(state.range(0)));
    setup.open();
    CFrame* frame = setup.gui().getFrame();
    const EditorViews& views = setup.gui().getViews();
    const bool step = state.range(1) == 1;
    const CRect target = step
                             ? views.stepSequencer->localToFrame(views.stepSequencer->getViewSize())
                             : views.latch->localToFrame(views.latch->getViewSize());
    const EngineState& st = setup.effect->zandEngine().engine();
    double toEngine = 0, toRedraw = 0;
    bool high = false;
    for (auto _ : state) {
        high = !high;
        const float before = step ? st.patterns[0].rowValue[0][3] : st.midiLatch;
        CPoint at(target.left + (step ? views.stepSequencer->getStepWidth() * 3.5 : 5),
                  target.top + (step ? (high ? 40 : 160) : 5));
        const auto t0 = Clock::now();
        frame->onMouseDown(at, kLButton);
        frame->onMouseUp(at, 0);
        const auto t1 = Clock::now();
        frame->updateDirty();
        const auto t2 = Clock::now();
        const float after = step ? st.patterns[0].rowValue[0][3] : st.midiLatch;
        if (after == before) state.SkipWithError("the click changed nothing");
        toEngine += std::chrono::duration<double, std::micro>(t1 - t0).count();
        toRedraw += std::chrono::duration<double, std::micro>(t2 - t0).count();
    }
    state.counters["to_engine_us"] =
        benchmark::Counter(toEngine, benchmark::Counter::kAvgIterations);
    state.counters["to_redraw_us"] =
        benchmark::Counter(toRedraw, benchmark::Counter::kAvgIterations);
}

void BM_IdleWithNothingChanged(benchmark::State& state) {
    Setup setup(static_cast<int>(state.range(0)));
    setup.open();
    for (auto _ : state) setup.idle();
}
} // namespace

BENCHMARK(BM_TimeToFirstPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAfterSectionSwitch)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickToRedrawnView)
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleWithNothingChanged)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
