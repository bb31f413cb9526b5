#include <gtest/gtest.h>

#include <vector>

#include "platform/win32.h"
#include "tests/sdl_events.h"

namespace {

std::vector<UINT> g_received;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_received.push_back(message);
  return DefWindowProcA(window, message, wParam, lParam);
}

class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWindowSystem();
    g_received.clear();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = "Test";
    RegisterClassExA(&windowClass);
    window_ = CreateWindowExA(0, "Test", "Test", WS_OVERLAPPEDWINDOW, 10, 10, 800, 600, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { ResetWindowSystem(); }

  // Every message waiting now, in the order PeekMessageA hands them out.
  std::vector<UINT> Drain() {
    std::vector<UINT> messages;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      messages.push_back(msg.message);
      if (msg.message == WM_QUIT) break;
    }
    return messages;
  }

  MSG Next() {
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    return msg;
  }

  HWND window_ = nullptr;
};

TEST_F(MessageQueueTest, MessagesComeOutFirstInFirstOut) {
  PostMessageA(window_, WM_KEYDOWN, 'A', 0);
  PostMessageA(window_, WM_CLOSE, 0, 0);
  PostMessageA(window_, WM_KEYDOWN, 'B', 0);
  EXPECT_EQ(Drain(), (std::vector<UINT>{WM_KEYDOWN, WM_CLOSE, WM_KEYDOWN}));
}

TEST_F(MessageQueueTest, QuitComesOutOnlyAfterEverythingQueuedBeforeAndAfterIt) {
  PostMessageA(window_, WM_KEYDOWN, 'A', 0);
  PostQuitMessage(3);
  PostMessageA(window_, WM_KEYDOWN, 'B', 0);
  MSG msg = Next();
  EXPECT_EQ(msg.message, UINT(WM_KEYDOWN));
  EXPECT_EQ(Next().wParam, WPARAM('B'));
  msg = Next();
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, WPARAM(3));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "WM_QUIT is handed out once";
}

TEST_F(MessageQueueTest, PeekWithoutRemoveLeavesTheMessage) {
  PostMessageA(window_, WM_KEYDOWN, 'A', 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(Drain(), (std::vector<UINT>{WM_KEYDOWN}));
}

TEST_F(MessageQueueTest, EmptyQueueReturnsFalse) {
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, PlainKeysAndModifiersAloneAreKeyDown) {
  PushKey(SDLK_a);
  PushKey(SDLK_LSHIFT);
  PushKey(SDLK_LCTRL);
  PushKey(SDLK_ESCAPE);
  EXPECT_EQ(Drain(), (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYDOWN, WM_KEYDOWN}));
}

TEST_F(MessageQueueTest, AltF10AndAltChordsAreSystemKeys) {
  PushKey(SDLK_LALT);
  PushKey(SDLK_RALT);
  PushKey(SDLK_F10);
  PushKey(SDLK_x, KMOD_LALT);
  EXPECT_EQ(Drain(),
            (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYDOWN}));
}

TEST_F(MessageQueueTest, KeyDownCarriesTheVirtualKey) {
  PushKey(SDLK_q);
  EXPECT_EQ(Next().wParam, WPARAM('Q'));
}

TEST_F(MessageQueueTest, CloseButtonAndTerminationBecomeClose) {
  PushWindowClose();
  PushQuit();
  EXPECT_EQ(Drain(), (std::vector<UINT>{WM_CLOSE, WM_CLOSE}));
}

TEST_F(MessageQueueTest, DefaultCloseDestroysTheWindowWhichSendsDestroy) {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  MSG msg = Next();
  DispatchMessageA(&msg);
  EXPECT_EQ(g_received, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
  PostMessageA(window_, WM_CLOSE, 0, 0);
  msg = Next();
  DispatchMessageA(&msg);
  EXPECT_EQ(g_received.size(), 2u) << "a destroyed window gets no more messages";
}

TEST_F(MessageQueueTest, AltF4ClosesTheWindow) {
  PushKey(SDLK_F4, KMOD_LALT);
  MSG msg = Next();
  ASSERT_EQ(msg.message, UINT(WM_SYSKEYDOWN));
  DispatchMessageA(&msg);
  EXPECT_EQ(g_received, (std::vector<UINT>{WM_SYSKEYDOWN, WM_CLOSE, WM_DESTROY}));
}

TEST_F(MessageQueueTest, UnregisteredClassMakesNoWindow) {
  EXPECT_EQ(CreateWindowExA(0, "Nothing", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_TRUE(UnregisterClassA("Test", nullptr));
  EXPECT_FALSE(UnregisterClassA("Test", nullptr));
}

}  // namespace
