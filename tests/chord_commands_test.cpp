// The chord set commands as the editor's "Sort", "Remove" and "Transform"
// menus send them: parameter writes through the plug-in's interface, judged
// by what the keys play afterwards.
#include "test_host_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

using namespace param;

namespace {
using Chord = std::vector<int>;
using ChordSet = std::map<int, Chord>; // trigger key -> sorted notes

// Replaces the whole memory with `chords`, every other key empty.
void storeChordSet(PluginHost& host, const ChordSet& chords) {
    for (int key = 0; key < 128; ++key) {
        const auto found = chords.find(key);
        storeChord(host, key, found == chords.end() ? Chord{} : found->second);
    }
}

// What each key plays, keys that play nothing left out.
ChordSet playedChordSet(PluginHost& host) {
    ChordSet set;
    for (int key = 0; key < 128; ++key) {
        host.events.clear();
        host.noteOn(0, 1, key, 100);
        host.processBlock(16);
        host.noteOn(0, 1, key, 0);
        host.processBlock(16);
        Chord notes = onNotes(host.events);
        std::sort(notes.begin(), notes.end());
        if (!notes.empty()) set[key] = notes;
        EXPECT_TRUE(hangingNotes(host.events).empty()) << "key " << key;
    }
    host.events.clear();
    return set;
}
} // namespace

TEST(ChordCommands, SortPacksTheChordsFromTheFirstOccupiedKeyAndReleasesSoundingNotes) {
    auto host = chordHost();
    // A chord of the lowest notes is a chord like any other.
    storeChordSet(
        *host,
        {{3, {64, 67, 71}}, {10, {48, 52, 55}}, {20, {60, 64}}, {40, {55, 59, 62, 65}}, {50, {2}}});

    // A chord sounds while the menu item is chosen: its notes end at once.
    host->noteOn(0, 1, 10, 100);
    host->processBlock(64);
    host->setParameter(kSortChords, 0.0f); // "Sort by Low Note (absolute)"
    host->processBlock(64);
    EXPECT_EQ(noteOnsOf(host->events).size(), 3u);
    EXPECT_TRUE(hangingNotes(host->events).empty());
    host->noteOn(0, 1, 10, 0);
    host->processBlock(64);

    EXPECT_EQ(
        playedChordSet(*host),
        (ChordSet{
            {3, {2}}, {4, {48, 52, 55}}, {5, {55, 59, 62, 65}}, {6, {60, 64}}, {7, {64, 67, 71}}}));

    // Values that choose no order: nothing moves.
    const ChordSet before = playedChordSet(*host);
    for (float value : {-1.0f, 6.4f, 7.0f, NAN}) {
        host->setParameter(kSortChords, value);
        EXPECT_EQ(playedChordSet(*host), before) << value;
    }
}

TEST(ChordCommands, RemoveBySizeAndUnwatchedChords) {
    auto host = chordHost();
    storeChordSet(*host, {{3, {60}}, {10, {48, 52}}, {20, {62, 65, 69}}, {30, {70}}});
    host->setParameter(kRemoveChords, 1.0f); // "One-Note Chords"
    EXPECT_EQ(playedChordSet(*host), (ChordSet{{10, {48, 52}}, {11, {62, 65, 69}}}));
    for (float value : {1.5f, 0.5f, -1.0f, 6.0f, NAN}) // only the exact menu values act
        host->setParameter(kRemoveChords, value);
    EXPECT_EQ(playedChordSet(*host).size(), 2u);
    host->setParameter(kRemoveChords, 2.0f); // "Two-Note Chords": from the first left
    EXPECT_EQ(playedChordSet(*host), (ChordSet{{11, {62, 65, 69}}}));

    // Keys played while the played-keys list is on are the watched ones.
    storeChordSet(*host, {{3, {60, 64}}, {10, {48, 52}}, {20, {62, 65, 69}}, {30, {70, 74}}});
    host->setParameter(kPlayedKeys, 1.0f);
    for (int key : {20, 3}) {
        host->noteOn(0, 1, key, 90);
        host->processBlock(32);
        host->noteOn(0, 1, key, 0);
        host->processBlock(32);
    }
    host->setParameter(kRemoveChords, 5.0f); // "Unwatched Chords & Preserve locations"
    EXPECT_EQ(playedChordSet(*host), (ChordSet{{3, {60, 64}}, {20, {62, 65, 69}}}));
    // The command ended the list: keys played since are not watched.
    EXPECT_EQ(host->getParameter(kPlayedKeys), 0.0f);
}

TEST(ChordCommands, TransformsRewriteEveryChord) {
    auto host = chordHost();
    storeChordSet(*host, {{0, {60, 64, 67}}, {1, {62, 65, 69}}});
    host->setParameter(kTransformChords, 0.0f); // "Make Major chords Minor"
    EXPECT_EQ(playedChordSet(*host), (ChordSet{{0, {60, 63, 67}}, {1, {62, 65, 69}}}));
    host->setParameter(kTransformChords, 1.2f); // "Make Minor chords Major" (rounded)
    EXPECT_EQ(playedChordSet(*host), (ChordSet{{0, {60, 64, 67}}, {1, {62, 66, 69}}}));
    host->setParameter(kTransformChords, 3.0f); // "Add Root to all: 1 Oct down"
    EXPECT_EQ(playedChordSet(*host), (ChordSet{{0, {48, 60, 64, 67}}, {1, {50, 62, 66, 69}}}));

    // The arpeggiator's note rules: E muted, F# moved down a semitone.
    storeChordSet(*host, {{0, {60, 64, 67}}, {1, {62, 66, 69}}});
    host->setParameter(kArpNoteRuleFirst + 4, 1.0f / 3.0f); // "Arp_No E" muted
    host->setParameter(kArpNoteRuleFirst + 6, 2.0f / 3.0f); // "Arp_No F#" -1
    host->setParameter(kTransformChords, 5.0f);             // "By Arp Note-Prevent Rules"
    EXPECT_EQ(playedChordSet(*host), (ChordSet{{0, {60, 67}}, {1, {62, 65, 69}}}));

    host->setParameter(kCurrentKey, noteValue(100));
    host->setParameter(kTransformChords, 7.0f); // "Move Chord slots to begin here"
    EXPECT_EQ(playedChordSet(*host), (ChordSet{{100, {60, 67}}, {101, {62, 65, 69}}}));

    const ChordSet before = playedChordSet(*host);
    for (float value : {NAN, 9.0f, 8.5f, -1.6f, 1e9f}) host->setParameter(kTransformChords, value);
    EXPECT_EQ(playedChordSet(*host), before);
}
