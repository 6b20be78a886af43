// What the program changes on the machine, told to whoever keeps a record.
#include "platform/change_observer.h"

#include <atomic>

#include "platform/os_error.h"

namespace platform {

namespace {

std::atomic<ChangeObserver> observer{nullptr};

}  // namespace

void SetChangeObserver(ChangeObserver new_observer) {
  observer.store(new_observer);
}

void ReportChange(Change change, StringView subject, StringView detail) {
  const ChangeObserver current = observer.load();
  if (current == nullptr) return;
  const uint32_t error = GetLastOSError();
  current(change, subject, detail);
  SetLastOSError(error);
}

bool Reported(bool succeeded, Change change, StringView subject, StringView detail) {
  if (succeeded) ReportChange(change, subject, detail);
  return succeeded;
}

}  // namespace platform
