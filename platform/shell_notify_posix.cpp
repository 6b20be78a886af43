// The host double's shell notices: counted, for tests to see that one was sent.
#include <atomic>

#include "platform/host_double.h"
#include "platform/shell_notify.h"

namespace platform {

namespace {
std::atomic<int> association_notifications{0};
}  // namespace

void NotifyAssociationsChanged() {
  ++association_notifications;
}

int HostDouble::TakeAssociationNotifications() {
  return association_notifications.exchange(0);
}

}  // namespace platform
