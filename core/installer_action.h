// Actions: the steps of a run (close the player, prepare, extract, configure, ...), each an
// object of a class derived from TInstallerAction, created from its class alone.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/text.h"

class TInstallerAction;
class TInstallerSummaryBuilder;
class TInstallerProductInfo;
class TInstallerResources;
class TInstallerScript;
class TVYNIniFile;
struct TInstallerScriptFile;

// Base of actions and of the product's update tasks. It is owned by whoever created it.
class TInstallerPersistent {
 public:
  virtual ~TInstallerPersistent() = default;
};

// A class reference for actions: the product lists action classes, and the worker thread and
// the ready-to-install page create the objects themselves.
struct TInstallerActionClass {
  const char16_t* Name;
  std::unique_ptr<TInstallerAction> (*Create)();

  // The class reference of Action, which must be default-constructible.
  template <class Action>
  static const TInstallerActionClass& Of() {
    static const TInstallerActionClass reference{
        Action::ClassName,
        []() -> std::unique_ptr<TInstallerAction> { return std::make_unique<Action>(); }};
    return reference;
  }
};

class TInstallerAction : public TInstallerPersistent {
 public:
  TInstallerAction() = default;

  // Does the action's work; failures are exceptions.
  virtual void Execute() = 0;
  // Adds the action's lines to the ready-to-install summary; nothing by default.
  virtual void BuildSummary(TInstallerSummaryBuilder& builder);
  // Told, under the thread's lock, that the run is being stopped; the action may end early.
  virtual void Cancel() {}

  // Execute, then SetProgress(100).
  void Run();
  // Stores Value (0 to 100) and tells OnProgress when it differs from the current one.
  void SetProgress(int value);
  // Shows Text as the current step of the run (ncStatusText).
  void SetStatus(StringView text);
  // The localized text of Section and Key, path variables expanded.
  String GetText(StringView section, StringView key) const;
  String GetCommonText(StringView key) const;
  // Writes one Components entry of the script to its destination.
  void ExtractFile(const TInstallerScriptFile& file);
  // Creates Path with all missing parents; raises the localized Common/E3 text on failure.
  void MakeDirectory(StringView path);

  // The run's objects, through the installer object.
  TInstallerProductInfo& ProductInfo() const;
  TInstallerResources& Resources() const;
  const TInstallerScript& Script() const;
  TVYNIniFile& OptionStore() const;

  int Progress() const { return progress_; }
  std::function<void(TInstallerAction&)> OnProgress;

 private:
  int progress_ = 0;
};

// Owns its actions.
class TInstallerActionList {
 public:
  void Add(std::unique_ptr<TInstallerAction> action) { actions_.push_back(std::move(action)); }
  int Count() const { return static_cast<int>(actions_.size()); }
  TInstallerAction& Items(int index) const { return *actions_[static_cast<size_t>(index)]; }
  // The sum of the actions' progress divided by their number, remainder dropped; 0 when empty.
  int AverageProgress() const;

 private:
  std::vector<std::unique_ptr<TInstallerAction>> actions_;
};
