// The machine-wide lock: one holder at a time, free again when the holder lets go.
#include "platform/named_mutex.h"

#include <gtest/gtest.h>

#include <utility>

namespace platform {
namespace {

// Names of this test's own, so that a run of the real program is never in the way.
constexpr char16_t First[] = u"uInstaller.Test.NamedMutex.First";
constexpr char16_t Second[] = u"uInstaller.Test.NamedMutex.Second\\with a backslash";

TEST(NamedMutex, OneHolderAtATimeEvenInTheSameThread) {
  NamedMutex held;
  ASSERT_TRUE(NamedMutex::TryAcquire(First, held));
  EXPECT_TRUE(held.IsHeld());
  NamedMutex again;
  EXPECT_FALSE(NamedMutex::TryAcquire(First, again));
  EXPECT_FALSE(again.IsHeld());
  // Another name is another lock.
  NamedMutex other;
  EXPECT_TRUE(NamedMutex::TryAcquire(Second, other));
}

TEST(NamedMutex, IsFreeAgainWhenTheHolderLetsGo) {
  {
    NamedMutex held;
    ASSERT_TRUE(NamedMutex::TryAcquire(First, held));
  }
  NamedMutex after_destruction;
  ASSERT_TRUE(NamedMutex::TryAcquire(First, after_destruction));

  // A move hands the lock over; assigning over a holder lets go of what it held.
  NamedMutex moved = std::move(after_destruction);
  EXPECT_FALSE(after_destruction.IsHeld());
  EXPECT_TRUE(moved.IsHeld());
  NamedMutex probe;
  EXPECT_FALSE(NamedMutex::TryAcquire(First, probe));
  moved = NamedMutex();
  EXPECT_TRUE(NamedMutex::TryAcquire(First, probe));
}

TEST(NamedMutex, AcquiringIntoAHolderLetsGoOfItsOldLockFirst) {
  NamedMutex held;
  ASSERT_TRUE(NamedMutex::TryAcquire(First, held));
  ASSERT_TRUE(NamedMutex::TryAcquire(Second, held));
  NamedMutex probe;
  EXPECT_TRUE(NamedMutex::TryAcquire(First, probe));
}

// Whether another run holds the lock, asked without taking it: asking twice, or while nobody
// holds it, must not leave it held.
TEST(NamedMutex, IsHeldByNameAsksWithoutTaking) {
  constexpr char16_t Name[] = u"uInstaller.Test.NamedMutex.Asked";
  EXPECT_FALSE(NamedMutex::IsHeld(Name));
  EXPECT_FALSE(NamedMutex::IsHeld(Name));
  {
    NamedMutex held;
    ASSERT_TRUE(NamedMutex::TryAcquire(Name, held));
    EXPECT_TRUE(NamedMutex::IsHeld(Name));
    EXPECT_TRUE(NamedMutex::IsHeld(Name));
    EXPECT_TRUE(held.IsHeld()) << "asking does not take the lock from its holder";
    EXPECT_FALSE(NamedMutex::IsHeld(u"uInstaller.Test.NamedMutex.Asked.Other"));
  }
  EXPECT_FALSE(NamedMutex::IsHeld(Name));
  NamedMutex after;
  EXPECT_TRUE(NamedMutex::TryAcquire(Name, after));
}

// A backslash names a kernel namespace of its own on Windows and a slash a folder on the host:
// such names must still lock, and lock nothing but themselves.
TEST(NamedMutex, PathSeparatorsInANameLockOnlyThatName) {
  constexpr char16_t Base[] = u"uInstaller.Test.NamedMutex.Separators";
  constexpr char16_t WithBackslash[] = u"uInstaller.Test.NamedMutex.Separators\\sub";
  constexpr char16_t WithSlash[] = u"uInstaller.Test.NamedMutex.Separators/sub";
  NamedMutex backslash;
  ASSERT_TRUE(NamedMutex::TryAcquire(WithBackslash, backslash));
  EXPECT_TRUE(NamedMutex::IsHeld(WithBackslash));
  NamedMutex again;
  EXPECT_FALSE(NamedMutex::TryAcquire(WithBackslash, again));
  EXPECT_FALSE(NamedMutex::IsHeld(Base));
  NamedMutex slash;
  EXPECT_TRUE(NamedMutex::TryAcquire(WithSlash, slash));
}

}  // namespace
}  // namespace platform
