// The LV2 bundle as hosts see it: its description against the VST 2.4
// build's parameters, host writes through control ports and patch:Set, the
// patch replies, the state chunk across the two builds and through a state
// folder, and program changes on the host's worker.
#include "lv2_test_support.h"
#include "lv2_uris.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
constexpr uint32_t kFirstControl = 4;
constexpr int32_t kParameters = 32;

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::unique_ptr<Lv2Host> makeLv2Host(Lv2Host::Options options = {}) {
    auto host = std::make_unique<Lv2Host>(kBundlePath, options);
    host->run(640, 64); // past the guard after a resume
    host->events.clear();
    return host;
}

std::vector<uint8_t> chunkOf(Lv2Host& host) {
    const auto stored = host.saveState();
    if (!stored) return {};
    for (const auto& p : *stored)
        if (p.key == kZandrelChunkKey && p.type == LV2_ATOM__Chunk) return p.value;
    return {};
}

TEST(Lv2Bundle, DescribesEachHostParameterAsTheVst2BuildShowsIt) {
    Lv2Host lv2(kBundlePath);
    ASSERT_TRUE(lv2.loaded()) << lv2.error();
    auto vst2 = makeHost();
    ASSERT_EQ(lv2.ports().size(), kFirstControl + kParameters);
    for (int32_t i = 0; i < kParameters; ++i) {
        const Lv2Host::PortInfo& port = lv2.ports()[kFirstControl + i];
        EXPECT_TRUE(port.control && port.input) << port.symbol;
        EXPECT_EQ(port.name, vst2->parameterName(i));
        EXPECT_FLOAT_EQ(port.defaultValue, vst2->getParameter(i)) << port.name;
        EXPECT_EQ(port.minimum, 0.0f);
        EXPECT_EQ(port.maximum, 1.0f);
    }
    // Every named step shows the text the VST 2.4 build displays there
    // (the note rules' blank "no rule" is named "off").
    for (int32_t i = 0; i < kParameters; ++i) {
        for (const auto& [value, label] : lv2.ports()[kFirstControl + i].scalePoints) {
            vst2->setParameter(i, value);
            const std::string shown = trimmed(vst2->parameterDisplay(i));
            EXPECT_EQ(label, shown.empty() ? "off" : shown)
                << vst2->parameterName(i) << " " << value;
        }
    }
}

TEST(Lv2Bundle, Lv2infoListsEveryPortWithTheParameterItCarries) {
    Lv2Host lv2(kBundlePath);
    const std::string command = "LV2_PATH='" + fs::path(kBundlePath).parent_path().string() +
                                "' lv2info " + kZandrelLv2Uri + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> symbols, names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text = line;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        const size_t colon = text.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = text.substr(text.find_first_not_of('\t'), colon);
        const std::string field = key.substr(0, key.find(':'));
        const size_t start = text.find_first_not_of(' ', colon + 1);
        const std::string value = start == std::string::npos ? "" : text.substr(start);
        if (field == "Symbol") symbols.push_back(value);
        if (field == "Name" && !symbols.empty()) names.push_back(value);
    }
    if (pclose(pipe) != 0 && symbols.empty()) GTEST_SKIP() << "lv2info (lilv-utils) is missing";
    ASSERT_EQ(symbols.size(), lv2.ports().size());
    for (size_t i = 0; i < symbols.size(); ++i) {
        EXPECT_EQ(symbols[i], lv2.ports()[i].symbol);
        EXPECT_EQ(names[i], lv2.ports()[i].name);
    }
}

// A host write at a sample: through a control port (at a block's start) or
// as a patch:Set at its frame; or a key pressed (index -1, value the key).
struct Write {
    int64_t sample;
    int32_t index;
    float value;
};

const Write kWrites[] = {
    {300, 1, 0.7f},          // swing, in the guard after the resume: ignored by both
    {700, -1, 60},           // the chord plays into the arpeggiator
    {7003, 0, 29 / 48.99f},  // transpose +5: the chord's notes end here
    {8000, -1, 60},          // and sound again, transposed
    {13100, 3, 2 / 12.0f},   // pattern C
    {19345, 8, 1.0f / 3.0f}, // "Arp_No E " muted
    {25007, 2, 0.9f},        // gate
    {31003, 17, 0.0f},       // arpeggiator off
    {32000, -1, 62},         // a chord of its own
};

// Both builds start with a chord on key 60 and every step of the pattern on.
template <typename Set>
void prepare(Set set) {
    set(84, 60 / 128.0f);
    for (int k = 0; k < 8; ++k) set(33 + k, k < 3 ? (60 + 4 * k) / 128.0f : 0.0f);
    for (int step = 0; step < 16; ++step) set(130 + step, 1.0f);
}

