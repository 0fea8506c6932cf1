#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "core/CriticalSection.h"

namespace {

bool tryFromOtherThread(AbstractCriticalSection& cs) {
    auto f = std::async(std::launch::async, [&cs] {
        const bool taken = cs.tryEnter();
        if (taken) cs.leave();
        return taken;
    });
    // A generous bound: tryEnter must not block.
    EXPECT_EQ(f.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    return f.get();
}

} // namespace

TEST(CriticalSection, RecursiveHoldingIsReleasedLevelByLevel) {
    auto cs = createCriticalSection();
    cs->enter();
    cs->enter();
    EXPECT_TRUE(cs->tryEnter());  // the holder may enter again
    cs->leave();
    cs->leave();
    EXPECT_FALSE(tryFromOtherThread(*cs));  // still held once
    cs->leave();
    EXPECT_TRUE(tryFromOtherThread(*cs));
}

TEST(CriticalSection, GuardExcludesOtherThreads) {
    auto cs = createCriticalSection();
    std::atomic<int> inside{0};
    std::atomic<bool> overlap{false};
    auto worker = [&] {
        for (int i = 0; i < 2000; ++i) {
            CriticalSectionGuard g(*cs);
            if (++inside != 1) overlap = true;
            --inside;
        }
    };
    std::thread a(worker), b(worker);
    a.join();
    b.join();
    EXPECT_FALSE(overlap);
    EXPECT_TRUE(tryFromOtherThread(*cs));
}
