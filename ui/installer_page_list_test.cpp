#include "ui/installer_page_list.h"

#include <gtest/gtest.h>

#include <string_view>

#include "core/installer_errors.h"
#include "ui/test_page.h"

namespace {

constexpr int None = -1;

int IndexOrNone(const TInstallerPageList& pages, const TInstallerCustomPage* page) {
  const auto index = pages.IndexOf(page);
  return index ? static_cast<int>(*index) : None;
}

struct NavigationCase {
  std::string_view Pattern;  // see AddTestPages
  int From;                  // None: no page
  int Next;
  int Prev;
};

void PrintTo(const NavigationCase& c, std::ostream* os) {
  *os << c.Pattern << " from " << c.From;
}

class PageListNavigation : public testing::TestWithParam<NavigationCase> {};

TEST_P(PageListNavigation, SkipsUnavailablePages) {
  TInstallerPageList pages;
  AddTestPages(pages, GetParam().Pattern);
  const TInstallerCustomPage* from = GetParam().From == None ? nullptr : &pages[GetParam().From];

  EXPECT_EQ(IndexOrNone(pages, pages.GetNext(from)), GetParam().Next);
  EXPECT_EQ(IndexOrNone(pages, pages.GetPrev(from)), GetParam().Prev);
  EXPECT_EQ(pages.CanMoveNext(from), from != nullptr && GetParam().Next != None);
  EXPECT_EQ(pages.CanMoveBack(from), from != nullptr && GetParam().Prev != None);
}

INSTANTIATE_TEST_SUITE_P(Lists, PageListNavigation,
                         testing::Values(
                             // No page: the search for the next one starts at the beginning.
                             NavigationCase{"+++", None, 0, None},
                             NavigationCase{"-++", None, 1, None},
                             NavigationCase{"---", None, None, None},
                             NavigationCase{"", None, None, None},
                             NavigationCase{"+", 0, None, None}, NavigationCase{"+++", 0, 1, None},
                             NavigationCase{"+++", 1, 2, 0}, NavigationCase{"+++", 2, None, 1},
                             // A skipped page in the middle: both directions jump over it.
                             NavigationCase{"++-++", 1, 3, 0}, NavigationCase{"++-++", 3, 4, 1},
                             // Several in a row, and at both ends.
                             NavigationCase{"+--+", 0, 3, None}, NavigationCase{"+--+", 3, None, 0},
                             NavigationCase{"-++-", 1, 2, None}, NavigationCase{"-++-", 2, None, 1},
                             // An unavailable page that is active still finds its neighbours.
                             NavigationCase{"+-+", 1, 2, 0}));

TEST(PageList, FirstAndLastIgnoreAvailability) {
  TInstallerPageList pages;
  EXPECT_EQ(pages.First(), nullptr);
  EXPECT_EQ(pages.Last(), nullptr);
  AddTestPages(pages, "-+-");
  EXPECT_EQ(pages.First(), &pages[0]);
  EXPECT_EQ(pages.Last(), &pages[2]);
}

TEST(PageList, APageOutsideTheListSearchesFromTheStart) {
  TInstallerPageList pages;
  AddTestPages(pages, "-++");
  const TTestPage stranger;
  EXPECT_EQ(pages.IndexOf(&stranger), std::nullopt);
  EXPECT_EQ(pages.GetNext(&stranger), &pages[1]);
  EXPECT_EQ(pages.GetPrev(&stranger), nullptr);
  EXPECT_TRUE(pages.CanMoveNext(&stranger));
  EXPECT_FALSE(pages.CanMoveBack(&stranger));
}

struct PermissionCase {
  bool Back;
  bool Next;
};

class PageListPermission : public testing::TestWithParam<PermissionCase> {};

TEST_P(PageListPermission, ThePageMayForbidLeaving) {
  TInstallerPageList pages;
  AddTestPages(pages, "+++");
  TTestPage& middle = TestPageAt(pages, 1);
  middle.Back = GetParam().Back;
  middle.Next = GetParam().Next;
  EXPECT_EQ(pages.CanMoveBack(&middle), GetParam().Back);
  EXPECT_EQ(pages.CanMoveNext(&middle), GetParam().Next);
  // The neighbours are still there; only moving is refused.
  EXPECT_EQ(pages.GetPrev(&middle), &pages[0]);
  EXPECT_EQ(pages.GetNext(&middle), &pages[2]);
}

INSTANTIATE_TEST_SUITE_P(Answers, PageListPermission,
                         testing::Values(PermissionCase{true, true}, PermissionCase{false, true},
                                         PermissionCase{true, false},
                                         PermissionCase{false, false}));

std::unique_ptr<TInstallerCustomPage> CreateInstallPage() {
  return std::make_unique<TTestPage>(TInstallerPageKind::pkInstall, u"TInstallerPageInstall");
}

TEST(PageList, AddCreatesThePageThroughItsClass) {
  TInstallerPageList pages;
  TInstallerCustomPage& page =
      pages.Add(TInstallerPageClass{u"TInstallerPageInstall", CreateInstallPage});
  ASSERT_EQ(pages.Count(), 1u);
  EXPECT_EQ(&pages[0], &page);
  EXPECT_EQ(page.SectionName(), u"PageInstall");
  EXPECT_TRUE(page.IsInstallPage());
}

TEST(PageList, RefusesAMissingPageOrConstructor) {
  TInstallerPageList pages;
  EXPECT_THROW(pages.Add(TInstallerPageClass{u"TInstallerPageNone", nullptr}),
               EInstallerGeneralError);
  EXPECT_THROW(pages.Add(std::unique_ptr<TInstallerCustomPage>()), EInstallerGeneralError);
  EXPECT_EQ(pages.Count(), 0u);
}

}  // namespace