std::vector<Note> playWrites(bool lv2, bool patch) {
    constexpr int32_t kBlock = 256;
    std::unique_ptr<Lv2Host> l;
    std::unique_ptr<PluginHost> v;
    if (lv2) {
        l = std::make_unique<Lv2Host>(kBundlePath);
        prepare([&](int32_t i, float value) { l->setParameter(i, value); });
        l->setPlaying(true);
    } else {
        v = std::make_unique<PluginHost>(kPluginPath);
        prepare([&](int32_t i, float value) { v->setParameter(i, value); });
        v->setPlaying(true);
    }
    size_t next = 0;
    for (int64_t now = 0; now < 40000; now += kBlock) {
        int64_t start = now;
        for (; next < std::size(kWrites) && kWrites[next].sample < now + kBlock; ++next) {
            const Write& w = kWrites[next];
            const int key = static_cast<int>(w.value);
            if (lv2 && w.index < 0) {
                l->noteOn(static_cast<int32_t>(w.sample - now), 1, key, 100);
            } else if (lv2 && patch) {
                l->patchSet(static_cast<int32_t>(w.sample - now), w.index, w.value);
            } else if (lv2) {
                l->setControl(w.index, w.value); // seen at the block's start
            } else if (w.index < 0) {
                v->noteOn(static_cast<int32_t>(w.sample - start), 1, key, 100);
            } else {
                const int64_t at = patch ? w.sample : now; // the block split there
                if (at > start) v->processBlock(static_cast<int32_t>(at - start));
                start = at;
                v->setParameter(w.index, w.value);
            }
        }
        lv2 ? l->processBlock(static_cast<int32_t>(now + kBlock - start))
            : v->processBlock(static_cast<int32_t>(now + kBlock - start));
    }
    return lv2 ? notesOf(l->events) : notesOf(v->events);
}

TEST(Lv2Parameters, ControlPortsAndPatchSetAreHostWritesAsInTheVst2Build) {
    for (bool patch : {false, true}) {
        const auto lv2 = playWrites(true, patch), vst2 = playWrites(false, patch);
        EXPECT_GT(lv2.size(), 10u);
        EXPECT_EQ(lv2, vst2) << (patch ? "patch:Set at its frame" : "control ports");
    }
}

