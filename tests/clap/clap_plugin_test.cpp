// Zandrel.clap as a CLAP host meets it: its description and ports, its
// parameters (the VST 2.4 build's names, defaults and texts), its state
// (the VST 2.4 build's chunk, through streams that move a few bytes at a
// time), and the changes it makes itself, told to the host.
#include "abi/audio_ports.h"
#include "abi/note_ports.h"
#include "abi/plugin_factory.h"
#include "clap_test_support.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

std::string featuresOf(const clap_plugin_descriptor& d) {
    std::string all;
    for (const char* const* f = d.features; f && *f; ++f) all += std::string(*f) + ";";
    return all;
}

// A state that differs from the defaults wherever it can.
void changeEverything(PluginHost& host) {
    host.setParameter(0, static_cast<float>(31 / 48.99)); // transpose +7
    host.setParameter(1, 0.25f);
    host.setParameter(2, 0.7f);
    host.setParameter(3, 5 / 12.0f);
    host.setParameter(4 + 4, 1.0f / 3.0f);
    host.setParameter(20, 0.3f);
    host.setParameter(30, 1.0f);
    storeChord(host, 5, {61, 65, 68, 72});
    storeChord(host, 9, {50, 57});
}

TEST(ClapPlugin, DescribesANoteEffectWithMidiInAndOutAndAStereoPreview) {
    ClapHost host(kClapPath);
    ASSERT_TRUE(host.loaded()) << host.error();
    const clap_plugin_descriptor& d = *host.descriptor();
    EXPECT_STREQ(d.id, "com.vrekrecords.zandrel");
    EXPECT_STREQ(d.name, "Zandrel");
    EXPECT_STREQ(d.vendor, "Vrek Records");
    EXPECT_STREQ(d.version, "1.0.5");
    EXPECT_EQ(featuresOf(d), "note-effect;utility;");

    const auto* factory =
        static_cast<const clap_plugin_factory*>(host.entry()->get_factory(CLAP_PLUGIN_FACTORY_ID));
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(host.entry()->get_factory("clap.no-such-factory"), nullptr);
    EXPECT_EQ(factory->get_plugin_count(factory), 1u);
    EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);
    const clap_host someHost{CLAP_VERSION, nullptr, "h",     "",      "",
                             "1",          nullptr, nullptr, nullptr, nullptr};
    EXPECT_EQ(factory->create_plugin(factory, &someHost, "com.vrekrecords.other"), nullptr);

    const auto* notes =
        static_cast<const clap_plugin_note_ports*>(host.extension(CLAP_EXT_NOTE_PORTS));
    ASSERT_NE(notes, nullptr);
    clap_note_port_info in{}, out{};
    ASSERT_EQ(notes->count(host.plugin(), true), 1u);
    ASSERT_EQ(notes->count(host.plugin(), false), 1u);
    ASSERT_TRUE(notes->get(host.plugin(), 0, true, &in));
    ASSERT_TRUE(notes->get(host.plugin(), 0, false, &out));
    EXPECT_EQ(in.supported_dialects, CLAP_NOTE_DIALECT_MIDI | CLAP_NOTE_DIALECT_CLAP);
    EXPECT_EQ(in.preferred_dialect, CLAP_NOTE_DIALECT_MIDI);
    EXPECT_EQ(out.supported_dialects, CLAP_NOTE_DIALECT_MIDI);

    const auto* audio =
        static_cast<const clap_plugin_audio_ports*>(host.extension(CLAP_EXT_AUDIO_PORTS));
    ASSERT_NE(audio, nullptr);
    clap_audio_port_info preview{};
    EXPECT_EQ(audio->count(host.plugin(), true), 0u);
    ASSERT_EQ(audio->count(host.plugin(), false), 1u);
    ASSERT_TRUE(audio->get(host.plugin(), 0, false, &preview));
    EXPECT_EQ(preview.channel_count, 2u);
    EXPECT_EQ(preview.flags & CLAP_AUDIO_PORT_IS_MAIN, CLAP_AUDIO_PORT_IS_MAIN);
    EXPECT_STREQ(preview.port_type, CLAP_PORT_STEREO);
}

