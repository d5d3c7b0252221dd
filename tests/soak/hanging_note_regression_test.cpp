// Sessions the fuzzer found, shrunk, kept as behaviour: every note the
// plug-in starts ends once the host lets go (all notes off, every key
// released, transport stopped), and what it sends stays well formed. The
// sessions are in the fuzzer's text form (see session_text.h); each one
// starts after the ten guard blocks, so host parameters apply.
#include "rule_hangs.h"
#include "session_home.h"
#include "session_runner.h"
#include "session_text.h"

namespace {

const std::string kPastGuard = "block 64\nblock 64\nblock 64\nblock 64\nblock 64\n"
                               "block 64\nblock 64\nblock 64\nblock 64\nblock 64\n";

// `text` after the guard blocks, or from the first sample as the fuzzer
// shrank it (its own blocks then pass the guard).
soak::RunResult play(const std::string& text, bool afterGuard = true) {
    const auto session = soak::parseSession("seed 1\n" + (afterGuard ? kPastGuard : "") + text);
    EXPECT_TRUE(session.has_value()) << text;
    return soak::runSession(*session, {ZANDREL_SO});
}

using Sessions = SessionHome;

TEST_F(Sessions, ShrunkSessionsEndEveryNoteAndSendOnlyWellFormedEvents) {
    struct Case {
        const char* what;
        const char* text;
        bool afterGuard = true; // else from the first sample, as the fuzzer shrank it
    };
    const Case cases[] = {
        {"chord notes sound with the arpeggiator off; switching it on releases them, and the "
         "release goes out although the arpeggiator is on by the time the next block sends it",
         "param 17 0\nblock 29 | 3 90 09 3b\nparam 17 0.9\n"},
        {"a voice edit re-strikes a released chord's voice from the editor; the switch that "
         "follows before any block must still end that note",
         "block 5 | 4 90 13 4a\nparam 17 0\nparam 58 1.40129846e-45\nparam 17 1\n"},
        {"latch with the chord memory off: the audited chord is held by the arpeggiator, and "
         "the host's all-notes-off that follows must find it there",
         "block 4096 | 1561 9f 29 14\nparam 30 1\nparam 16 0\nparam 150 0.525\n"},
        {"a key held for the arpeggiator, then the chord auditioned and the arpeggiator "
         "switched off before the next block: the next key must end the audition",
         "param 17 1\nblock 64 | 10 90 52 1b\nparam 150 1\nparam 17 0\nblock 64 | 20 90 27 7b\n"},
        {"arp notes of a preset chosen by program change (bank 1, arp preset Bravo) sound when "
         "an arpeggio is exported: the offline render ends them in its own copy, and the "
         "release that follows the export must still end the ones that sounded",
         "block 1244\nblock 61 | 50 b0 00 01 | 2 c4 01 00\nblock 731\nblock 47\nblock 91\n"
         "block 6\nblock 3116\nblock 45\nblock 81\nblock 550 | 130 b0 00 6e\nparam 16 0\n"
         "block 343 | 293 90 4d 0b | 342 90 07 6a\nblock 133\n"
         "block 308 | 86 90 52 01 | 99 90 5d 2f | 140 90 5c 47 | 259 90 09 49\nparam 109 1\n",
         false},
        {"a chord captured at the end of a block re-strikes the voices that still sound; those "
         "notes must leave before the next block's all-notes-off",
         "block 2025 | 648 90 00 5a\nparam 75 3\nparam 17 0\n"
         "block 447 | 418 90 3f 16 | 394 90 58 39\n"},
        {"an arp note sounding at a sample-rate change ends",
         "block 2401 | 950 90 2f 2f\nrate 48000\nblock 512\n"},
        {"pitch bend and controllers placed outside the block, and a chord transposed onto "
         "note 128 (which would go out as note 0 one channel up)",
         "block 64 | 64 e0 10 20 | 70 b0 40 7f | -1 b0 01 10\nparam 0 1\nparam 17 0\n"
         "block 64 | 3 90 68 64\nblock 64 | 3 80 68 00\n"},
    };
    for (const Case& c : cases) {
        const soak::RunResult r = play(c.text, c.afterGuard);
        EXPECT_FALSE(r.failed()) << c.what << ": " << soak::kindName(r.kind) << ": " << r.detail;
    }
}

TEST_F(Sessions, EditorEventsBeyondTheQueueAreDroppedWithoutLeavingNotesHanging) {
    // Auditions clicked on and off while the host processes nothing: the
    // queue for the next block fills up. What did not fit is dropped and
    // told once; the notes that did go out must still end. Each click
    // queues a few events; up to six preview resets (one event each) first
    // move the point where the queue is full through every place in a
    // click, the middle of a chord's release included. The plug-in keeps
    // quiet unless asked: ask, so that the drop is told.
    setenv("ZANDREL_LOG", "1", 1);
    for (int shift = 0; shift < 7; ++shift) {
        std::string text = "param 17 0\n";
        for (int i = 0; i < shift; ++i) text += "param 104 1\n";
        for (int i = 0; i < 1500; ++i) text += "param 150 1\nparam 150 0\n";
        ::testing::internal::CaptureStderr();
        const soak::RunResult r = play(text);
        const std::string told = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(r.failed()) << "shift " << shift << ": " << soak::kindName(r.kind) << ": "
                                 << r.detail;
        const std::string line = "editor events dropped";
        const size_t first = told.find(line);
        EXPECT_NE(first, std::string::npos) << "shift " << shift;
        EXPECT_EQ(told.find(line, first + 1), std::string::npos) << "told more than once";
    }
    unsetenv("ZANDREL_LOG");
}

// Hangs that follow from the plug-in's rules, each with its reproduction:
// they hang, and they are clean once the rule's cause is taken out, which
// is how the fuzzer tells them from our bugs.
TEST_F(Sessions, HangsThatFollowFromTheRulesAreToldApart) {
    const char* const kRuleHangs[] = {
        // Voice copies on channels 3 and up: the release helper ends voice 0's
        // channel only.
        "param 82 1\nparam 82 0\nblock 231 | 96 90 40 57 | 105 9f 45 3c\n",
        // The routing toggled while a chord sounds on channel 2.
        "param 82 0\nblock 46 | 9 90 2e 0a\nparam 82 0\n",
        // Suspend and resume forget the sounding chord; the next key ends nothing.
        "param 17 0\nblock 227 | 216 90 29 70\nrate 96000\nblock 53 | 29 90 00 42\n",
        // A note-off on channel 3 clears the flag of the same note of the chord.
        "param 17 0\nblock 965 | 822 90 05 51 | 886 82 05 69\nblock 59 | 43 90 4f 53\n",
        // A chord note above 127 goes out one channel up; its release does not.
        "param 82 0\nblock 12 | 3 90 31 6a\nparam 0 1\n"
        "block 4096 | 2885 90 7f 23 | 3583 90 16 77\n",
        // Capture re-strikes a voice of an earlier chord with a held key's
        // note; that key's release in capture mode sends nothing.
        "block 290 | 249 90 00 05\nparam 17 0\nparam 75 3\n"
        "block 25 | 6 90 45 7a | 21 90 49 0c\nblock 8 | 5 80 49 00\n",
        // Chord memory off: a channel-16 note, then the memory switched on.
        "param 17 0\nparam 16 0\nblock 151 | 40 9f 55 62\nparam 16 0.16\n",
    };
    for (const char* text : kRuleHangs) {
        const auto session = soak::parseSession("seed 1\n" + kPastGuard + text);
        ASSERT_TRUE(session.has_value()) << text;
        EXPECT_EQ(soak::runSession(*session, {ZANDREL_SO}).kind, soak::RunResult::kHangingNote)
            << text;
        EXPECT_FALSE(soak::runSession(soak::withoutRuleHangCauses(*session), {ZANDREL_SO}).failed())
            << text;
    }
}

TEST(SessionText, ReadsBackWhatItWrites) {
    const std::string text = "seed 9\nblock 12 | -1 90 3c 7f | 4 b0 7b 00\nparam 17 nan\n"
                             "param 3 inf\nplay 1\nlocate 2.5\nloop 1 0 4\ntempo 120\n"
                             "rate 44100\nchunk 27512 77\nread 40\n";
    const auto session = soak::parseSession(text);
    ASSERT_TRUE(session.has_value());
    EXPECT_EQ(soak::sessionText(*session), text);
    EXPECT_FALSE(soak::parseSession("block 12 | 1 90\n").has_value());
    EXPECT_FALSE(soak::parseSession("dance 3\n").has_value());
}

} // namespace
