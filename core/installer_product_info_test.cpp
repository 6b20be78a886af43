// The product information base: what the script's settings answer, and the installed version
// as text.
#include "core/installer_product_info.h"

#include <gtest/gtest.h>

#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"

namespace {

using ProductInfoTest = InstallerTest;

TEST_F(ProductInfoTest, SettingsOfTheScript) {
  TInstallerProductInfo& product = CreateAutomatic().ProductInfo();
  EXPECT_EQ(product.GetName(), u"ZELO");
  EXPECT_EQ(product.GetPublisher(), u"ZELO Team");
  EXPECT_EQ(product.GetHomePage(), u"https://zelo.example/");
  EXPECT_EQ(product.GetVersionId(), 5000);
  EXPECT_EQ(product.GetFullVersion(), u"5.0, 2026-12-01");
  EXPECT_EQ(product.GetVersionNo(), u"5.0.0.1");
  EXPECT_EQ(product.GetDefaultPath(), installer_->Resources().ProgramFilesFolder() + u"ZELO\\");
  EXPECT_TRUE(product.GetDefaultPortablePath().ends_with(u"\\ZELO\\"));
}

TEST_F(ProductInfoTest, InstalledVersionAsText) {
  TInstallerProductInfo& product = CreateAutomatic().ProductInfo();
  const std::pair<int32_t, const char16_t*> cases[] = {
      {0, u"0.00"},    {4512, u"4.51"}, {3900, u"3.90"}, {4005, u"4.00"},
      {4099, u"4.09"}, {5032, u"5.03"}, {-7, u"0.00"}};
  for (const auto& [version, text] : cases) {
    FakeProductInfo::State().InstalledVersion = version;
    EXPECT_EQ(product.GetInstalledVersionText(), text) << version;
  }
}

}  // namespace