TEST(ClapPlugin, ParametersHaveTheVst2BuildsNamesDefaultsAndTexts) {
    auto clap = makeClapHost();
    auto vst2 = makeHost();
    ASSERT_EQ(clap->parameterCount(), 32u);
    for (uint32_t i = 0; i < 32; ++i) {
        const auto info = clap->parameterInfo(i);
        ASSERT_TRUE(info) << i;
        EXPECT_EQ(info->id, i);
        EXPECT_EQ(std::string(info->name), vst2->parameterName(static_cast<int32_t>(i)));
        const bool toggle = i == 16 || i == 17 || i == 30 || i == 31;
        EXPECT_EQ(info->flags, CLAP_PARAM_IS_AUTOMATABLE | (toggle ? CLAP_PARAM_IS_STEPPED : 0u))
            << i;
        EXPECT_EQ(info->min_value, 0.0);
        EXPECT_EQ(info->max_value, 1.0);
        EXPECT_EQ(static_cast<float>(info->default_value), clap->getParameter(i)) << i;
        EXPECT_EQ(clap->getParameter(i), vst2->getParameter(static_cast<int32_t>(i))) << i;
    }
    EXPECT_FALSE(clap->parameterInfo(32));

    // Every value shows what the VST 2.4 build shows once it is set, the
    // unit after it; the text gives back a value of the same text. The
    // rates show in hertz at the free rate.
    for (float freeRate : {0.0f, 1.0f}) {
        vst2->setParameter(31, freeRate);
        clap->setParameter(31, freeRate);
        clap->processBlock(16);
        for (uint32_t i = 0; i < 32; ++i) {
            for (int step = 0; step <= 50; ++step) {
                const double v = step / 50.0;
                vst2->setParameter(static_cast<int32_t>(i), static_cast<float>(v));
                const std::string label = vst2->parameterLabel(static_cast<int32_t>(i));
                const std::string shown =
                    vst2->parameterDisplay(static_cast<int32_t>(i)) +
                    (label.find_first_not_of(' ') == std::string::npos ? "" : " " + label);
                const std::string text = clap->parameterText(i, v);
                ASSERT_EQ(text, shown) << "parameter " << i << " at " << v;
                if (i == 31) continue; // no text to read back
                const auto back = clap->textToValue(i, text);
                ASSERT_TRUE(back) << "parameter " << i << ": \"" << text << "\"";
                EXPECT_EQ(clap->parameterText(i, *back), text) << "parameter " << i;
            }
        }
    }

    // What a user types.
    const struct {
        clap_id id;
        const char* typed;
        const char* shown; // "" when refused
    } kTyped[] = {{0, "+7", "  7"},   {0, "-24", "-24"},
                  {0, "25", ""},      {1, "30%", " 30 %"},
                  {1, "x", ""},       {3, "c", "C"},
                  {3, "M", ""},       {4, "muted", "MUTED"},
                  {16, "off", "OFF"}, {18, "27.5 Hz", "27.50 Hz"},
                  {31, "1", ""}};
    for (const auto& t : kTyped) {
        const auto value = clap->textToValue(t.id, t.typed);
        EXPECT_EQ(value ? clap->parameterText(t.id, *value) : "", t.shown) << t.typed;
    }
}

TEST(ClapPlugin, StateMovesBetweenTheFormatsThroughStreamsOfAFewBytes) {
    auto saved = makeHost();
    changeEverything(*saved);
    const Bytes chunk = stateChunk(*saved);
    std::vector<float> parameters;
    for (int32_t i = 0; i < 32; ++i) parameters.push_back(saved->getParameter(i));
    const std::vector<int> chord = chordOf(*saved, 5);
    ASSERT_EQ(chord, (std::vector<int>{68, 72, 75, 79}));

    auto clap = makeClapHost();
    ASSERT_TRUE(clap->loadState(chunk, {7, -1}));
    const auto again = clap->saveState({1, -1});
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, chunk);
    EXPECT_EQ(clap->saveState({4096, -1}), again);
    for (uint32_t i = 0; i < 32; ++i) EXPECT_EQ(clap->getParameter(i), parameters[i]) << i;

    // And back: what Zandrel.clap saved, Zandrel.so loads.
    auto restored = makeHost();
    Bytes fromClap = *again;
    ASSERT_EQ(
        restored->dispatch(effSetChunk, 0, static_cast<intptr_t>(fromClap.size()), fromClap.data()),
        0);
    for (int32_t i = 0; i < 32; ++i) EXPECT_EQ(restored->getParameter(i), parameters[i]) << i;

    // Both play the chords (once the load's guard against stale automation
    // has passed).
    clap->run(int64_t{9} * 64, 64);
    restored->run(int64_t{9} * 64, 64);
    EXPECT_EQ(chordOf(*clap, 5), chord);
    EXPECT_EQ(chordOf(*restored, 5), chord);
    EXPECT_EQ(chordOf(*clap, 9), (std::vector<int>{57, 64}));
}

