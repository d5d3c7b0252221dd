// Processing as hosts do it: every sample rate and block size, with and
// without a release and prepare between them, blocks of no frames, and the
// arpeggiator's timing seen from outside at every block size.
#include "checks.h"
#include "player.h"

#include <sstream>

namespace validate {

namespace {

const std::vector<double> kRates = {22050, 44100, 48000, 88200, 96000, 192000};
const std::vector<int32_t> kBlocks = {1, 16, 64, 256, 1000, 4096, 8192};
constexpr int32_t kLargestBlock = 8192;
constexpr double kTempo = 120.0;

// Notes on a channel of its own for a while, then let go.
void playSegment(CheckContext& c, Player& player, double rate, int32_t block) {
    player.newSegment();
    const auto frames = static_cast<int64_t>(rate * 0.5 * c.scaled(4));
    const int channel = c.random.between(1, 16);
    player.schedule(randomNotes(c.random, player.position(), frames, rate, channel));
    player.play(frames, block);
    player.letGo(block);
}

} // namespace

void processingCheck(CheckContext& c) {
    auto format = c.loadFormat();
    if (!format) return;
    int runs = 0;
    int64_t events = 0;
    for (const double rate : c.rates(kRates)) {
        auto instance = c.create(*format);
        if (!instance) return;
        Player player(*instance, c.log);
        // One activation for every block size.
        c.log.at(rate, -1, "activating");
        player.start(rate, kLargestBlock);
        instance->setTransport(true, kTempo, 0.0);
        for (const int32_t block : c.blocks(kBlocks)) {
            c.log.at(rate, block, "one activation for every block size");
            playSegment(c, player, rate, block);
            ++runs;
        }
        player.stop();
        // A release and prepare for each block size.
        for (const int32_t block : c.blocks(kBlocks)) {
            c.log.at(rate, block, "released and prepared for this block size");
            player.start(rate, block);
            instance->setTransport(true, kTempo, 0.0);
            playSegment(c, player, rate, block);
            player.stop();
            ++runs;
        }
        events += player.eventCount();
        instance->destroy();
    }
    std::ostringstream what;
    what << runs << " runs at " << c.rates(kRates).size() << " rates and "
         << c.blocks(kBlocks).size() << " block sizes; " << events << " events out";
    c.log.did(what.str());
}

void zeroFrameCheck(CheckContext& c) {
    auto format = c.loadFormat();
    if (!format) return;
    auto instance = c.create(*format);
    if (!instance) return;
    constexpr double kRate = 48000.0;
    Player player(*instance, c.log);
    c.log.at(kRate, 512, "blocks of 0 frames between blocks of 1 to 512");
    player.start(kRate, 512);
    instance->setTransport(true, kTempo, 0.0);
    const auto frames = static_cast<int64_t>(kRate * 0.5 * c.scaled(20));
    player.schedule(randomNotes(c.random, player.position(), frames, kRate, 1));
    const int parameters = instance->parameterCount();
    int empty = 0;
    const int64_t end = player.position() + frames;
    while (player.position() < end) {
        player.block(c.random.between(1, 512));
        if (!c.random.chance(30)) continue;
        // Hosts send zero frames to pass parameter changes between blocks.
        if (parameters > 0 && c.random.chance(50)) {
            const int index = c.random.below(parameters);
            const ParameterInfo info = instance->parameterInfo(index);
            instance->setParameter(index, info.min + (info.max - info.min) * c.random.unit());
        }
        player.block(0);
        ++empty;
    }
    player.letGo(512);
    player.stop();
    c.log.did(std::to_string(empty) + " blocks of 0 frames among " + secondsText(frames, kRate) +
              " of blocks of 1 to 512");
}

void timingCheck(CheckContext& c) {
    auto format = c.loadFormat();
    if (!format) return;
    constexpr double kRate = 48000.0;
    const auto frames = static_cast<int64_t>(kRate * c.scaled(4));
    // Two chords held in turn, at the same frames whatever the block size.
    std::vector<TimedMidi> chords;
    const int64_t start = 2048;
    const auto at = [&](double seconds) { return start + static_cast<int64_t>(kRate * seconds); };
    const int64_t change = at(static_cast<double>(frames) / kRate / 2);
    for (const int key : {60, 64, 67}) {
        chords.push_back({at(0.1), 0x90, static_cast<uint8_t>(key), 100});
        chords.push_back({change, 0x80, static_cast<uint8_t>(key), 0});
    }
    for (const int key : {62, 65, 69}) {
        chords.push_back({change + 100, 0x90, static_cast<uint8_t>(key), 90});
        chords.push_back({start + frames - 1, 0x80, static_cast<uint8_t>(key), 0});
    }
    std::vector<NoteOn> reference;
    int32_t referenceBlock = 0;
    for (const int32_t block : c.blocks(kBlocks)) {
        c.log.at(kRate, block, "note-ons against the first block size's");
        auto instance = c.create(*format);
        if (!instance) return;
        Player player(*instance, c.log);
        player.start(kRate, block);
        player.play(start - player.position(), block);
        instance->setTransport(true, kTempo, 0.0);
        player.schedule(chords);
        player.play(frames, block);
        player.letGo(block);
        player.stop();
        std::vector<NoteOn> ons;
        for (const NoteOn& on : player.noteOns())
            if (on.frame < start + frames) ons.push_back(on);
        if (referenceBlock == 0) {
            reference = ons;
            referenceBlock = block;
            continue;
        }
        for (size_t i = 0; i < std::max(ons.size(), reference.size()); ++i) {
            if (i < ons.size() && i < reference.size() && ons[i] == reference[i]) continue;
            std::ostringstream what;
            what << "note-on " << (i + 1) << ": ";
            if (i < ons.size())
                what << "ch" << ons[i].channel << " key " << ons[i].key << " at frame "
                     << ons[i].frame;
            else
                what << "missing";
            what << ", with blocks of " << referenceBlock << ": ";
            if (i < reference.size())
                what << "ch" << reference[i].channel << " key " << reference[i].key << " at frame "
                     << reference[i].frame;
            else
                what << "none";
            c.log.fail(what.str());
            break;
        }
    }
    c.log.did(std::to_string(reference.size()) + " note-ons in " + secondsText(frames, kRate) +
              " at " + std::to_string(static_cast<int>(kTempo)) + " BPM compared across " +
              std::to_string(c.blocks(kBlocks).size()) + " block sizes");
}

} // namespace validate
