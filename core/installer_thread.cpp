// The worker thread of a run.
#include "core/installer_thread.h"

#include <cstdio>

#include "core/installer.h"
#include "core/installer_log.h"
#include "core/installer_product_info.h"
#include "platform/clock.h"
#include "platform/exception.h"
#include "platform/shell_execute.h"

TInstallerThread::TInstallerThread() : thread_([this] { Execute(); }) {}

TInstallerThread::~TInstallerThread() {
  TerminateRequest();
  thread_.WaitServingSentMessages();
}

void TInstallerThread::Start() {
  thread_.Start();
}

void TInstallerThread::TerminateRequest() {
  if (terminated_.exchange(true)) return;
  std::lock_guard lock(lock_);
  if (current_action_ != nullptr) current_action_->Cancel();
}

void TInstallerThread::WaitFor() {
  thread_.WaitServingSentMessages();
}

void TInstallerThread::Execute() {
  // Shortcuts are shell link objects, and the shell may hand a verb to a COM handler: the
  // actions need the worker inside an apartment of its own.
  const platform::ShellApartment apartment;
  try {
    PopulateActions();
    for (int i = 0; i < action_list_.Count(); ++i) {
      if (terminated_) break;
      TInstallerAction& action = action_list_.Items(i);
      MakeCurrent(&action);
      RunLogged(action, action_names_[static_cast<size_t>(i)]);
    }
  } catch (const EOSError& error) {
    TInstallerLog::WriteSystemError(error.ErrorCode(), {});
    AddError(error.Message());
  } catch (const Exception& error) {
    AddError(error.Message());
  } catch (const std::exception& error) {
    // A failure of a library rather than one of ours: still the run's error, so that the run
    // ends reported instead of silently.
    AddError(Utf8ToString(error.what()));
  }
  Installer->SendNotification(ncFinished, terminated_ ? 1 : 0);
}

void TInstallerThread::PopulateActions() {
  Installer->ProductInfo().PopulateActions([this](const TInstallerActionClass& action_class) {
    std::unique_ptr<TInstallerAction> action = action_class.Create();
    action->OnProgress = [this](TInstallerAction& sender) { ProgressChanged(sender); };
    action_list_.Add(std::move(action));
    action_names_.emplace_back(action_class.Name);
  });
}

void TInstallerThread::RunLogged(TInstallerAction& action, StringView name) {
  TInstallerLog::Write(u"Action started: " + String(name));
  const uint64_t start = platform::MonotonicMilliseconds();
  const auto duration = [start] {
    const uint64_t elapsed = platform::MonotonicMilliseconds() - start;
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%03llu s",
                  static_cast<unsigned long long>(elapsed / 1000),
                  static_cast<unsigned long long>(elapsed % 1000));
    return Utf8ToString(text);
  };
  try {
    action.Run();
  } catch (...) {
    TInstallerLog::Write(u"Action failed: " + String(name) + u" after " + duration());
    throw;
  }
  TInstallerLog::Write(u"Action ended: " + String(name) + u" after " + duration());
}

void TInstallerThread::MakeCurrent(TInstallerAction* action) {
  {
    std::lock_guard lock(lock_);
    current_action_ = action;
  }
  if (action != nullptr) ProgressChanged(*action);
}

void TInstallerThread::ProgressChanged(TInstallerAction&) {
  int current = 0;
  {
    std::lock_guard lock(lock_);
    if (current_action_ != nullptr) current = current_action_->Progress();
  }
  const int average = action_list_.AverageProgress();
  Installer->SendNotification(ncProgress, (average << 16) | (current & 0xFFFF));
  Installer->SendNotification(ncRepaint, 0);
}
