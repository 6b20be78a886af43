// The program entry's refusals and its one error box, seen through the host double.
#include "core/program_entry.h"

#include <gtest/gtest.h>

#include "core/exit_codes.h"
#include "core/installer_product_info.h"
#include "platform/host_double.h"

namespace {

using platform::HostDouble;

class NothingInstalled : public TInstallerProductInfo {
 public:
  bool CanUpdate() const override { return false; }
  bool IsPortable() const override { return false; }
  int32_t GetInstalledVersion() const override { return 0; }
  void LoadInstalledInfo() override {}
  void PopulateActions(const TInstallerPopulateActionsCallback&) const override {}
  void PopulatePages(const TInstallerPopulatePagesCallback&) const override {}
};

class ProgramEntry : public testing::Test {
 protected:
  void SetUp() override {
    HostDouble::TakeMessageBoxes();
    saved_class_ = ProductInfoClass;
  }
  void TearDown() override { ProductInfoClass = saved_class_; }

  TInstallerProductInfoClass saved_class_ = nullptr;
};

TEST_F(ProgramEntry, WithoutAProductClassShowsTheSetupErrorBoxAndFails) {
  ProductInfoClass = nullptr;
  HostDouble::SetProcessCommandLine(u"\"C:\\Downloads\\setup.exe\" /AUTO /SILENT");

  EXPECT_EQ(RunProgramEntry(), ExitFailed);

  const auto boxes = HostDouble::TakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"ProductInfoClass is nil");
  EXPECT_EQ(boxes[0].Caption, u"Setup");
  EXPECT_EQ(boxes[0].Style, platform::MessageBoxOk | platform::MessageBoxIconError);
  EXPECT_EQ(boxes[0].Owner, nullptr);
  EXPECT_EQ(ProgramArgumentText(), u"/AUTO /SILENT");
}

TEST_F(ProgramEntry, WithAProductClassRunsWithoutABox) {
  ProductInfoClass = &CreateProductInfo<NothingInstalled>;
  HostDouble::SetProcessCommandLine(u"setup.exe");

  EXPECT_EQ(RunProgramEntry(), ExitSuccess);
  EXPECT_TRUE(HostDouble::TakeMessageBoxes().empty());
}

}  // namespace
