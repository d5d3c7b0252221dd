#include "session_generator.h"

#include "soak_random.h"

#include <cmath>
#include <limits>

namespace soak {

namespace {

constexpr int kChannels[] = {1, 1, 1, 1, 16, 16, 2, 3, 4, 5};
constexpr int kControllers[] = {0, 32, 1, 64, 101, 102, 103, 104, 105, 106, 107, 108, 123};

uint8_t channelBits(int channel) {
    return static_cast<uint8_t>((channel - 1) & 15);
}

// The notes a session plays mostly come from a small pool, so that keys are
// pressed, released and pressed again as a player would.
struct NotePool {
    int notes[8];
    explicit NotePool(SoakRandom& random) {
        for (int& n : notes) {
            const int pick = random.below(10);
            n = pick == 0   ? 0
                : pick == 1 ? 127
                : pick < 4  ? random.below(12)
                            : random.between(36, 96);
        }
    }
    int pick(SoakRandom& random) const {
        return random.chance(80) ? notes[random.below(8)] : random.below(128);
    }
};

// Every size from 1 to 4096, small ones most often: hosts with low latency
// run them, and they carry the most events per sample.
int32_t blockFrames(SoakRandom& random) {
    const int pick = random.below(40);
    if (pick == 0) return random.chance(50) ? 1 : 4096;
    if (pick < 3) return random.between(2049, 4096);
    if (pick < 7) return random.between(513, 2048);
    if (pick < 19) return random.between(65, 512);
    return random.between(1, 64);
}

int32_t eventOffset(SoakRandom& random, int32_t frames) {
    if (random.chance(95)) return random.below(frames);
    switch (random.below(4)) {
    case 0:
        return -1;
    case 1:
        return frames;
    case 2:
        return frames + random.between(1, 5000);
    default:
        return std::numeric_limits<int32_t>::min() + random.below(3);
    }
}

// Banks, sub banks and programs mostly where the session's presets folder
// has files, so that program changes load presets while notes sound.
int presetNumber(SoakRandom& random) {
    return random.chance(70) ? random.below(4) : random.below(128);
}

MidiIn midiEvent(SoakRandom& random, const NotePool& pool, int32_t frames) {
    MidiIn m{eventOffset(random, frames), 0, 0, 0};
    const int channel = kChannels[random.below(10)];
    const int kind = random.below(100);
    if (kind < 45) { // note-on, velocity 0 included
        m.status = 0x90 | channelBits(channel);
        m.data1 = static_cast<uint8_t>(pool.pick(random));
        m.data2 = static_cast<uint8_t>(random.chance(10) ? 0 : random.between(1, 127));
    } else if (kind < 85) { // note-off, with any release velocity
        m.status = 0x80 | channelBits(channel);
        m.data1 = static_cast<uint8_t>(pool.pick(random));
        m.data2 = static_cast<uint8_t>(random.chance(70) ? 0 : random.below(128));
    } else if (kind < 93) {
        const int cc = kControllers[random.below(static_cast<int>(std::size(kControllers)))];
        // All notes off is rare: it would end most hangs before they show.
        if (cc == 123 && random.chance(70)) return midiEvent(random, pool, frames);
        m.status = 0xB0 | channelBits(channel);
        m.data1 = static_cast<uint8_t>(cc);
        m.data2 =
            static_cast<uint8_t>(cc == 0 || cc == 32 ? presetNumber(random) : random.below(128));
    } else if (kind < 95) {
        m.status = 0xC0 | channelBits(channel);
        m.data1 = static_cast<uint8_t>(presetNumber(random));
    } else {
        m.status = 0xE0 | channelBits(channel);
        m.data1 = static_cast<uint8_t>(random.below(128));
        m.data2 = static_cast<uint8_t>(random.below(128));
    }
    return m;
}

Step block(SoakRandom& random, const NotePool& pool) {
    Step s;
    s.kind = Step::kBlock;
    s.frames = blockFrames(random);
    // Dense traffic, as a busy host sends (several events on one sample
    // included), and sometimes a crowd beyond the input queue.
    const int count = random.chance(4) ? random.between(100, 300) : random.below(129);
    for (int i = 0; i < count; ++i) {
        const MidiIn m = midiEvent(random, pool, s.frames);
        // Half the program changes come after a bank select (controller 0,
        // then 32), as a host's preset browser sends them.
        if ((m.status & 0xF0) == 0xC0 && random.chance(50)) {
            const uint8_t controller = 0xB0 | (m.status & 15);
            s.midi.push_back({m.deltaFrames, controller, 0, static_cast<uint8_t>(random.below(2))});
            s.midi.push_back(
                {m.deltaFrames, controller, 32, static_cast<uint8_t>(random.below(2))});
        }
        s.midi.push_back(m);
    }
    return s;
}

// The indices that change what sounds, with the values that switch them.
Step musicalParameter(SoakRandom& random) {
    Step s;
    s.kind = Step::kParameter;
    static constexpr int kSwitches[] = {16, 17, 30, 31, 0, 3, 1, 2, 18, 21, 121, 122, 82, 75, 150};
    s.index = kSwitches[random.below(static_cast<int>(std::size(kSwitches)))];
    switch (s.index) {
    case 82:
        s.value = static_cast<float>(random.below(2));
        break;
    case 75:
        s.value = static_cast<float>(random.below(4));
        break;
    default:
        s.value = random.chance(50) ? static_cast<float>(random.below(2))
                                    : static_cast<float>(random.unit());
    }
    return s;
}

Step anyParameter(SoakRandom& random) {
    Step s;
    s.kind = Step::kParameter;
    switch (random.below(20)) {
    case 0:
        s.index = -random.between(1, 1000);
        break;
    case 1:
        s.index = random.chance(50) ? std::numeric_limits<int32_t>::max() : 100000;
        break;
    default:
        s.index = random.between(0, 160);
    }
    // Exports render a bar offline: rare, they are slow.
    if (s.index == 109 && random.chance(90)) s.index = 110;
    s.value = random.chance(50) ? edgeValue(random) : static_cast<float>(random.unit());
    return s;
}

Step chordOperation(SoakRandom& random) {
    Step s;
    s.kind = Step::kParameter;
    static constexpr int kOperations[] = {80, 81, 83, 79, 74, 86, 87, 111, 112, 113, 127};
    s.index = kOperations[random.below(static_cast<int>(std::size(kOperations)))];
    if (s.index == 127)
        s.value = random.chance(50) ? 266.0f : 267.0f;
    else if (s.index == 111)
        s.value = static_cast<float>(random.chance(50) ? random.between(1, 2) : 21);
    else
        s.value = random.chance(80) ? static_cast<float>(random.between(0, 7)) : edgeValue(random);
    return s;
}

Step transport(SoakRandom& random) {
    Step s;
    switch (random.below(4)) {
    case 0:
        s.kind = Step::kPlay;
        s.index = random.below(2);
        break;
    case 1:
        s.kind = Step::kLocate;
        s.position = random.chance(80) ? random.unit() * 64.0 : (random.unit() - 0.5) * 2e6;
        break;
    case 2:
        s.kind = Step::kLoop;
        s.index = random.chance(70);
        s.position = random.chance(90) ? random.between(0, 16) : -random.unit() * 8.0;
        s.loopEnd = random.chance(90) ? s.position + random.between(-1, 8) + random.unit() * 0.5
                                      : random.unit() * 32.0;
        break;
    default: {
        s.kind = Step::kTempo;
        static constexpr double kEdgeTempos[] = {0.5, 1.0, 999.0, 5000.0, 20000.0};
        s.position = random.chance(85) ? random.between(30, 300) + random.unit()
                                       : kEdgeTempos[random.below(5)];
    }
    }
    return s;
}

Step chunkLoad(SoakRandom& random) {
    Step s;
    s.kind = Step::kChunkLoad;
    // The sizes setChunk tells apart, or any size at all.
    static constexpr int32_t kSizes[] = {27512, 27512, 27512, 27384, 27400, 1028,
                                         8312,  8212,  19096, 19084, 0,     4};
    s.index = random.chance(80) ? kSizes[random.below(static_cast<int>(std::size(kSizes)))]
                                : random.between(1, 40000);
    s.seed = random.chance(30) ? 0 : random.next() | 1;
    return s;
}

} // namespace

float edgeValue(SoakRandom& random) {
    static constexpr float kEdges[] = {std::numeric_limits<float>::quiet_NaN(),
                                       std::numeric_limits<float>::infinity(),
                                       -std::numeric_limits<float>::infinity(),
                                       -1.0f,
                                       -0.0f,
                                       0.0f,
                                       1e-7f,
                                       0.5f,
                                       0.99999f,
                                       1.0f,
                                       1.0001f,
                                       2.0f,
                                       9.99f,
                                       10.0f,
                                       10.5f,
                                       128.0f,
                                       266.0f,
                                       267.0f,
                                       10000.0f,
                                       30005.0f,
                                       1e9f,
                                       1e30f,
                                       -1e30f,
                                       std::numeric_limits<float>::max(),
                                       std::numeric_limits<float>::lowest(),
                                       std::numeric_limits<float>::denorm_min(),
                                       -0.5f,
                                       2147483648.0f};
    return kEdges[random.below(static_cast<int>(std::size(kEdges)))];
}

Session generateSession(uint64_t seed, const GeneratorOptions& options) {
    SoakRandom random(seed);
    const NotePool pool(random);
    Session session;
    session.seed = seed;
    const int count = random.between(options.minSteps, options.maxSteps);
    session.steps.reserve(static_cast<size_t>(count));
    // The plug-in starts playing most of the time, as a host would.
    if (random.chance(70)) session.steps.push_back(Step{Step::kPlay, 0, {}, 1});
    for (int i = 0; i < count; ++i) {
        const int kind = random.below(100);
        if (kind < 60)
            session.steps.push_back(block(random, pool));
        else if (kind < 72)
            session.steps.push_back(musicalParameter(random));
        else if (kind < 82)
            session.steps.push_back(anyParameter(random));
        else if (kind < 86)
            session.steps.push_back(chordOperation(random));
        else if (kind < 94)
            session.steps.push_back(transport(random));
        else if (kind < 95) {
            Step s;
            s.kind = Step::kSampleRate;
            static constexpr int kRates[] = {44100, 48000, 96000};
            s.index = kRates[random.below(3)];
            session.steps.push_back(s);
        } else if (kind < 98)
            session.steps.push_back(chunkLoad(random));
        else {
            Step s;
            s.kind = Step::kReadBack;
            s.index = random.between(-2, 160);
            session.steps.push_back(s);
        }
    }
    return session;
}

int64_t inputEventCount(const Session& session) {
    int64_t n = 0;
    for (const Step& s : session.steps)
        n += s.kind == Step::kBlock ? static_cast<int64_t>(s.midi.size()) + 1 : 1;
    return n;
}

} // namespace soak
