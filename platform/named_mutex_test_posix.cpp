// The lock of a holder that was killed: the next run must get it.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>

#include "platform/named_mutex.h"

namespace {

using platform::NamedMutex;

TEST(NamedMutexHost, AKilledHolderLeavesTheLockFree) {
  const String name = u"NamedMutexHost-" + Utf8ToString(std::to_string(std::random_device{}()));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    NamedMutex held;
    const char taken = NamedMutex::TryAcquire(name, held) ? 'y' : 'n';
    if (::write(ready[1], &taken, 1) != 1) ::_exit(1);
    for (;;) ::pause();  // until killed, never letting go
  }
  ::close(ready[1]);
  char taken = 0;
  ASSERT_EQ(::read(ready[0], &taken, 1), 1);
  ::close(ready[0]);
  ASSERT_EQ(taken, 'y');

  NamedMutex mine;
  EXPECT_TRUE(NamedMutex::IsHeld(name));
  EXPECT_FALSE(NamedMutex::TryAcquire(name, mine)) << "another process holds it";

  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_FALSE(NamedMutex::IsHeld(name));
  EXPECT_TRUE(NamedMutex::TryAcquire(name, mine));
}

}  // namespace
