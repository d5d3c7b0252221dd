// Notifications posted from several threads at once reach the editor's
// thread whole, each once, in each thread's order. Built with
// ThreadSanitizer.
#include "cross_thread_notifications.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(CrossThreadNotifications, PostsFromManyThreadsArriveWholeOnceAndInOrderPerThread) {
    CrossThreadNotifications queue;
    queue.setOwnerThread(std::this_thread::get_id());
    EXPECT_TRUE(queue.onOwnerThread());
    constexpr int kThreads = 3, kEach = 20000;
    std::atomic<int> started{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t)
        posters.emplace_back([&, t] {
            EXPECT_FALSE(queue.onOwnerThread());
            ++started;
            for (int i = 0; i < kEach;)
                if (queue.post(t, static_cast<float>(i))) ++i; // full: the owner is behind
        });
    std::vector<int> next(kThreads, 0);
    int received = 0;
    while (received < kThreads * kEach) {
        queue.drain([&](int32_t thread, float value) {
            ASSERT_EQ(value, static_cast<float>(next[thread])) << "thread " << thread;
            ++next[thread];
            ++received;
        });
    }
    for (std::thread& t : posters) t.join();
    queue.takeOverflow();

    // A full queue refuses and says so once.
    for (size_t i = 0; i < CrossThreadNotifications::kCapacity; ++i) ASSERT_TRUE(queue.post(1, 0));
    EXPECT_FALSE(queue.post(1, 0));
    EXPECT_TRUE(queue.takeOverflow());
    EXPECT_FALSE(queue.takeOverflow());
}
