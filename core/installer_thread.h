// The worker thread of a run: creates the actions of the mode, runs them in order off the main
// thread, reports their progress, and stops at the first failure or when told to.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "core/installer_action.h"
#include "platform/worker_thread.h"

class TInstallerThread {
 public:
  // Created suspended with an empty action list; Start lets it run.
  TInstallerThread();
  // Requests termination, then waits for the thread to end while serving sent messages (the
  // worker may be in the middle of a notification to the main thread), then frees the actions.
  virtual ~TInstallerThread();
  TInstallerThread(const TInstallerThread&) = delete;
  TInstallerThread& operator=(const TInstallerThread&) = delete;

  void Start();
  // Sets the terminated flag and tells the running action (Cancel) under the lock. The action is
  // not interrupted; the loop stops before the next one.
  virtual void TerminateRequest();
  bool Terminated() const { return terminated_; }
  // Waits until the thread body has returned, serving sent messages.
  void WaitFor();

  TInstallerActionList& ActionList() { return action_list_; }

 protected:
  // The thread body: populate, run each action unless terminated, record the first failure,
  // then send ncFinished with the terminated flag.
  virtual void Execute();
  // Creates every action of the mode before the first runs, so the overall progress counts
  // every step from the start.
  virtual void PopulateActions();
  // Sends ncProgress ((average shl 16) or current) and then ncRepaint.
  void ProgressChanged(TInstallerAction& sender);

 private:
  // Runs Action and logs its start, its end or failure, and how long it took.
  void RunLogged(TInstallerAction& action, StringView name);
  void MakeCurrent(TInstallerAction* action);

  TInstallerActionList action_list_;
  // The class name of each action, for the log.
  std::vector<String> action_names_;
  TInstallerAction* current_action_ = nullptr;
  // Guards current_action_ between the worker, which sets it, and the main thread, which cancels
  // it. Never held while a notification is sent: the main thread may take it while handling one.
  std::mutex lock_;
  std::atomic<bool> terminated_{false};
  platform::WorkerThread thread_;
};
