// The editor window's costs, headless, at 100 % and 200 % (argument 1 or
// 2): from effEditOpen to the first full picture, a full redraw, the
// rebuild after "Arp ON" switches, and an idle call with nothing to do.
// The heap an open window holds is reported as the counter "heap_bytes"
// of the first-paint benchmark (after one open and close, so that the
// process's font caches are not counted).
#include "vst_editor_bridge.h"
#include "zandrel_dsp_edit.h"

#include <benchmark/benchmark.h>

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

void BM_IdleWithNothingChanged(benchmark::State& state) {
    Setup setup(static_cast<int>(state.range(0)));
    setup.open();
    for (auto _ : state) setup.idle();
}
} // namespace

BENCHMARK(BM_TimeToFirstPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAfterSectionSwitch)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleWithNothingChanged)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
