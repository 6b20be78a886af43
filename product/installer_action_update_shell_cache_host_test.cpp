// Telling the shell that the file associations changed.
#include "product/installer_action_update_shell_cache.h"

#include <gtest/gtest.h>

#include "product/installer_actions_test_fixture.h"

namespace {

using UpdateShellCacheTest = ProductActionTest;

TEST_F(UpdateShellCacheTest, NotifiesOnceThenGivesTheShellASecond) {
  CreateAutomatic();
  TInstallerActionUpdateShellCache action;
  RunAction(action);
  EXPECT_EQ(HostDouble::TakeAssociationNotifications(), 1);
  EXPECT_EQ(HostDouble::TakePauses(), std::vector<uint32_t>{1000});
}

}  // namespace
