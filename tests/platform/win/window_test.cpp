#include <gtest/gtest.h>
#include <poll.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/win/window.h"

namespace {

struct Recorder {
  std::vector<std::string> log;
  HWND self = nullptr;
  WNDPROC Proc() {
    return [this](HWND, UINT msg, WPARAM w, LPARAM) -> LRESULT {
      log.push_back("begin " + std::to_string(msg) + ":" + std::to_string(w));
      if (msg == WM_COMMAND && w == 1) {
        PostMessage(self, WM_COMMAND, 2);
        log.push_back("posted 2");
      }
      log.push_back("end " + std::to_string(msg) + ":" + std::to_string(w));
      return static_cast<LRESULT>(w * 10);
    };
  }
};

TEST(Window, SendRunsAtOncePostRunsAfterTheCurrentHandler) {
  Recorder r;
  r.self = CreateKVTWindow("Test", "t", nullptr, r.Proc());
  EXPECT_EQ(SendMessage(r.self, WM_COMMAND, 1), 10);
  EXPECT_EQ(PendingMessageCount(), 1u);
  EXPECT_EQ(PumpWaitingMessages(), 1);
  std::vector<std::string> want = {"begin 273:1", "posted 2", "end 273:1", "begin 273:2",
                                   "end 273:2"};
  EXPECT_EQ(r.log, want);
  // Posted messages run in order, including those they post.
  r.log.clear();
  PostMessage(r.self, WM_COMMAND, 1);
  PostMessage(r.self, WM_COMMAND, 3);
  EXPECT_EQ(PumpWaitingMessages(), 3);
  want = {"begin 273:1", "posted 2",    "end 273:1", "begin 273:3",
          "end 273:3",   "begin 273:2", "end 273:2"};
  EXPECT_EQ(r.log, want);
  DestroyWindow(r.self);
}

TEST(Window, DestroyedWindowDropsItsMessagesAndChildren) {
  std::vector<std::string> destroyed;
  auto proc = [&](HWND h, UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_DESTROY) destroyed.push_back(GetWindowText(h));
    return 1;
  };
  HWND top = CreateKVTWindow("Frame", "top", nullptr, proc);
  HWND child = CreateKVTWindow("Child", "child", top, proc);
  PostMessage(child, WM_COMMAND, 5);
  EXPECT_EQ(GetTopWindow(child), top);
  DestroyWindow(top);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(top));
  EXPECT_EQ(PumpWaitingMessages(), 0);
  EXPECT_EQ(SendMessage(child, WM_COMMAND, 1), 0);
  EXPECT_FALSE(PostMessage(child, WM_COMMAND, 1));
  EXPECT_EQ(destroyed, (std::vector<std::string>{"child", "top"}));
}

TEST(Window, FindsTopLevelWindowByTitle) {
  HWND a = CreateKVTWindow("Frame", "Point of Sale", nullptr);
  HWND b = CreateKVTWindow("Child", "Sale", a);
  EXPECT_EQ(FindWindow(nullptr, "Point of Sale"), a);
  EXPECT_EQ(FindWindow("Child", "Sale"), b);
  EXPECT_EQ(FindWindow("Frame", "Sale"), nullptr);
  DestroyWindow(a);
  EXPECT_EQ(FindWindow(nullptr, "Point of Sale"), nullptr);
}

TEST(Window, PostFromAnotherThreadWakesTheQueue) {
  int got = 0;
  HWND w = CreateKVTWindow("Test", "t", nullptr, [&](HWND, UINT, WPARAM wp, LPARAM) -> LRESULT {
    got += static_cast<int>(wp);
    return 0;
  });
  pollfd p{MessageQueueFd(), POLLIN, 0};  // taken before waiting, as the event loop does
  PumpWaitingMessages();                  // drain the wake-ups of earlier posts
  std::thread t([w] {
    for (int i = 0; i < 100; ++i) PostMessage(w, WM_USER, 1);
  });
  t.join();
  EXPECT_EQ(::poll(&p, 1, 0), 1) << "a waiting event loop wakes up";
  EXPECT_EQ(PumpWaitingMessages(), 100);
  EXPECT_EQ(got, 100);
  DestroyWindow(w);
}

TEST(Window, QuitIsPostedOnceAndWakesTheLoop) {
  KVTClearQuitPosted();
  EXPECT_FALSE(KVTQuitPosted());
  int fd = MessageQueueFd();
  PumpWaitingMessages();  // drain the wake-ups of earlier posts
  std::thread t([] { PostQuitMessage(3); });
  t.join();
  pollfd p{fd, POLLIN, 0};
  EXPECT_EQ(::poll(&p, 1, 0), 1) << "a waiting event loop wakes up";
  int code = 0;
  EXPECT_TRUE(KVTQuitPosted(&code));
  EXPECT_EQ(code, 3);
  KVTClearQuitPosted();
  EXPECT_FALSE(KVTQuitPosted());
  PumpWaitingMessages();
}

}  // namespace
