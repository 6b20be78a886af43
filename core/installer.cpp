// The installer object.
#include "core/installer.h"

#include <algorithm>
#include <exception>

#include "core/installer_action_extract.h"
#include "core/installer_errors.h"
#include "core/installer_extract_helper.h"
#include "core/installer_log.h"
#include "core/installer_path.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "core/installer_spawn_service.h"
#include "core/installer_thread.h"
#include "core/installer_user_interface.h"
#include "platform/file_system.h"
#include "support/command_line.h"
#include "support/format_text.h"
#include "support/names.h"

TInstaller* Installer = nullptr;

struct TInstaller::Question {
  String Text;
  unsigned Style;
  int Answer;
};

namespace {

// A question for the user, handed from the worker to the main thread.
constexpr uint32_t MessageAskUser = platform::MessageUser + 1;

// ioAuto and ioSilent: decided by the command line, fixed for the run.
constexpr TInstallerOptions FixedOptions = OptionBit(ioAuto) | OptionBit(ioSilent);

bool StartsWithIgnoringCase(StringView text, StringView prefix) {
  return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

}  // namespace

void AddError(StringView text) {
  TInstallerLog::WriteError(text);
  Installer->Errors().Add(text);
}

TInstaller::TInstaller(StringView command_line) {
  Installer = this;
  try {
    product_info_ = ProductInfoClass();
    resources_ = std::make_unique<TInstallerResources>();
    extract_helper_ = std::make_unique<TInstallerExtractHelper>();
    message_window_ = std::make_unique<platform::MessageWindow>(
        u"TInstaller",
        [this](uint32_t message, uintptr_t first, intptr_t second, intptr_t& result) {
          return HandleMessage(message, first, second, result);
        });
    ParseCommandLine(command_line);
  } catch (...) {
    Installer = nullptr;
    throw;
  }
}

TInstaller::~TInstaller() {
  // The worker may still report; it ends while everything it reports to is alive. The product,
  // extraction and resources objects go next, while they can still reach the installer.
  thread_.reset();
  product_info_.reset();
  extract_helper_.reset();
  resources_.reset();
  Installer = nullptr;
}

void TInstaller::ParseCommandLine(StringView command_line) {
  String value;
  if (resources_->ProductPackage().Contains(u"Uninstall.ini")) {
    // The uninstaller's destination comes from its PATH switch (the program entry).
    mode_ = imUninstall;
    options_ = 0;
    if (HasSwitch(command_line, u"AUTO")) {
      options_ |= OptionBit(ioAuto);
      if (HasSwitch(command_line, u"SILENT")) options_ |= OptionBit(ioSilent);
    }
    message_boxes_suppressed_ = HasOption(ioSilent) && HasSwitch(command_line, u"SUPPRESSMSGBOXES");
    return;
  }
  mode_ = imInstall;
  if (!GetSwitch(command_line, u"AUTO", value)) {
    options_ = OptionBit(ioUpdate);
    SetDestPath(product_info_->GetDefaultPath());
    return;
  }
  options_ = OptionBit(ioAuto);
  // Refused before the product looks at the folder, let alone before anything is written.
  const String destination =
      NormalizeDestPath(value.empty() ? product_info_->GetDefaultPath() : value);
  if (const String error = DestPathError(destination); !error.empty()) {
    throw EInstallerInstallError(error);
  }
  SetDestPath(destination);
  if (HasSwitch(command_line, u"NOBACKUP")) options_ |= OptionBit(ioNoBackup);
  if (HasSwitch(command_line, u"RUN")) options_ |= OptionBit(ioRun);
  if (HasSwitch(command_line, u"UPDATE")) {
    if (!product_info_->CanUpdate()) {
      throw EInstallerUpdateError(
          FormatText(u"Cannot install update on v%s", {product_info_->GetInstalledVersionText()}));
    }
    // An accepted update takes the installation as it is: PORTABLE and SILENT are not read.
    return;
  }
  if (HasSwitch(command_line, u"PORTABLE")) options_ |= OptionBit(ioPortable);
  if (HasSwitch(command_line, u"SILENT")) options_ |= OptionBit(ioSilent);
  message_boxes_suppressed_ = HasOption(ioSilent) && HasSwitch(command_line, u"SUPPRESSMSGBOXES");
}

void TInstaller::SetDestPath(StringView path) {
  // Cleaned once, here, exactly as every target path is (ExpandPath): the product's files,
  // Uninstall.exe, Uninstall.dat and the registration all name this one folder.
  String normalized = NormalizeDestPath(path);
  if (normalized == dest_path_) return;
  dest_path_ = std::move(normalized);

  product_info_->LoadInstalledInfo();
  if (product_info_->CanUpdate()) {
    options_ |= OptionBit(ioUpdate);
    // An updatable portable installation stays portable; a non-portable one leaves a portable
    // choice alone.
    if (product_info_->IsPortable()) options_ |= OptionBit(ioPortable);
  } else {
    options_ &= static_cast<TInstallerOptions>(~OptionBit(ioUpdate));
  }
  ValidateOptions();
}

void TInstaller::ValidateOptions() {
  if (!product_info_->CanUpdate()) {
    options_ &= static_cast<TInstallerOptions>(~OptionBit(ioUpdate));
  }
  if (IsDestPathProtected()) options_ &= static_cast<TInstallerOptions>(~OptionBit(ioPortable));
}

bool TInstaller::IsDestPathProtected() const {
  return StartsWithIgnoringCase(dest_path_, resources_->ProgramFilesFolder()) ||
         StartsWithIgnoringCase(dest_path_, resources_->ProgramFilesX86Folder());
}

bool TInstaller::HasOption(int index) const {
  return index >= 0 && index <= 7 && (options_ & (1u << index)) != 0;
}

void TInstaller::SetOption(int index, bool enabled) {
  TInstallerOptions options = options_;
  if (index >= 0 && index <= 7) {
    const auto bit = static_cast<TInstallerOptions>(1u << index);
    options = enabled ? static_cast<TInstallerOptions>(options | bit)
                      : static_cast<TInstallerOptions>(options & ~bit);
  }
  SetOptions(options);
}

void TInstaller::SetOptions(TInstallerOptions options) {
  if (options == options_) return;
  if ((options ^ options_) & FixedOptions) throw EInstallerMysteryError(u"Invalid Arguments");
  options_ = options;
  ValidateOptions();
}

void TInstaller::Start(bool wait) {
  if (state_ != isIdle) return;
  if (dest_path_.empty()) throw EInstallerInstallError(u"DestPath is empty");
  // A relative destination would be written relative to whatever folder is current, and a
  // drive's root would be cleared on uninstall: neither may start a run, whoever set it.
  if (const String error = DestPathError(dest_path_); !error.empty()) {
    throw EInstallerInstallError(error);
  }
  if (mode_ == imInstall) TInstallerActionExtract::CheckTargets(resources_->Script());
  ValidateOptions();
  state_ = isRunning;
  thread_ = std::make_unique<TInstallerThread>();
  thread_->Start();
  if (wait) thread_->WaitFor();
}

void TInstaller::StopThread() {
  std::unique_ptr<TInstallerThread> thread = std::move(thread_);
  thread.reset();
}

void TInstaller::RunPostActions() {
  if (HasErrors() || mode_ == imUninstall) return;
  // After an automatic update asked to RUN, every command starts unless the user said no.
  constexpr TInstallerOptions RunAfterUpdate =
      OptionBit(ioAuto) | OptionBit(ioUpdate) | OptionBit(ioRun);
  const bool default_choice = (options_ & RunAfterUpdate) == RunAfterUpdate;
  const TInstallerScriptGroup& actions = resources_->Script().Actions;
  for (int i = 0; i < actions.Count(); ++i) {
    const String& name = actions.Items(i).Name;
    if (option_store_.ReadBool(u"Actions", name, default_choice)) {
      TInstallerSpawnService::Spawn(resources_->ExpandPathVariables(name));
    }
  }
}

void TInstaller::AddListener(IInstallerNotify* listener) {
  std::lock_guard lock(lock_);
  listeners_.push_back(listener);
}

void TInstaller::RemoveListener(IInstallerNotify* listener) {
  std::lock_guard lock(lock_);
  std::erase(listeners_, listener);
}

void TInstaller::SendNotification(int32_t code, intptr_t param) {
  platform::SendWindowMessage(message_window_->Handle(), platform::MessageUser,
                              static_cast<uintptr_t>(code), param);
}

void TInstaller::SendText(int32_t code, StringView text) {
  platform::SendCopyData(message_window_->Handle(), message_window_->Handle(),
                         static_cast<uintptr_t>(code), text.data(),
                         static_cast<uint32_t>(text.size() * sizeof(char16_t)));
}

void TInstaller::DispatchNotification(int32_t code, intptr_t param) {
  std::lock_guard lock(lock_);
  if (code == ncFinished) {
    state_ = isFinished;
    if (param != 0) AddError(resources_->GetString(u"Common", u"E4"));
  }
  // From the most recently added; a listener may remove itself while it is told.
  const std::vector<IInstallerNotify*> listeners = listeners_;
  for (auto listener = listeners.rbegin(); listener != listeners.rend(); ++listener) {
    if (std::find(listeners_.begin(), listeners_.end(), *listener) != listeners_.end()) {
      (*listener)->Notify(code, param);
    }
  }
}

int TInstaller::AskUser(StringView text, unsigned style) {
  if (message_boxes_suppressed_) {
    TInstallerLog::Write(u"Not asked (message boxes are suppressed): " + String(text));
    return 0;
  }
  Question question{String(text), style, 0};
  // The question travels beside the message, not in it: the window can be found by its class,
  // and a pointer taken from another process's message must never be written through.
  {
    std::lock_guard guard(question_lock_);
    pending_question_ = &question;
    ++question_number_;
  }
  platform::SendWindowMessage(message_window_->Handle(), MessageAskUser, 0, 0);
  std::lock_guard guard(question_lock_);
  pending_question_ = nullptr;
  return question.Answer;
}

void TInstaller::AnswerPendingQuestion() {
  Question asked{};
  uint64_t number = 0;
  {
    std::lock_guard guard(question_lock_);
    if (pending_question_ == nullptr) return;
    asked = *pending_question_;
    number = question_number_;
  }
  String caption = resources_->GetString(u"Common", u"Caption");
  if (caption.empty()) caption = u"Setup";
  const int answer =
      platform::ShowMessageBox(InstallerOwnerWindow(), asked.Text, caption, asked.Style);
  // A box opened by a stray message may outlive the question: the asker has moved on by then.
  std::lock_guard guard(question_lock_);
  if (pending_question_ != nullptr && question_number_ == number)
    pending_question_->Answer = answer;
}

bool TInstaller::HandleMessage(uint32_t message, uintptr_t first, intptr_t second,
                               intptr_t& result) {
  result = 0;
  switch (message) {
    case platform::MessageUser: try { DispatchNotification(static_cast<int32_t>(first), second);
      } catch (const Exception& error) {
        // A listener failed on the main thread; the run records it rather than letting the
        // exception cross the window system.
        AddError(error.Message());
      } catch (const std::exception& error) {
        AddError(Utf8ToString(error.what()));
      }
      return true;
    case platform::MessageCopyData: {
      const auto* record = reinterpret_cast<const platform::CopyData*>(second);
      // Only our own sends: another process could post anything to a window it finds.
      if (record == nullptr || first != reinterpret_cast<uintptr_t>(message_window_->Handle())) {
        return true;
      }
      const String text =
          record->Size < 2 ? String()
                           : String(static_cast<const char16_t*>(record->Data), record->Size / 2);
      try {
        DispatchNotification(static_cast<int32_t>(record->Number),
                             reinterpret_cast<intptr_t>(&text));
      } catch (...) {
        // A failing status display must not stop the run.
      }
      return true;
    }
    case MessageAskUser: AnswerPendingQuestion(); return true;
    default: return false;
  }
}