TEST(ClapPlugin, AStreamThatFailsOrIsNotAStateChangesNothing) {
    auto source = makeHost();
    changeEverything(*source);
    const Bytes chunk = stateChunk(*source);
    auto clap = makeClapHost();
    const Bytes before = *clap->saveState();
    const struct {
        const char* what;
        Bytes bytes;
        ClapHost::StreamShape shape;
    } kRefused[] = {
        {"a read error near the end", chunk, {1000, 27500}},
        {"nothing at all", {}, {}},
        {"too short", Bytes(chunk.begin(), chunk.begin() + 27000), {100, -1}},
        {"an arp preset's block", Bytes(19096, 1), {}},
        {"longer than any state", Bytes((1u << 20) + 1, 0), {65536, -1}},
    };
    for (const auto& r : kRefused) {
        EXPECT_FALSE(clap->loadState(r.bytes, r.shape)) << r.what;
        EXPECT_EQ(clap->saveState(), before) << r.what;
    }
    EXPECT_FALSE(clap->saveState({100, 5000})) << "a write error";
}

TEST(ClapPlugin, ChangesTheEngineMakesReachTheHostAsParameterEvents) {
    auto clap = makeClapHost();
    const int64_t start = clap->samplePosition();
    // The free-rate switch sends the current pattern's rate again, at the
    // switch's frame, marked as nothing to record.
    clap->setParameter(31, 1.0, 100);
    clap->processBlock(256);
    ASSERT_EQ(clap->parameterEvents.size(), 1u);
    const auto& rate = clap->parameterEvents[0];
    EXPECT_EQ(rate.id, 18u);
    EXPECT_EQ(rate.sampleTime, start + 100);
    EXPECT_EQ(rate.value, clap->getParameter(18));
    EXPECT_EQ(rate.flags, static_cast<uint32_t>(CLAP_EVENT_DONT_RECORD));

    // A state load on the main thread: the host reads values and texts
    // again, and hears the loaded values with the next block, or at once
    // through flush while the plug-in is inactive.
    auto source = makeHost();
    changeEverything(*source);
    const Bytes chunk = stateChunk(*source);
    for (bool active : {true, false}) {
        if (!active) clap->deactivate();
        clap->parameterEvents.clear();
        clap->rescans = clap->flushRequests = 0;
        ASSERT_TRUE(clap->loadState(chunk));
        EXPECT_EQ(clap->rescans, 1);
        EXPECT_EQ(clap->rescanFlags, CLAP_PARAM_RESCAN_VALUES | CLAP_PARAM_RESCAN_TEXT);
        EXPECT_EQ(clap->flushRequests, 1);
        if (active)
            clap->processBlock(64);
        else
            clap->flushParameters();
        bool swing = false;
        for (const auto& e : clap->parameterEvents)
            swing = swing || (e.id == 1 && e.value == 0.25f);
        EXPECT_TRUE(swing) << (active ? "active" : "inactive");
    }
}

TEST(ClapPlugin, AResetEndsWhatSoundsAndKeepsTheSettings) {
    auto clap = makeClapHost();
    clap->setParameter(17, 0.0);
    clap->noteOn(0, 1, 60, 100);
    clap->processBlock(64);
    const size_t started = clap->events.size();
    ASSERT_GT(started, 0u);
    clap->reset();
    clap->processBlock(64);
    EXPECT_EQ(clap->events.size(), 2 * started); // a note-off for each note-on
    for (size_t k = started; k < clap->events.size(); ++k)
        EXPECT_EQ(clap->events[k].status & 0xF0, 0x80);
    EXPECT_EQ(clap->getParameter(17), 0.0);
}

} // namespace
