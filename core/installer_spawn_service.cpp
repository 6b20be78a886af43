// The spawn service.
#include "core/installer_spawn_service.h"

#include "platform/environment.h"
#include "platform/exception.h"
#include "platform/shell_execute.h"
#include "platform/system.h"

namespace {

struct SpawnServiceState {
  platform::NativeWindow Target = nullptr;
  bool Owned = false;
  uint32_t Token = 0;
  std::unique_ptr<platform::MessageWindow> Window;
};

SpawnServiceState& State() {
  static SpawnServiceState state;
  return state;
}

// The owned window's procedure: start what the elevated copy asks for, as this process's user.
bool HandleSpawnRequest(uint32_t message, intptr_t second) {
  if (message != platform::MessageCopyData) return false;
  const auto* record = reinterpret_cast<const platform::CopyData*>(second);
  if (record == nullptr || record->Number != State().Token) return false;
  const String text = record->Size < 2
                          ? String()
                          : String(static_cast<const char16_t*>(record->Data), record->Size / 2);
  // The text is copied, so the elevated copy may go on while the shell starts it.
  platform::ReplyToSentMessage();
  // The elevated copy has had its answer already, so a refusal has nobody to go to; the shell
  // shows its own message for a file it cannot open.
  static_cast<void>(platform::ShellOpen(text, u"", u"", platform::ShowDefault));
  // The message then takes its default course as well.
  return false;
}

bool IsVistaOrLater() {
  return platform::GetWindowsVersion().Major >= 6;
}

String ExplorerPath() {
  // By its full path, so that no "explorer.exe" planted in the current folder is taken.
  String path;
  if (!platform::ExpandEnvironmentText(u"%SystemRoot%\\explorer.exe", path)) {
    path = u"explorer.exe";
  }
  return path;
}

}  // namespace

void TInstallerSpawnService::Initialize(platform::NativeWindow window) {
  SpawnServiceState& state = State();
  if (state.Target != nullptr) throw Exception(u"SpawnService is already initialized");
  if (window != nullptr) {
    state.Target = window;
    state.Owned = false;
  } else {
    state.Window = std::make_unique<platform::MessageWindow>(
        u"TInstallerSpawnService", [](uint32_t message, uintptr_t, intptr_t second, intptr_t&) {
          return HandleSpawnRequest(message, second);
        });
    state.Target = state.Window->Handle();
    state.Owned = true;
  }
  state.Token = platform::RegisterWindowMessageName(u"SpawnToken");
}

void TInstallerSpawnService::Spawn(StringView command_line) {
  const SpawnServiceState& state = State();
  if (state.Target == nullptr || state.Owned) {
    // Starting is a courtesy after the work is done (the player, a web page): a refusal must
    // not turn a finished installation into a failed one.
    if (IsVistaOrLater()) {
      static_cast<void>(
          platform::ShellOpen(ExplorerPath(), command_line, u"", platform::ShowDefault));
    } else {
      static_cast<void>(platform::ShellOpen(command_line, u"", u"", platform::ShowDefault));
    }
    return;
  }
  platform::SendCopyData(state.Target, nullptr, state.Token, command_line.data(),
                         static_cast<uint32_t>(command_line.size() * sizeof(char16_t)));
}

void TInstallerSpawnService::Finalize() {
  SpawnServiceState& state = State();
  state.Window.reset();
  state = SpawnServiceState();
}

platform::NativeWindow TInstallerSpawnService::TargetWindow() {
  return State().Target;
}

bool TInstallerSpawnService::Owned() {
  return State().Owned;
}

uint32_t TInstallerSpawnService::Token() {
  return State().Token;
}
