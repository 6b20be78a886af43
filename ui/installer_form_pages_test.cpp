#include "ui/installer_form_pages.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/installer_errors.h"
#include "ui/test_page.h"

namespace {

struct PageClassEntry {
  StringView Name;
  TInstallerPageKind Kind;
};

constexpr std::array<PageClassEntry, 11> PageClassEntries{{
    {u"TInstallerPageWelcome", TInstallerPageKind::pkFullScreen},
    {u"TInstallerPageLicense", TInstallerPageKind::pkOrdinary},
    {u"TInstallerPageSetup", TInstallerPageKind::pkOrdinary},
    {u"TInstallerPageAddons", TInstallerPageKind::pkOrdinary},
    {u"TInstallerPageIntegration", TInstallerPageKind::pkOrdinary},
    {u"TInstallerPageReadyToInstall", TInstallerPageKind::pkOrdinary},
    {u"TInstallerPageInstall", TInstallerPageKind::pkInstall},
    {u"TInstallerPageFinish", TInstallerPageKind::pkFullScreen},
    {u"TInstallerPageUninstallParams", TInstallerPageKind::pkOrdinary},
    {u"TInstallerPageUninstall", TInstallerPageKind::pkUninstall},
    {u"TInstallerPageUninstallFinish", TInstallerPageKind::pkFullScreen},
}};

template <size_t Index>
std::unique_ptr<TInstallerCustomPage> CreateListedPage() {
  return std::make_unique<TTestPage>(PageClassEntries[Index].Kind, PageClassEntries[Index].Name);
}

template <size_t... Indices>
std::array<TInstallerPageClass, PageClassEntries.size()> MakeClasses(
    std::index_sequence<Indices...>) {
  return {TInstallerPageClass{PageClassEntries[Indices].Name, &CreateListedPage<Indices>}...};
}

const std::array<TInstallerPageClass, PageClassEntries.size()> Classes =
    MakeClasses(std::make_index_sequence<PageClassEntries.size()>());

const TInstallerPageClass* LookUp(StringView name) {
  for (const TInstallerPageClass& page_class : Classes) {
    if (page_class.Name == name) return &page_class;
  }
  return nullptr;
}

// A product that lists the pages a test gives it.
class ListingProductInfo : public TInstallerProductInfo {
 public:
  explicit ListingProductInfo(std::vector<StringView> pages) : pages_(std::move(pages)) {}

  bool CanUpdate() const override { return false; }
  bool IsPortable() const override { return false; }
  int32_t GetInstalledVersion() const override { return 0; }
  void LoadInstalledInfo() override {}
  void PopulateActions(const TInstallerPopulateActionsCallback&) const override {}
  void PopulatePages(const TInstallerPopulatePagesCallback& callback) const override {
    for (const StringView page : pages_) callback(page);
  }

 private:
  std::vector<StringView> pages_;
};

struct PagesCase {
  const char* Name;
  TInstallerMode Mode;
  bool AutoRun;
  std::vector<StringView> ProductPages;
  std::vector<StringView> Sections;
};

void PrintTo(const PagesCase& c, std::ostream* os) {
  *os << c.Name;
}

class WizardPages : public testing::TestWithParam<PagesCase> {};

TEST_P(WizardPages, FollowTheRun) {
  const ListingProductInfo product(GetParam().ProductPages);
  TInstallerPageList pages;
  CreateInstallerPages(pages, product, GetParam().Mode, GetParam().AutoRun, LookUp);
  std::vector<StringView> sections;
  for (size_t index = 0; index < pages.Count(); ++index) {
    sections.push_back(pages[index].SectionName());
  }
  EXPECT_EQ(sections, GetParam().Sections);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, WizardPages,
    testing::Values(
        PagesCase{"interactive install",
                  imInstall,
                  false,
                  {u"TInstallerPageWelcome", u"TInstallerPageLicense", u"TInstallerPageSetup",
                   u"TInstallerPageAddons", u"TInstallerPageIntegration",
                   u"TInstallerPageReadyToInstall"},
                  {u"PageWelcome", u"PageLicense", u"PageSetup", u"PageAddons", u"PageIntegration",
                   u"PageReadyToInstall", u"PageInstall", u"PageFinish"}},
        // A class that is not a page is passed over.
        PagesCase{"unknown class",
                  imInstall,
                  false,
                  {u"TInstallerPageWelcome", u"TSomethingElse", u"TInstallerPageLicense"},
                  {u"PageWelcome", u"PageLicense", u"PageInstall", u"PageFinish"}},
        PagesCase{"automatic install",
                  imInstall,
                  true,
                  {u"TInstallerPageWelcome", u"TInstallerPageLicense"},
                  {u"PageInstall", u"PageFinish"}},
        PagesCase{"interactive uninstall",
                  imUninstall,
                  false,
                  {u"TInstallerPageUninstallParams"},
                  {u"PageUninstallParams", u"PageUninstall", u"PageUninstallFinish"}},
        PagesCase{"automatic uninstall",
                  imUninstall,
                  true,
                  {u"TInstallerPageUninstallParams"},
                  {u"PageUninstall", u"PageUninstallFinish"}}));

TEST(WizardPagesRequired, AMissingRunPageIsAProgrammingFault) {
  const ListingProductInfo product({});
  TInstallerPageList pages;
  const TInstallerPageClassLookup without_finish = [](StringView name) {
    return name == FinishPageClassName ? nullptr : LookUp(name);
  };
  EXPECT_THROW(CreateInstallerPages(pages, product, imInstall, true, without_finish),
               EInstallerGeneralError);
}

}  // namespace
