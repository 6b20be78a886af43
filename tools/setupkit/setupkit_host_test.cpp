// The maker's "build" command finds its default program beside the tool's own executable (the
// host double reports the tool's path).
#include <gtest/gtest.h>

#include "platform/host_double.h"
#include "tests/support/temporary_folder.h"
#include "tiny_program_bytes.h"
#include "tools/setupkit/capturing_console.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/pe_resources.h"
#include "tools/setupkit/setupkit.h"

namespace {

class SetupKitDefaultProgram : public testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile(u"setup\\Install.xml", "<Install/>");
    folder_.WriteFile(u"setup\\English.lng", "[File]\r\nName=English\r\n");
    folder_.WriteFile(u"product\\ZELO.exe", "MZ player");
    platform::HostDouble::SetProgramFileName(Native(u"tool\\setupkit"));
  }
  void TearDown() override { platform::HostDouble::SetProgramFileName(u""); }

  String Native(StringView relative) const { return FromNativePath(folder_.NativePath(relative)); }

  int Build() {
    return RunSetupKit({u"build", u"--setup", Native(u"setup"), u"--product", Native(u"product"),
                        u"-o", Native(u"out.exe")},
                       console_);
  }

  TemporaryFolder folder_;
  CapturingConsole console_;
};

TEST_F(SetupKitDefaultProgram, IsSetupExeBesideTheTool) {
  EXPECT_EQ(Build(), 1);
  EXPECT_NE(console_.error.find(Native(u"tool\\setup.exe")), String::npos)
      << StringToUtf8(console_.error);

  folder_.WriteFile(u"tool\\setup.exe",
                    {reinterpret_cast<const char*>(TinyProgramBytes), sizeof TinyProgramBytes});
  console_ = CapturingConsole();
  ASSERT_EQ(Build(), 0) << StringToUtf8(console_.error);
  const std::string built = folder_.ReadFile(u"out.exe");
  EXPECT_EQ(ReadDataResources(std::vector<uint8_t>(built.begin(), built.end())).size(), 2u);
}

}  // namespace
