// The real-time path as a host meets it: which messages pass through, which
// are consumed, how many events a block can carry.
#include "test_host_support.h"

#include <gtest/gtest.h>

namespace {
using Event = PluginHost::ReceivedEvent;

std::vector<Event> nonNoteEvents(const std::vector<Event>& events) {
    std::vector<Event> out;
    for (const Event& e : events)
        if ((e.status & 0xE0) != 0x80) out.push_back(e);
    return out;
}
} // namespace

TEST(ProcessingLoop, ControllersAndPitchBendPassThroughUnchangedAtTheirOffsets) {
    auto host = makeHost();
    host->controller(5, 1, 7, 100);        // volume on channel 1
    host->controller(9, 16, 74, 3);        // brightness on channel 16
    host->queueMidi(20, 0xE2, 0x00, 0x40); // pitch bend on channel 3
    host->queueMidi(30, 0xD0, 0x55, 0x00); // channel pressure
    host->processBlock(64);
    const auto out = nonNoteEvents(host->events);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].status, 0xB0);
    EXPECT_EQ(out[0].data1, 7);
    EXPECT_EQ(out[0].data2, 100);
    EXPECT_EQ(out[0].deltaFrames, 5);
    EXPECT_EQ(out[1].status, 0xBF);
    EXPECT_EQ(out[1].deltaFrames, 9);
    EXPECT_EQ(out[2].status, 0xE2);
    EXPECT_EQ(out[2].data2, 0x40);
    EXPECT_EQ(out[3].status, 0xD0);
    for (const Event& e : out) EXPECT_EQ(e.type, kVstMidiType);
}

TEST(ProcessingLoop, BankSelectIsConsumedAndController32PassesWhenNotAfterController0) {
    auto host = makeHost();
    // Bank select pair: both consumed, nothing goes out.
    host->controller(0, 1, 0, 1);
    host->controller(0, 1, 32, 2);
    host->processBlock(64);
    EXPECT_TRUE(nonNoteEvents(host->events).empty());

    // Controller 7 in between: the later controller 32 is an ordinary one.
    host->controller(0, 1, 0, 0);
    host->controller(1, 1, 7, 90);
    host->controller(2, 1, 32, 4);
    host->processBlock(64);
    const auto out = nonNoteEvents(host->events);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].data1, 7);
    EXPECT_EQ(out[1].data1, 32);
    EXPECT_EQ(out[1].data2, 4);
}

TEST(ProcessingLoop, ProgramChangeAndAllNotesOffAreNotPassedOn) {
    auto host = makeHost();
    host->queueMidi(0, 0xC0, 3, 0);
    host->controller(1, 1, 123, 0);
    host->processBlock(64);
    EXPECT_TRUE(nonNoteEvents(host->events).empty());
}

TEST(ProcessingLoop, AFullBlockDeliversExactly4096Events) {
    auto host = makeHost();
    for (int i = 0; i < 5000; ++i) host->controller(i % 512, 1, 7, i % 128);
    host->processBlock(512);
    EXPECT_EQ(host->events.size(), 4096u);
    // The next block starts empty again.
    host->events.clear();
    host->controller(0, 1, 7, 1);
    host->processBlock(512);
    EXPECT_EQ(host->events.size(), 1u);
}

TEST(ProcessingLoop, EventsReachTheHostSortedByTime) {
    auto host = makeHost();
    host->controller(40, 1, 7, 1);
    host->controller(3, 1, 7, 2);
    host->controller(40, 1, 7, 3);
    host->controller(10, 1, 7, 4);
    host->processBlock(64);
    ASSERT_EQ(host->events.size(), 4u);
    EXPECT_EQ(host->events[0].deltaFrames, 3);
    EXPECT_EQ(host->events[1].deltaFrames, 10);
    // Equal times keep their order.
    EXPECT_EQ(host->events[2].data2, 1);
    EXPECT_EQ(host->events[3].data2, 3);
}

TEST(ProcessingLoop, SilentOutputsWithoutNotesAndNoEventsForEmptyBlocks) {
    auto host = makeHost();
    host->left.assign(256, 1.0f);
    host->right.assign(256, 1.0f);
    host->processBlock(256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(host->left[i], 0.0f);
        EXPECT_EQ(host->right[i], 0.0f);
    }
    EXPECT_TRUE(host->events.empty());
    host->processBlock(0); // some hosts send empty blocks
    EXPECT_TRUE(host->events.empty());
}
