// Playing chords from the chord memory, as a host meets it: keys in, chord
// notes out, with the arpeggiator off.
#include "test_host_support.h"

#include <gtest/gtest.h>

using namespace param;

namespace {
// The first voices of `key` as the editor's note fields show them.
std::vector<std::string> voicesOf(PluginHost& host, int key, int count) {
    host.setParameter(kCurrentKey, noteValue(key));
    std::vector<std::string> texts;
    for (int k = 0; k < count; ++k) texts.push_back(host.parameterDisplay(kNoteNumFirst + k));
    return texts;
}

std::vector<int> notesAt(const std::vector<Note>& notes, int64_t time, bool on) {
    std::vector<int> out;
    for (const Note& n : notes)
        if (n.time == time && (n.velocity > 0) == on) out.push_back(n.note);
    return out;
}
} // namespace

TEST(ChordTriggering, AKeyPlaysItsStoredChordAtTheKeysSampleAndVelocity) {
    auto host = chordHost();
    const int64_t start = host->samplePosition();
    host->noteOn(17, 1, 60, 100);
    host->processBlock(64);
    const auto notes = notesOf(host->events);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0], (Note{start + 17, 1, 60, 100}));
    EXPECT_EQ(notes[1], (Note{start + 17, 1, 63, 100}));
    EXPECT_EQ(notes[2], (Note{start + 17, 1, 67, 100}));
    // Releasing it ends all three; a velocity-0 note-on counts as a release.
    host->events.clear();
    host->noteOn(5, 1, 60, 0);
    host->processBlock(64);
    EXPECT_EQ(notesAt(notesOf(host->events), start + 64 + 5, false),
              (std::vector<int>{60, 63, 67}));
    EXPECT_TRUE(hangingNotes(host->events).empty());
}

TEST(ChordTriggering, ANewKeySilencesThePreviousChordAndStaleReleasesAreIgnored) {
    auto host = chordHost();
    host->noteOn(0, 1, 60, 100);
    host->noteOn(10, 1, 62, 80);
    host->noteOff(20, 1, 60); // no longer the current key: nothing
    host->processBlock(64);
    const auto notes = notesOf(host->events);
    const int64_t t0 = notes.front().time;
    EXPECT_EQ(notesAt(notes, t0 + 10, false), (std::vector<int>{60, 63, 67}));
    EXPECT_EQ(notesAt(notes, t0 + 10, true), (std::vector<int>{62, 65, 69}));
    EXPECT_TRUE(notesAt(notes, t0 + 20, false).empty());
    EXPECT_EQ(host->getParameter(kCurrentKey), noteValue(62));
    // Holding two keys and releasing the first leaves the second's chord on.
    EXPECT_EQ(hangingNotes(host->events).size(), 3u);
}

TEST(ChordTriggering, LatchKeepsTheChordUntilAnotherKeyIsPressed) {
    auto host = chordHost();
    host->setParameter(kMidiLatch, 1.0f);
    host->noteOn(0, 1, 60, 100);
    host->noteOff(30, 1, 60);
    host->processBlock(64);
    EXPECT_EQ(hangingNotes(host->events).size(), 3u);
    host->noteOn(0, 1, 65, 100);
    host->processBlock(64);
    for (const auto& n : hangingNotes(host->events)) EXPECT_GE(n.note, 65);
    // Switching latch off releases what it held, and so does all notes off.
    host->setParameter(kMidiLatch, 0.0f);
    host->processBlock(64);
    EXPECT_TRUE(hangingNotes(host->events).empty());
    host->setParameter(kMidiLatch, 1.0f);
    host->noteOn(0, 1, 60, 100);
    host->processBlock(64);
    host->controller(3, 1, 123, 0);
    host->processBlock(64);
    EXPECT_TRUE(hangingNotes(host->events).empty());
}

TEST(ChordTriggering, ChannelsTwoToFifteenBypassTheChordMemoryAndChannel16DoesNot) {
    auto host = chordHost();
    host->noteOn(0, 5, 50, 70);  // channel 5: out on channel 5, transposed by 0
    host->noteOn(1, 16, 72, 70); // channel 16: a chord like channel 1
    host->processBlock(64);
    const auto ons = noteOnsOf(host->events);
    ASSERT_EQ(ons.size(), 4u);
    EXPECT_EQ(ons[0].channel, 5);
    EXPECT_EQ(ons[0].note, 50);
    EXPECT_EQ(ons[1].note, 72);
    EXPECT_EQ(ons[3].note, 79);
    // With the arpeggiator on, a channel-2 note picks a pattern instead.
    host->setParameter(kArpOn, 1.0f);
    host->noteOn(0, 2, 64 + 3, 100); // 67 mod 12 = pattern index 7
    host->processBlock(64);
    EXPECT_EQ(host->parameterDisplay(kPattern), "H");
}

