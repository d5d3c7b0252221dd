// The editor's buttons on patterns and voices: copy and paste, randomize a
// lane, rotate steps, random notes, snapshot and restore, input mode. The
// patterns are read from the state chunk, as a host would store them.
#include "test_host_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
constexpr size_t kPatternImages = 8936;
constexpr size_t kPatternImageBytes = 1536;
constexpr size_t kRowBytes = 9 * 64;      // nine rows of sixteen floats
constexpr size_t kLaneSettings = 1088;    // lane starts, lengths, dividers ...
constexpr size_t kLaneSettingsEnd = 1512; // ... up to the name

using Bytes = std::vector<uint8_t>;

Bytes patternImage(PluginHost& host, int pattern) {
    const Bytes chunk = stateChunk(host);
    const size_t start = kPatternImages + pattern * kPatternImageBytes;
    return Bytes(chunk.begin() + start, chunk.begin() + start + kPatternImageBytes);
}

Bytes rows(const Bytes& image) {
    return Bytes(image.begin(), image.begin() + kRowBytes);
}

Bytes laneSettings(const Bytes& image) {
    return Bytes(image.begin() + kLaneSettings, image.begin() + kLaneSettingsEnd);
}

float stepValue(const Bytes& image, int row, int step) {
    float value = 0.0f;
    std::memcpy(&value, image.data() + row * 64 + step * 4, 4);
    return value;
}

void selectPattern(PluginHost& host, int pattern) {
    host.setParameter(3, static_cast<float>(pattern) / 12.0f);
}
} // namespace

TEST(EditCommands, RandomizeCopyPasteAndRotateAPattern) {
    auto host = makeHost();
    host->setParameter(129, 0.0f); // lane 0, the note choice
    const Bytes original = patternImage(*host, 0);
    host->setParameter(113, 1.0f); // randomize lane
    const Bytes randomized = patternImage(*host, 0);
    EXPECT_NE(rows(randomized), rows(original));
    for (int step = 0; step < 16; ++step) {
        const float value = stepValue(randomized, 0, step) * 16.0f;
        EXPECT_EQ(value, static_cast<float>(static_cast<int>(value))) << "sixteenths only";
    }
    // Only the current lane's row changed.
    EXPECT_EQ(Bytes(randomized.begin() + 64, randomized.end()),
              Bytes(original.begin() + 64, original.end()));

    // Copy all lanes of pattern A, paste them into pattern C: the rows move,
    // C's lane settings stay.
    host->setParameter(111, 2.0f);
    selectPattern(*host, 2);
    const Bytes targetBefore = patternImage(*host, 2);
    host->setParameter(112, 0.0f);
    const Bytes pasted = patternImage(*host, 2);
    EXPECT_EQ(rows(pasted), rows(randomized));
    EXPECT_EQ(laneSettings(pasted), laneSettings(targetBefore));

    // Rotating left moves every step one place down, sixteen times is a full turn.
    host->setParameter(127, 266.0f);
    const Bytes rotated = patternImage(*host, 2);
    for (int step = 0; step < 16; ++step)
        EXPECT_EQ(stepValue(rotated, 0, step), stepValue(pasted, 0, (step + 1) % 16)) << step;
    for (int turn = 1; turn < 16; ++turn) host->setParameter(127, 266.0f);
    EXPECT_EQ(patternImage(*host, 2), pasted);
    host->setParameter(127, 267.0f);
    EXPECT_EQ(stepValue(patternImage(*host, 2), 0, 0), stepValue(pasted, 0, 15));
    // Other values of the refresh index leave the pattern alone.
    const Bytes right = patternImage(*host, 2);
    host->setParameter(127, 17.0f);
    EXPECT_EQ(patternImage(*host, 2), right);

    // An unknown copy type pastes nothing.
    host->setParameter(111, 5.0f);
    selectPattern(*host, 4);
    const Bytes untouched = patternImage(*host, 4);
    host->setParameter(112, 0.0f);
    EXPECT_EQ(patternImage(*host, 4), untouched);
}

TEST(EditCommands, RandomNotesSnapshotRestoreAndInputMode) {
    auto host = makeHost();
    host->setParameter(84, 60.0f / 128.0f);
    host->setParameter(49, 1.0f); // voice 0 locked
    const float lockedNote = host->getParameter(33);
    host->setParameter(86, 1.0f); // snapshot

    for (int round = 0; round < 20; ++round) {
        host->setParameter(74, 1.0f); // random notes
        EXPECT_EQ(host->getParameter(33), lockedNote);
        for (int k = 1; k < 8; ++k) {
            const float note = host->getParameter(33 + k) * 128.0f;
            EXPECT_GE(note, 35.0f);
            EXPECT_LE(note, 82.0f);
        }
    }
    host->setParameter(49, 0.0f);
    host->setParameter(87, 1.0f); // restore: the snapshot's notes and lock
    EXPECT_EQ(host->getParameter(33), lockedNote);
    EXPECT_EQ(host->getParameter(33 + 1), 63.0f / 128.0f);
    EXPECT_EQ(host->getParameter(33 + 2), 67.0f / 128.0f);
    EXPECT_EQ(host->getParameter(49), 1.0f);

    // Capture mode starts from an empty chord at the current key.
    host->setParameter(49, 0.0f);
    host->setParameter(75, 3.0f);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(host->getParameter(33 + k), 0.0f) << k;
        EXPECT_EQ(host->getParameter(41 + k), 0.5f) << k;
    }
}
