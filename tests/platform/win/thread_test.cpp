#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/win/thread.h"

namespace {

using namespace std::chrono_literals;
constexpr int kLong = 10000;  // a wait that only ends this way when the wake-up was lost

TEST(Event, SetFromAnotherThreadWakesTheWaiter) {
  for (bool manual : {true, false}) {
    KVTEvent e(manual);
    ASSERT_TRUE(e.Valid());
    ASSERT_FALSE(e.IsSet());
    std::thread setter([&] {
      std::this_thread::sleep_for(20ms);
      e.Set();
    });
    EXPECT_TRUE(e.Wait(kLong)) << "manual " << manual;
    setter.join();
    // A manual-reset event stays signalled; an auto-reset one was consumed.
    EXPECT_EQ(e.IsSet(), manual) << "manual " << manual;
  }
}

TEST(Event, ResetRulesFollowTheKindOfEvent) {
  // clang-format off
  struct Case { bool manual; bool initiallySet; int sets; bool firstWait, secondWait; } cases[] = {
      {true, false, 1, true, true},    // stays set
      {false, false, 1, true, false},  // consumed by the first wait
      {false, false, 3, true, false},  // several sets are one signal
      {false, true, 0, true, false},   // created signalled
      {true, true, 0, true, true},     //
      {true, false, 0, false, false},  // never set
  };
  // clang-format on
  for (const auto& c : cases) {
    KVTEvent e(c.manual, c.initiallySet);
    for (int i = 0; i < c.sets; ++i) ASSERT_TRUE(e.Set());
    EXPECT_EQ(e.Wait(0), c.firstWait) << c.manual << c.initiallySet << c.sets;
    EXPECT_EQ(e.Wait(0), c.secondWait) << c.manual << c.initiallySet << c.sets;
  }
  KVTEvent manual(true, true);
  EXPECT_TRUE(manual.Reset());
  EXPECT_FALSE(manual.Wait(0));
  EXPECT_TRUE(manual.Reset());  // resetting a reset event is fine
  // A wait on an unset event times out no sooner.
  KVTEvent a, b(false);
  EXPECT_FALSE(a.Wait(0));
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(a.Wait(40));
  EXPECT_EQ(WaitForEventsOrFds({a, b}, 40), kWaitTimeout);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 80ms);
}

TEST(Event, AutoResetSetWakesExactlyOneOfTwoWaiters) {
  KVTEvent e(false);
  std::atomic<int> woke{0};
  auto waiter = [&] {
    if (e.Wait(300)) ++woke;
  };
  std::thread t1(waiter), t2(waiter);
  std::this_thread::sleep_for(20ms);
  e.Set();
  t1.join();
  t2.join();
  EXPECT_EQ(woke.load(), 1);
}

TEST(Wait, ReadableFdIsReportedByItsIndex) {
  int p[2];
  ASSERT_EQ(::pipe(p), 0);
  KVTEvent shutdown, write(false);
  std::thread port([&] {
    std::this_thread::sleep_for(20ms);
    ASSERT_EQ(::write(p[1], "x", 1), 1);
  });
  EXPECT_EQ(WaitForEventsOrFds({shutdown, KVTWaitItem::Readable(p[0]), write}, kLong), 1);
  port.join();
  // Still readable until read; the shutdown event set meanwhile comes first.
  shutdown.Set();
  write.Set();
  EXPECT_EQ(WaitForEventsOrFds({shutdown, KVTWaitItem::Readable(p[0]), write}, 0), 0);
  shutdown.Reset();
  char c;
  ASSERT_EQ(::read(p[0], &c, 1), 1);
  EXPECT_EQ(WaitForEventsOrFds({shutdown, KVTWaitItem::Readable(p[0]), write}, 0), 2);
  EXPECT_FALSE(write.IsSet()) << "the auto-reset write event was not consumed";
  ::close(p[1]);
  // A port that hung up is reported, so the monitor can notice and stop.
  EXPECT_EQ(WaitForEventsOrFds({shutdown, KVTWaitItem::Readable(p[0])}, 0), 1);
  ::close(p[0]);
  // Bad items fail instead of waiting.
  int closed[2];
  ASSERT_EQ(::pipe(closed), 0);
  ::close(closed[0]);
  ::close(closed[1]);
  EXPECT_EQ(WaitForEventsOrFds({}, kLong), kWaitFailed);
  EXPECT_EQ(WaitForEventsOrFds({shutdown, KVTWaitItem::Readable(-1)}, kLong), kWaitFailed);
  EXPECT_EQ(WaitForEventsOrFds({shutdown, KVTWaitItem::Readable(closed[0])}, kLong), kWaitFailed);
}

TEST(CriticalSection, OwnerMayEnterAgainOthersWaitUntilTheLastLeave) {
  KVTCriticalSection cs;
  cs.Enter();
  {
    std::lock_guard<KVTCriticalSection> again(cs);  // the drawer code nests like this
  }
  auto otherCanEnter = [&] {
    bool got = false;
    std::thread([&] {
      got = cs.TryEnter();
      if (got) cs.Leave();
    }).join();
    return got;
  };
  EXPECT_FALSE(otherCanEnter());
  cs.Leave();
  EXPECT_TRUE(otherCanEnter());
}

}  // namespace
