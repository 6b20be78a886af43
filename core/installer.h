// The installer object: the hub of one setup run. It decides install or uninstall mode, derives
// the options and the destination, owns the resources, the product information and the error
// list, runs and stops the worker thread, carries the worker's reports to the main thread and
// hands them to the listeners, and finally starts the post-install commands.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/message_box.h"
#include "platform/message_window.h"
#include "platform/text.h"
#include "support/ini_file.h"
#include "support/string_list.h"

class TInstallerExtractHelper;
class TInstallerProductInfo;
class TInstallerResources;
class TInstallerThread;

enum TInstallerMode : uint8_t { imInstall = 0, imUninstall = 1 };

// Option bits, addressed by index.
enum TInstallerOption : int {
  ioAuto = 0,      // AUTO: no pages before the progress page, no language dialog
  ioPortable = 1,  // no registration, no integration
  ioUpdate = 2,    // the destination holds an installation that can be updated
  ioSilent = 3,    // SILENT with AUTO: no window at all
  ioRun = 4,       // RUN: start the program afterwards
  ioNoBackup = 5,  // NOBACKUP: replace without a backup
};
using TInstallerOptions = uint8_t;

constexpr TInstallerOptions OptionBit(TInstallerOption option) {
  return static_cast<TInstallerOptions>(1u << option);
}

enum TInstallerNotification : int32_t {
  ncFinished = 1,    // the worker ended; Param 1 when it was told to terminate
  ncProgress = 2,    // Param (overall shl 16) or current action, both 0 to 100
  ncStatusText = 4,  // Param points to the status text (a String), valid during the call only
  ncChanged = 5,     // a wizard page's input changed
  ncRepaint = 6,     // after every ncProgress
};

enum TInstallerState : uint8_t { isIdle = 0, isRunning = 1, isFinished = 2 };

class IInstallerNotify {
 public:
  virtual ~IInstallerNotify() = default;
  virtual void Notify(int32_t code, intptr_t param) = 0;
};

class TInstaller {
 public:
  // Becomes the process-wide Installer, creates the product information, the resources (which
  // open the packages and read the script), the extraction object and the message window, then
  // parses the command line. Errors propagate to the program entry.
  explicit TInstaller(StringView command_line);
  ~TInstaller();
  TInstaller(const TInstaller&) = delete;
  TInstaller& operator=(const TInstaller&) = delete;

  void ParseCommandLine(StringView command_line);
  // Cleans Path up (NormalizeDestPath: the same clean-up as every target path's), lets the
  // product read what is installed there and re-derives ioUpdate and ioPortable. Nothing happens
  // when the cleaned path equals DestPath exactly. A path that cannot be a destination is kept
  // (a wizard's folder box changes it a letter at a time); Start refuses it.
  void SetDestPath(StringView path);
  // Clears ioUpdate when the destination cannot be updated and ioPortable inside a
  // program-files folder.
  void ValidateOptions();
  bool IsDestPathProtected() const;
  bool HasOption(int index) const;
  void SetOption(int index, bool enabled);
  // Raises "Invalid Arguments" when ioAuto or ioSilent would change: they are fixed per run.
  void SetOptions(TInstallerOptions options);
  bool HasErrors() const { return errors_.Count() > 0; }
  // SUPPRESSMSGBOXES in a silent run: no box at all, not even a question; what a box would have
  // said goes to the log and the exit code.
  bool MessageBoxesSuppressed() const { return message_boxes_suppressed_; }
  // From any thread: a file of the run is deleted or replaced only at the next restart.
  void NoteRestartNeeded() { restart_needed_ = true; }
  bool RestartNeeded() const { return restart_needed_; }

  // Runs the actions of the mode on a worker thread, once; with Wait, returns when it has
  // ended, serving the worker's notifications meanwhile. Before anything runs it refuses an
  // empty destination, one that is not a full path or is a root (DestPathError), and a script
  // whose targets are not all full paths.
  void Start(bool wait);
  // Stops the worker after its current action and waits for it.
  void StopThread();
  // Starts the post-install commands that the user ticked (all of them by default after an
  // automatic update with RUN), through the spawn service.
  void RunPostActions();

  void AddListener(IInstallerNotify* listener);
  void RemoveListener(IInstallerNotify* listener);
  // From any thread: returns once the main thread has dispatched the notification.
  void SendNotification(int32_t code, intptr_t param);
  void SendText(int32_t code, StringView text);
  // Main thread only.
  void DispatchNotification(int32_t code, intptr_t param);
  // From any thread: shows a message box on the main thread and returns the answer; 0 without
  // asking when message boxes are suppressed (the question is logged).
  int AskUser(StringView text, unsigned style);

  const String& DestPath() const { return dest_path_; }
  TInstallerMode Mode() const { return mode_; }
  TInstallerOptions Options() const { return options_; }
  TInstallerState State() const { return state_; }
  TVYNIniFile& OptionStore() { return option_store_; }
  TVYNStringList& Errors() { return errors_; }
  TInstallerProductInfo& ProductInfo() { return *product_info_; }
  TInstallerResources& Resources() { return *resources_; }
  TInstallerExtractHelper& ExtractHelper() { return *extract_helper_; }
  platform::NativeWindow MessageWindowHandle() const { return message_window_->Handle(); }

 private:
  struct Question;

  bool HandleMessage(uint32_t message, uintptr_t first, intptr_t second, intptr_t& result);
  // Main thread: shows the worker's pending question, if there is one, and stores the answer.
  void AnswerPendingQuestion();

  TVYNIniFile option_store_;
  String dest_path_;
  TVYNStringList errors_;
  std::unique_ptr<TInstallerExtractHelper> extract_helper_;
  std::unique_ptr<platform::MessageWindow> message_window_;
  // The worker's question while it waits for the main thread to answer it, and a number that
  // tells one question from the next even when they share an address.
  std::mutex question_lock_;
  Question* pending_question_ = nullptr;
  uint64_t question_number_ = 0;
  std::vector<IInstallerNotify*> listeners_;
  // Recursive: a listener may pump messages and so receive the next notification while the
  // first is still being dispatched on the same thread.
  std::recursive_mutex lock_;
  TInstallerMode mode_ = imInstall;
  TInstallerOptions options_ = 0;
  bool message_boxes_suppressed_ = false;
  std::atomic<bool> restart_needed_{false};
  std::unique_ptr<TInstallerProductInfo> product_info_;
  std::unique_ptr<TInstallerResources> resources_;
  TInstallerState state_ = isIdle;
  std::unique_ptr<TInstallerThread> thread_;
};

// The one installer object of the process, while it exists.
extern TInstaller* Installer;

// Appends Text to the installer object's error list, and to the log.
void AddError(StringView text);
