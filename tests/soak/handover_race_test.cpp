// The lock-free hand-overs under ThreadSanitizer: editor events to the
// real-time thread, deferred work to the one shared worker, and the presets
// it reads for program changes back to the real-time thread. Every item
// arrives once, in order, intact.
#include "pending_sends.h"
#include "shared_worker.h"
#include "staged_preset_load.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(HandOver, EditorEventsReachTheRealTimeThreadOnceAndInOrder) {
    PendingSends sends;
    constexpr int kPerProducer = 200000;
    std::atomic<int> producersDone{0};
    auto produce = [&](int producer) {
        int sent = 0;
        while (sent < kPerProducer) {
            // data1/data2 carry a running number, status the producer.
            const PendingSend p{PendingSend::kChordEvent,
                                static_cast<uint8_t>(producer),
                                static_cast<uint8_t>(sent & 0xFF),
                                static_cast<uint8_t>((sent >> 8) & 0xFF),
                                static_cast<uint8_t>((sent >> 16) & 0xFF),
                                0};
            if (sends.push(p))
                ++sent;
            else
                std::this_thread::yield(); // full: the real-time side drains it
        }
        ++producersDone;
    };
    std::thread a(produce, 0);
    std::thread b(produce, 1);

    int expected[2] = {0, 0};
    int wrong = 0;
    PendingSend p;
    for (;;) {
        const bool done = producersDone.load() == 2;
        bool any = false;
        while (sends.pop(p)) {
            any = true;
            const int number = p.data1 | (p.data2 << 8) | (p.voiceOrFlag << 16);
            if (p.status > 1 || number != expected[p.status]) ++wrong;
            if (p.status <= 1) expected[p.status] = number + 1;
        }
        if (done && !any) break;
    }
    a.join();
    b.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(expected[0], kPerProducer);
    EXPECT_EQ(expected[1], kPerProducer);
}

TEST(HandOver, DeferredWorkOfEveryInstanceReachesTheSharedWorkerOnceAndInOrder) {
    constexpr int kItems = 20000;
    struct Instance {
        RealtimeLog log;
        std::atomic<int> applied{0};
        std::atomic<int> outOfOrder{0};
        int last = -1; // written by the worker only
        std::unique_ptr<WorkerClient> client;
    };
    Instance instances[2];
    for (Instance& in : instances)
        in.client = std::make_unique<WorkerClient>(in.log, [&in](int32_t index, float value) {
            if (index != in.last + 1 || value != static_cast<float>(index)) ++in.outOfOrder;
            in.last = index;
            ++in.applied;
        });
    WorkerClient::startThread();
    // Each instance's real-time thread defers on its own.
    auto realtime = [](Instance& in) {
        for (int i = 0; i < kItems;) {
            if (in.client->defer(i, static_cast<float>(i)))
                ++i;
            else
                std::this_thread::yield();
            if (i % 1000 == 0) in.log.push(LogLine{});
        }
    };
    std::thread a(realtime, std::ref(instances[0]));
    std::thread b(realtime, std::ref(instances[1]));
    a.join();
    b.join();
    for (Instance& in : instances)
        while (in.applied.load() < kItems) std::this_thread::yield();
    for (Instance& in : instances) {
        EXPECT_EQ(in.outOfOrder.load(), 0);
        in.client.reset();
    }
    EXPECT_FALSE(WorkerClient::threadRunning()) << "the last instance gone, the thread is joined";
}

TEST(HandOver, PresetsReadByTheWorkerAreAppliedWholeAndFinishedOnce) {
    StagedPresetLoad slot;
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::atomic<int> applied{0};
    std::thread realtime([&] {
        while (!stop.load()) {
            if (!slot.takeReady()) {
                std::this_thread::yield();
                continue;
            }
            // The file and its path were handed over together: they agree.
            const int number = std::stoi(slot.path);
            bool whole = slot.bytes.size() == static_cast<size_t>(number % 97 + 1);
            for (uint8_t b : slot.bytes) whole = whole && b == static_cast<uint8_t>(number);
            if (!whole) ++torn;
            ++applied;
            slot.markApplied(number % 3 != 0);
        }
    });
    int finished = 0;
    int wrongOutcome = 0;
    auto finish = [&] {
        ++finished;
        if (slot.loaded != (std::stoi(slot.path) % 3 != 0)) ++wrongOutcome;
    };
    constexpr int kLoads = 20000;
    for (int i = 0; i < kLoads; ++i) {
        // A choice not taken yet gives way to the next one.
        if (slot.claim() && slot.finishApplied()) finish();
        slot.bytes.assign(static_cast<size_t>(i % 97 + 1), static_cast<uint8_t>(i));
        slot.path = std::to_string(i);
        slot.publish();
    }
    while (!slot.finishApplied()) std::this_thread::yield(); // the last one is never withdrawn
    finish();
    stop = true;
    realtime.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(wrongOutcome, 0);
    EXPECT_EQ(finished, applied.load()) << "every applied load is finished once";
    EXPECT_GT(applied.load(), 0);
}

} // namespace
