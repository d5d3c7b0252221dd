// The lock-free hand-overs between the real-time thread and the others,
// under ThreadSanitizer: the editor's events travel to the real-time thread
// through PendingSends, the real-time thread's deferred work travels to the
// background worker. Every item arrives once, in order, intact.
#include "background_worker.h"
#include "pending_sends.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(HandOver, EditorEventsReachTheRealTimeThreadOnceAndInOrder) {
    PendingSends sends;
    constexpr int kPerProducer = 200000;
    std::atomic<int> producersDone{0};
    std::vector<int> accepted(2, 0);
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
        accepted[static_cast<size_t>(producer)] = sent;
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

TEST(HandOver, DeferredWorkReachesTheWorkerOnceAndInOrder) {
    RealtimeLog log;
    std::atomic<int> applied{0};
    std::atomic<int> outOfOrder{0};
    int last = -1; // written by the worker only
    {
        BackgroundWorker worker(log, [&](int32_t index, float value) {
            if (index != last + 1 || value != static_cast<float>(index)) ++outOfOrder;
            last = index;
            ++applied;
        });
        constexpr int kItems = 20000;
        for (int i = 0; i < kItems;) {
            if (worker.defer(i, static_cast<float>(i)))
                ++i;
            else
                std::this_thread::yield();
            if (i % 1000 == 0) {
                LogLine line{};
                log.push(line);
            }
        }
        worker.wake();
        while (applied.load() < kItems) std::this_thread::yield();
    }
    EXPECT_EQ(applied.load(), 20000);
    EXPECT_EQ(outOfOrder.load(), 0);
}

} // namespace
