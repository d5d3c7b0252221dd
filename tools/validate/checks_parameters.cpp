// Parameters as hosts move them: automation in sub-blocks while notes
// play, a second thread (the host's user interface) setting them while the
// audio thread processes, every parameter swept and set at random, and
// their texts, which must follow the value and nothing else.
#include "checks.h"
#include "player.h"

#include <atomic>
#include <cmath>
#include <sstream>
#include <thread>

namespace validate {

namespace {

constexpr double kRate = 48000.0;
constexpr double kTempo = 120.0;

// A value of the parameter's range: its edges often, as automation curves
// and controllers reach them.
double randomValue(SeededRandom& random, const ParameterInfo& info) {
    const int pick = random.below(100);
    if (pick < 15) return info.min;
    if (pick < 30) return info.max;
    return info.min + (info.max - info.min) * random.unit();
}

std::vector<ParameterInfo> parameterInfos(PluginInstance& instance) {
    std::vector<ParameterInfo> infos;
    for (int i = 0; i < instance.parameterCount(); ++i) infos.push_back(instance.parameterInfo(i));
    return infos;
}

} // namespace

void automationCheck(CheckContext& c) {
    auto format = c.loadFormat();
    if (!format) return;
    auto instance = c.create(*format);
    if (!instance) return;
    const std::vector<ParameterInfo> infos = parameterInfos(*instance);
    if (infos.empty()) {
        c.log.did("no parameters to automate");
        return;
    }
    Player player(*instance, c.log);
    player.start(kRate, 512);
    instance->setTransport(true, kTempo, 0.0);

    c.log.at(kRate, 32, "random values in sub-blocks of 32 frames while notes play");
    const auto frames = static_cast<int64_t>(kRate * c.scaled(10));
    player.schedule(randomNotes(c.random, player.position(), frames, kRate, 1));
    int changes = 0;
    for (int64_t done = 0; done < frames; done += 32) {
        if (c.random.chance(50)) {
            for (int n = c.random.between(1, 3); n > 0; --n, ++changes) {
                const int index = c.random.below(static_cast<int>(infos.size()));
                instance->setParameter(index, randomValue(c.random, infos[index]));
            }
        }
        player.block(32);
    }
    player.letGo(32);

    c.log.at(kRate, 64, "a second thread sets parameters while this one processes");
    player.newSegment();
    player.schedule(randomNotes(c.random, player.position(), frames, kRate, 1));
    std::atomic<bool> stop{false};
    std::atomic<int> fromThread{0};
    const uint64_t threadSeed = c.random.next();
    std::thread userInterface([&] {
        SeededRandom random(threadSeed);
        while (!stop.load(std::memory_order_relaxed)) {
            const int index = random.below(static_cast<int>(infos.size()));
            instance->setParameter(index, randomValue(random, infos[index]));
            // As the host's window shows what changed.
            (void)instance->parameter(index);
            (void)instance->parameterText(index);
            fromThread.fetch_add(1, std::memory_order_relaxed);
        }
    });
    // The audio thread plays until the other has done its share too.
    const int wanted = c.scaled(5000);
    int64_t played = 0;
    int64_t notesUntil = player.position() + frames;
    while (played < frames || fromThread.load(std::memory_order_relaxed) < wanted) {
        if (player.position() >= notesUntil) {
            player.schedule(randomNotes(c.random, player.position(), frames, kRate, 1));
            notesUntil += frames;
        }
        player.block(64);
        played += 64;
    }
    stop.store(true);
    userInterface.join();
    // Every block's events and samples were judged. The notes left are
    // not: a switch that reroutes the chord path (Arp ON, Chords ON, the
    // channel routing) set by another thread while a block plays its
    // chords can leave a chord to its old route, as the plug-in's rules
    // have it, and where that happens depends on the two threads' timing.
    // The sub-blocks above judge the same changes made between blocks.
    player.letGo(64, false);
    player.stop();

    std::ostringstream what;
    what << changes << " changes in sub-blocks of 32 frames over " << secondsText(frames, kRate)
         << " of notes; " << fromThread.load() << " from a second thread over "
         << secondsText(played, kRate);
    c.log.did(what.str());
}

void parameterCheck(CheckContext& c) {
    auto format = c.loadFormat();
    if (!format) return;
    auto instance = c.create(*format);
    if (!instance) return;
    PluginInstance& p = *instance;
    const std::vector<ParameterInfo> infos = parameterInfos(p);
    Player player(p, c.log);
    player.start(kRate, 512);
    const int steps = c.scaled(20);
    int roundTrips = 0;
    int textToValue = 0;
    const auto judgeValue = [&](int index, double value) {
        const ParameterInfo& info = infos[index];
        if (!std::isfinite(value) || value < info.min || value > info.max) {
            std::ostringstream what;
            what << "parameter " << index << " (" << info.name << ") reads " << value
                 << ", outside " << info.min << ".." << info.max;
            c.log.fail(what.str());
        }
    };
    for (int index = 0; index < static_cast<int>(infos.size()); ++index) {
        const ParameterInfo& info = infos[index];
        c.log.at(kRate, 512, "parameter " + std::to_string(index) + " (" + info.name + ")");
        for (int step = 0; step <= steps; ++step) {
            const double v = step < steps ? info.min + (info.max - info.min) * step / steps
                                          : randomValue(c.random, info);
            p.setParameter(index, v);
            const double got = p.parameter(index);
            const std::string text = p.parameterText(index);
            judgeValue(index, got);
            // What the host reads back and sets again stays as it is.
            p.setParameter(index, got);
            const double again = p.parameter(index);
            const std::string textAgain = p.parameterText(index);
            ++roundTrips;
            std::ostringstream where;
            where << "parameter " << index << " (" << info.name << ") set to " << v << ": ";
            if (again != got || textAgain != text) {
                c.log.fail(where.str() + "reads " + std::to_string(got) + " \"" + text +
                           "\"; setting that gives " + std::to_string(again) + " \"" + textAgain +
                           "\"");
                break;
            }
            // The text follows the value only: away and back gives it again.
            p.setParameter(index, randomValue(c.random, info));
            p.setParameter(index, got);
            if (p.parameterText(index) != text) {
                c.log.fail(where.str() + "\"" + text + "\", after another value and back \"" +
                           p.parameterText(index) + "\"");
                break;
            }
            if (const auto parsed = p.textToValue(index, text)) {
                ++textToValue;
                p.setParameter(index, *parsed);
                if (p.parameterText(index) != text) {
                    c.log.fail(where.str() + "\"" + text + "\" read as a value gives \"" +
                               p.parameterText(index) + "\"");
                    break;
                }
            }
        }
        player.block(512);
    }
    c.log.at(kRate, 512, "every parameter at random, with notes");
    instance->setTransport(true, kTempo, 0.0);
    const int rounds = c.scaled(50);
    for (int round = 0; round < rounds; ++round) {
        player.schedule(randomNotes(c.random, player.position(), 4096, kRate, 1));
        for (int index = 0; index < static_cast<int>(infos.size()); ++index) {
            p.setParameter(index, randomValue(c.random, infos[index]));
            judgeValue(index, p.parameter(index));
            (void)p.parameterText(index);
        }
        player.play(4096, 512);
    }
    player.letGo(512);
    player.stop();
    c.reportFormatFaults(p);
    std::ostringstream what;
    what << infos.size() << " parameters swept in " << steps << " steps, " << roundTrips
         << " value-text round trips";
    what << (textToValue > 0 ? ", " + std::to_string(textToValue) + " from text"
                             : " (no text-to-value in this format)");
    what << ", " << rounds << " rounds of random values with notes";
    c.log.did(what.str());
}

} // namespace validate
