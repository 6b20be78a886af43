// Message windows and the worker thread: messages sent from another thread are handled on the
// window's own thread while it waits serving them, in order, and never deadlock. The same
// expectations hold for Windows under Wine and for the host double.
#include "platform/message_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/worker_thread.h"

namespace {

using platform::MessageWindow;
using platform::NativeWindow;

constexpr uint32_t TestMessage = platform::MessageUser + 7;

TEST(MessageWindow, MessagesFromTheOwningThreadAreHandledAtOnce) {
  MessageWindow window(u"UinstallerTestWindowA",
                       [](uint32_t message, uintptr_t first, intptr_t second, intptr_t& result) {
                         if (message != TestMessage) return false;
                         result = static_cast<intptr_t>(first) + second;
                         return true;
                       });
  EXPECT_EQ(platform::SendWindowMessage(window.Handle(), TestMessage, 40, 2), 42);
  // A message the procedure leaves alone gets the default handling.
  EXPECT_EQ(platform::SendWindowMessage(window.Handle(), platform::MessageUser + 99, 1, 1), 0);
}

TEST(MessageWindow, WorkerSendsAreHandledOnTheOwnerWhileItWaits) {
  const std::thread::id owner = std::this_thread::get_id();
  std::vector<uintptr_t> received;
  bool all_on_owner = true;
  MessageWindow window(u"UinstallerTestWindowB",
                       [&](uint32_t message, uintptr_t first, intptr_t, intptr_t& result) {
                         if (message != TestMessage) return false;
                         all_on_owner = all_on_owner && std::this_thread::get_id() == owner;
                         received.push_back(first);
                         result = 1;
                         return true;
                       });
  const NativeWindow handle = window.Handle();
  int64_t acknowledged = 0;
  platform::WorkerThread worker([&] {
    for (uintptr_t i = 0; i < 500; ++i) {
      acknowledged += platform::SendWindowMessage(handle, TestMessage, i, 0);
    }
  });
  worker.Start();
  worker.WaitServingSentMessages();
  EXPECT_TRUE(worker.HasFinished());
  EXPECT_TRUE(all_on_owner);
  EXPECT_EQ(acknowledged, 500);
  ASSERT_EQ(received.size(), 500u);
  for (uintptr_t i = 0; i < received.size(); ++i) ASSERT_EQ(received[i], i);
}

TEST(MessageWindow, ASenderServesMessagesSentBackToItWhileItWaits) {
  // The main thread, handling the worker's message, sends one back to a window of the worker;
  // the worker is blocked in its send and must handle it there.
  std::atomic<NativeWindow> worker_window{nullptr};
  std::atomic<bool> worker_handled{false};
  MessageWindow main_window(
      u"UinstallerTestWindowC", [&](uint32_t message, uintptr_t, intptr_t, intptr_t& result) {
        if (message != TestMessage) return false;
        result = platform::SendWindowMessage(worker_window.load(), TestMessage, 0, 0) + 1;
        return true;
      });
  const NativeWindow main_handle = main_window.Handle();
  intptr_t answer = 0;
  platform::WorkerThread worker([&] {
    MessageWindow own(u"UinstallerTestWindowD",
                      [&](uint32_t message, uintptr_t, intptr_t, intptr_t& result) {
                        if (message != TestMessage) return false;
                        worker_handled = true;
                        result = 10;
                        return true;
                      });
    worker_window = own.Handle();
    answer = platform::SendWindowMessage(main_handle, TestMessage, 0, 0);
  });
  worker.Start();
  worker.WaitServingSentMessages();
  EXPECT_TRUE(worker_handled);
  EXPECT_EQ(answer, 11);
}

TEST(MessageWindow, CopyDataArrivesWithItsNumberAndBytes) {
  uintptr_t number = 0;
  std::vector<uint8_t> bytes;
  NativeWindow sender_seen = nullptr;
  MessageWindow window(u"UinstallerTestWindowE",
                       [&](uint32_t message, uintptr_t first, intptr_t second, intptr_t& result) {
                         if (message != platform::MessageCopyData) return false;
                         const auto* record = reinterpret_cast<const platform::CopyData*>(second);
                         number = record->Number;
                         const auto* data = static_cast<const uint8_t*>(record->Data);
                         bytes.assign(data, data + record->Size);
                         sender_seen = reinterpret_cast<NativeWindow>(first);
                         result = 0x1234;
                         return true;
                       });
  const char16_t text[] = u"C:\\Program Files\\ZELO\\ZELO.exe";
  intptr_t result = 0;
  platform::WorkerThread worker([&] {
    result = platform::SendCopyData(window.Handle(), window.Handle(), 77, text, sizeof text - 2);
  });
  worker.Start();
  worker.WaitServingSentMessages();
  EXPECT_EQ(result, 0x1234);
  EXPECT_EQ(number, 77u);
  EXPECT_EQ(sender_seen, window.Handle());
  ASSERT_EQ(bytes.size(), sizeof text - 2);
  EXPECT_EQ(String(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2),
            u"C:\\Program Files\\ZELO\\ZELO.exe");
}

TEST(MessageWindow, RegisteredMessageNumbersAreStableAndFindingByClassWorks) {
  const uint32_t first = platform::RegisterWindowMessageName(u"UinstallerTestToken");
  EXPECT_GE(first, 0xC000u);
  EXPECT_EQ(platform::RegisterWindowMessageName(u"UinstallerTestToken"), first);
  EXPECT_NE(platform::RegisterWindowMessageName(u"UinstallerOtherToken"), first);

  MessageWindow window(u"UinstallerTestFindMe",
                       [](uint32_t, uintptr_t, intptr_t, intptr_t&) { return false; });
  EXPECT_EQ(platform::FindMessageWindow(u"UinstallerTestFindMe"), window.Handle());
  EXPECT_EQ(platform::FindMessageWindow(u"UinstallerNoSuchWindow"), nullptr);
}

TEST(WorkerThread, RunsOnlyOnceStartedAndDestructionWaits) {
  std::atomic<int> runs{0};
  {
    platform::WorkerThread worker([&] { ++runs; });
    EXPECT_FALSE(worker.HasStarted());
    worker.Start();
  }
  EXPECT_EQ(runs, 1);
  {
    platform::WorkerThread never_started([&] { ++runs; });
  }
  EXPECT_EQ(runs, 1);
}

}  // namespace