TEST(Lv2Parameters, PatchGetAnswersAndTheEnginesOwnChangesAreReported) {
    auto host = makeLv2Host();
    host->setControl(1, 0.25f);
    host->processBlock(64);
    host->patchGet(10, 1);
    host->processBlock(64);
    host->patchGet(20);
    host->processBlock(64);
    ASSERT_EQ(host->parameters.size(), 1u + kParameters);
    EXPECT_EQ(host->parameters[0].index, 1);
    EXPECT_FLOAT_EQ(host->parameters[0].value, 0.25f);
    for (int32_t i = 0; i < kParameters; ++i) {
        const auto& p = host->parameters[1 + i];
        EXPECT_TRUE(p.put);
        EXPECT_EQ(p.index, i);
        EXPECT_NEAR(p.value, host->control(i), 1e-6) << i;
    }

    // A state loaded behind the host's back: every parameter is told anew,
    // with the values the VST 2.4 build takes from the same chunk.
    auto vst2 = makeHost();
    vst2->setParameter(3, 5 / 12.0f);
    vst2->setParameter(30, 1.0f);
    vst2->setParameter(21, 0.1f);
    const std::vector<uint8_t> chunk = stateChunk(*vst2);
    host->parameters.clear();
    ASSERT_EQ(host->restoreState(kZandrelChunkKey, chunk, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    host->processBlock(64);
    ASSERT_EQ(host->parameters.size(), static_cast<size_t>(kParameters));
    for (const auto& p : host->parameters) EXPECT_FLOAT_EQ(p.value, vst2->getParameter(p.index));
}

// Swing as the plug-in answers a patch:Get.
float swingOf(Lv2Host& host) {
    host.parameters.clear();
    host.patchGet(0, 1);
    host.processBlock(64);
    return host.parameters.empty() ? -1.0f : host.parameters.back().value;
}

TEST(Lv2Parameters, PortsNeitherUndoARestoredStateNorLoseTheHostsFirstSettings) {
    // A host's settings before the first block pass the guard after the
    // resume: they are the instance's settings, not stale automation.
    Lv2Host fresh(kBundlePath);
    fresh.setControl(1, 0.3f);
    EXPECT_FLOAT_EQ(swingOf(fresh), 0.3f);

    // A session reloaded: the host sets the ports it kept and restores the
    // state. Where they differ (the engine had changed a parameter itself,
    // by a program change say), the state wins; the host moving the port
    // afterwards is a write like any other.
    auto vst2 = makeHost();
    vst2->setParameter(1, 0.7f);
    Lv2Host reloaded(kBundlePath);
    reloaded.setControl(1, 0.3f);
    ASSERT_EQ(reloaded.restoreState(kZandrelChunkKey, stateChunk(*vst2), LV2_ATOM__Chunk),
              LV2_STATE_SUCCESS);
    reloaded.run(64 * 20, 64);
    EXPECT_FLOAT_EQ(swingOf(reloaded), 0.7f);
    reloaded.setControl(1, 0.5f);
    EXPECT_FLOAT_EQ(swingOf(reloaded), 0.5f);
}

// A state that differs from the defaults in many places.
void makeDistinctive(PluginHost& host) {
    storeChord(host, 60, {60, 64, 67, 71});
    storeChord(host, 62, {50, 57, 66});
    for (auto [index, value] : std::vector<std::pair<int32_t, float>>{
             {1, 0.35f}, {3, 7 / 12.0f}, {5, 2 / 3.0f}, {19, 0.2f}, {30, 1.0f}, {119, 0.4f}})
        host.setParameter(index, value);
}

TEST(Lv2State, TheChunkSavedByEitherBuildRestoresInTheOther) {
    // VST 2.4 to LV2, and back, byte for byte.
    auto vst2 = makeHost();
    makeDistinctive(*vst2);
    const std::vector<uint8_t> chunk = stateChunk(*vst2);
    auto lv2 = makeLv2Host();
    ASSERT_EQ(lv2->restoreState(kZandrelChunkKey, chunk, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    const std::vector<uint8_t> saved = chunkOf(*lv2);
    EXPECT_EQ(saved.size(), 27512u);
    EXPECT_TRUE(saved == chunk);
    auto back = makeHost();
    ASSERT_EQ(back->dispatch(effSetChunk, 0, static_cast<intptr_t>(saved.size()),
                             const_cast<uint8_t*>(saved.data())),
              0);
    EXPECT_TRUE(stateChunk(*back) == chunk);
    back->run(640, 64); // past the guard after the load
    EXPECT_EQ(chordOf(*back, 62), (std::vector<int>{50, 57, 66}));

    // Through a state folder as hosts keep it (Turtle, the chunk inside).
    char pattern[] = "/tmp/zandrel-lv2-state-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    ASSERT_TRUE(lv2->saveStateFolder(pattern));
    auto reloaded = makeLv2Host();
    ASSERT_TRUE(reloaded->restoreStateFolder(pattern));
    EXPECT_TRUE(chunkOf(*reloaded) == chunk);
    fs::remove_all(pattern);
}

TEST(Lv2State, ARefusedStateChangesNothing) {
    auto vst2 = makeHost();
    makeDistinctive(*vst2);
    std::vector<uint8_t> chunk = stateChunk(*vst2);
    auto lv2 = makeLv2Host();
    const std::vector<uint8_t> before = chunkOf(*lv2);
    const struct {
        const char* key;
        std::vector<uint8_t> value;
        const char* type;
        LV2_State_Status expected;
    } kRefused[] = {
        {kZandrelChunkKey, chunk, LV2_ATOM__Float, LV2_STATE_ERR_BAD_TYPE},
        {kZandrelChunkKey, std::vector<uint8_t>(chunk.begin(), chunk.begin() + 1000),
         LV2_ATOM__Chunk, LV2_STATE_ERR_UNKNOWN},
        {kZandrelChunkKey, std::vector<uint8_t>(19096, 0), LV2_ATOM__Chunk, LV2_STATE_ERR_UNKNOWN},
        {"urn:vrek:zandrel#other", chunk, LV2_ATOM__Chunk, LV2_STATE_ERR_NO_PROPERTY},
    };
    for (const auto& r : kRefused) {
        EXPECT_EQ(lv2->restoreState(r.key, r.value, r.type), r.expected) << r.value.size();
        EXPECT_TRUE(chunkOf(*lv2) == before) << r.value.size();
    }
}

TEST(Lv2Worker, ProgramChangesReadPresetsOnTheHostsWorkerOrTheSharedThread) {
    char pattern[] = "/tmp/zandrel-lv2-presets-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    setenv("XDG_DOCUMENTS_DIR", pattern, 1);
    const fs::path chords = fs::path(pattern) / "Vrek" / "Zandrel Presets" / "Chord";
    fs::create_directories(chords);
    {
        auto saver = makeHost();
        for (const auto& [file, notes] : {std::pair{"A.fxp", std::vector<int>{60, 63, 67}},
                                          std::pair{"B.fxp", std::vector<int>{62, 65, 69}}}) {
            storeChord(*saver, 60, notes);
            ASSERT_EQ(service(*saver, kVendorSavePreset, (chords / file).string(), 1), 1);
        }
    }
    for (bool hostWorker : {true, false}) {
        Lv2Host::Options options;
        options.offerWorker = hostWorker;
        auto host = makeLv2Host(options);
        host->holdWork(true);
        host->setControl(17, 0.0f);     // arpeggiator off: the chord itself sounds
        host->queueMidi(0, 0xC0, 1, 0); // program change: the second chord preset
        host->processBlock(64);
        // The file is read by the worker, never in run().
        EXPECT_EQ(host->workScheduled(), hostWorker ? 2u : 0u);
        hostWorker ? host->runWork() : host->runDeferred();
        host->processBlock(64);
        host->events.clear();
        host->noteOn(0, 1, 60, 100);
        host->processBlock(64);
        std::vector<int> played;
        for (const Note& n : notesOf(host->events)) played.push_back(n.note);
        EXPECT_EQ(played, (std::vector<int>{62, 65, 69})) << (hostWorker ? "host's" : "shared");
    }
    unsetenv("XDG_DOCUMENTS_DIR");
    fs::remove_all(pattern);
}

} // namespace