TEST(ChordTriggering, ALockedVoiceKeepsPlayingTheEntryOfItsOwnKey) {
    auto host = chordHost();
    host->setParameter(kCurrentKey, noteValue(48));
    host->setParameter(kNoteNumFirst + 3, noteValue(70)); // voice 3 at key 48: note 70
    host->setParameter(kLockFirst + 3, 1.0f);             // lock voice 3 (to key 48)
    host->noteOn(0, 1, 60, 100);
    host->processBlock(64);
    EXPECT_EQ(onNotes(host->events), (std::vector<int>{60, 63, 67, 70}));
    EXPECT_EQ(host->parameterDisplay(kLockFirst + 3), "Locked");
    EXPECT_EQ(host->parameterDisplay(kNoteNumFirst + 3),
              "A#3 "); // voice 3 shows its own key's note
}

TEST(ChordTriggering, RoutingCopiesChordsToChannelTwoAndVoicesToTheirOwnChannels) {
    auto host = chordHost();
    host->setParameter(kRoutingOptions, 0.0f); // "Xmit Chords to Ch 2 also"
    host->noteOn(0, 1, 60, 100);
    host->processBlock(64);
    for (const Note& n : noteOnsOf(host->events)) EXPECT_EQ(n.channel, 2);
    host->noteOff(0, 1, 60);
    host->processBlock(64);
    host->setParameter(kRoutingOptions, 0.0f); // back off
    host->setParameter(kRoutingOptions, 1.0f); // "Xmit Voices to Ch 3-11"
    host->events.clear();
    host->noteOn(0, 1, 60, 100);
    host->processBlock(64);
    std::vector<std::pair<int, int>> got;
    for (const Note& n : noteOnsOf(host->events)) got.emplace_back(n.channel, n.note);
    EXPECT_EQ(got, (std::vector<std::pair<int, int>>{
                       {1, 60}, {3, 60}, {1, 63}, {4, 63}, {1, 67}, {5, 67}}));
}

TEST(ChordTriggering, RecordModeFillsVoicesThenMovesOnWhenAllKeysAreUp) {
    auto host = chordHost();
    host->setParameter(kCurrentKey, noteValue(40));
    host->setParameter(kInputMode, 2.0f);
    EXPECT_EQ(host->getParameter(kInputModeRead), 2.0f);
    host->noteOn(0, 1, 60, 100);
    host->noteOn(1, 1, 64, 100);
    host->noteOn(2, 1, 67, 100);
    host->processBlock(64);
    // The played notes sound while they go in.
    EXPECT_EQ(noteOnsOf(host->events).size(), 3u);
    host->noteOff(0, 1, 60);
    host->noteOff(0, 1, 64);
    host->noteOff(0, 1, 67);
    host->processBlock(64);
    EXPECT_EQ(host->getParameter(kCurrentKey), noteValue(41));
    EXPECT_EQ(voicesOf(*host, 40, 4), (std::vector<std::string>{"C 3 ", "E 3 ", "G 3 ", " - "}));
    EXPECT_TRUE(hangingNotes(host->events).empty());
}

TEST(ChordTriggering, StepEntryFollowsTheHeldKeysAndMovesOnAfterASecondOfSilence) {
    auto host = chordHost();
    host->setParameter(kCurrentKey, noteValue(30));
    host->setParameter(kInputMode, 1.0f);
    host->noteOn(0, 1, 48, 100);
    host->noteOn(0, 1, 55, 100);
    host->processBlock(64);
    host->noteOn(0, 1, 52, 100);
    host->noteOff(1, 1, 55); // leaves the chord again
    host->processBlock(64);
    // 48 and 55 went into voices 0 and 1, 52 into voice 2; releasing 55
    // took it out again.
    EXPECT_EQ(voicesOf(*host, 30, 3), (std::vector<std::string>{"C 2 ", " - ", "E 2 "}));
    host->run(48000 + 128, 64); // a second without a chord note
    EXPECT_EQ(host->getParameter(kCurrentKey), noteValue(31));
}

TEST(ChordTriggering, CaptureTakesTheKeysHeldInABlockAsTheChord) {
    auto host = chordHost();
    host->setParameter(kCurrentKey, noteValue(70));
    host->setParameter(kInputMode, 3.0f);
    EXPECT_EQ(host->parameterDisplay(kNoteNumFirst), " - "); // entering the mode empties the chord
    host->noteOn(0, 1, 50, 100);
    host->noteOn(0, 1, 57, 100);
    host->noteOn(0, 1, 62, 100);
    host->processBlock(64);
    EXPECT_TRUE(host->events.empty()); // capture plays nothing
    EXPECT_EQ(host->getParameter(kCurrentKey), noteValue(71));
    EXPECT_EQ(voicesOf(*host, 70, 3), (std::vector<std::string>{"D 2 ", "A 2 ", "D 3 "}));
}

TEST(ChordTriggering, AuditionPlaysTheCurrentChordFromTheEditor) {
    auto host = chordHost();
    host->setParameter(kCurrentKey, noteValue(62));
    host->setParameter(kAudition, 1.0f);
    host->processBlock(64);
    EXPECT_EQ(onNotes(host->events), (std::vector<int>{62, 65, 69}));
    host->setParameter(kAudition, 0.0f);
    host->processBlock(64);
    EXPECT_TRUE(hangingNotes(host->events).empty());
}
