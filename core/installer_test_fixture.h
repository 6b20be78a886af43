// What the engine's tests share: a product whose answers a test sets, actions a test scripts,
// and a fixture that makes the test product's packages the program's resources.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "core/installer.h"
#include "core/installer_action.h"
#include "core/installer_product_info.h"
#include "platform/message_window.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/test_packages.h"

// A product whose installation state and action list the test decides.
class FakeProductInfo : public TInstallerProductInfo {
 public:
  struct TState {
    int32_t InstalledVersion = 0;
    bool Portable = false;
    int LoadCount = 0;
    std::vector<const TInstallerActionClass*> Actions;
  };
  static TState& State() {
    static TState state;
    return state;
  }

  bool CanUpdate() const override { return State().InstalledVersion >= 1000; }
  bool IsPortable() const override { return State().Portable; }
  int32_t GetInstalledVersion() const override { return State().InstalledVersion; }
  void LoadInstalledInfo() override { ++State().LoadCount; }
  void PopulateActions(const TInstallerPopulateActionsCallback& callback) const override {
    for (const TInstallerActionClass* action : State().Actions) callback(*action);
  }
  void PopulatePages(const TInstallerPopulatePagesCallback&) const override {}
};

// An action that runs whatever the test gave it for its slot (0, 1 or 2).
template <int Slot>
class ScriptedAction : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"ScriptedAction";
  static std::function<void(TInstallerAction&)>& Body() {
    static std::function<void(TInstallerAction&)> body;
    return body;
  }
  static std::atomic<bool>& Cancelled() {
    static std::atomic<bool> cancelled{false};
    return cancelled;
  }
  void Execute() override {
    if (Body()) Body()(*this);
  }
  void Cancel() override { Cancelled() = true; }
};

// Records every notification, with the thread it arrived on.
class RecordingListener : public IInstallerNotify {
 public:
  struct TRecord {
    int32_t Code;
    intptr_t Param;
    String Text;
    std::thread::id Thread;
  };
  void Notify(int32_t code, intptr_t param) override {
    TRecord record{code, param, {}, std::this_thread::get_id()};
    if (code == ncStatusText) record.Text = *reinterpret_cast<const String*>(param);
    Records.push_back(std::move(record));
  }
  std::vector<TRecord> Records;
};

class InstallerTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallTestPackages();
    saved_class_ = ProductInfoClass;
    ProductInfoClass = &CreateProductInfo<FakeProductInfo>;
    FakeProductInfo::State() = {};
    ScriptedAction<0>::Body() = nullptr;
    ScriptedAction<1>::Body() = nullptr;
    ScriptedAction<2>::Body() = nullptr;
    ScriptedAction<1>::Cancelled() = false;
  }
  void TearDown() override {
    installer_.reset();
    ProductInfoClass = saved_class_;
  }

  TInstaller& Create(StringView command_line) {
    installer_.reset();
    installer_ = std::make_unique<TInstaller>(command_line);
    return *installer_;
  }

  // An automatic installation into the test's folder.
  TInstaller& CreateAutomatic(StringView more_switches = {}) {
    return Create(u"/AUTO=\"" + folder_.Path() + u"\" " + String(more_switches));
  }

  // Lets the main thread handle what the worker sends until Condition holds.
  static void ServeUntil(const std::function<bool()>& condition) {
    while (!condition()) {
      platform::ServePendingSentMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  TemporaryFolder folder_;
  std::unique_ptr<TInstaller> installer_;
  TInstallerProductInfoClass saved_class_ = nullptr;
};
