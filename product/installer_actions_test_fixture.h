// What the tests of the player's actions share: an installer object with the player as its
// product and its destination in the test's folder, packages a test can add files to, and a host
// double brought back to its defaults after every test (host tests only).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/installer.h"
#include "core/installer_action.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_reader.h"
#include "platform/file_name.h"
#include "platform/host_double.h"
#include "product/product_info_zelo.h"
#include "support/memory_stream.h"

class ProductActionTest : public InstallerTest {
 protected:
  using HostDouble = platform::HostDouble;

  void SetUp() override {
    InstallerTest::SetUp();
    ProductInfoClass = &CreateProductInfo<TProductInfoZELO>;
    HostDouble::ResetRegistry();
    // Actions pause between steps; the tests must not wait for real.
    HostDouble::UseVirtualTime(true);
    ForgetRecords();
  }
  void TearDown() override {
    InstallerTest::TearDown();
    ForgetRecords();
    HostDouble::UseVirtualTime(false);
    HostDouble::SetProgramHandler(nullptr);
    HostDouble::FailTempFolder(false);
    HostDouble::ClearFileFailures();
    HostDouble::RemoveWindows();
    HostDouble::ResetShellFolders();
    HostDouble::ResetEnvironment();
    HostDouble::ResetSystem();
    HostDouble::ResetRegistry();
  }

  // Drops what the double recorded so far, so that a test sees only what its action did.
  static void ForgetRecords() {
    HostDouble::TakePauses();
    HostDouble::TakeCloseRequests();
    HostDouble::TakeStartedPrograms();
    HostDouble::TakeShellExecutions();
    HostDouble::TakeAssociationNotifications();
    HostDouble::TakeRestartDeletes();
  }

  // An interactive installation (no AUTO) into the test's folder.
  TInstaller& CreateInteractive() {
    TInstaller& installer = Create(u"");
    installer.SetDestPath(folder_.Path());
    return installer;
  }

  // Replaces the program's package ("SETUP" or "PRODUCT") by the test product's one with Files
  // (name -> bytes) added, or replacing the entries of the same name. Call before Create.
  static void ExtendPackage(StringView resource, const std::map<String, std::string>& files) {
    TSetupPackageReader original(nullptr, resource);
    TSetupPackageBuilder builder;
    std::vector<std::unique_ptr<TMemoryStream>> contents;
    auto add = [&](std::string_view bytes, StringView name) {
      contents.push_back(
          std::make_unique<TMemoryStream>(std::vector<uint8_t>(bytes.begin(), bytes.end())));
      builder.AddFile(*contents.back(), name);
    };
    for (int i = 0; i < original.FileTable().Count(); ++i) {
      const String& name = original.FileTable().Items(i).Name;
      bool replaced = false;
      for (const auto& file : files) {
        if (platform::SameFileName(file.first, name)) replaced = true;
      }
      if (replaced) continue;
      std::unique_ptr<TMemoryStream> content = original.Extract(name);
      builder.AddFile(*content, name);
      contents.push_back(std::move(content));
    }
    for (const auto& [name, bytes] : files) add(bytes, name);
    TMemoryStream package;
    builder.Commit(package, 0);
    HostDouble::SetDataResource(nullptr, resource, package.TakeBytes());
  }

  // Makes Sections (INI text) the English language file's texts, for tests of localized texts.
  // Call before Create, then InitializeLanguages.
  static void UseEnglishTexts(std::string_view sections) {
    ExtendPackage(u"SETUP", {{u"English.lng",
                              "[File]\r\nName=English\r\nLangId=1033\r\n"
                              "Family=EN\r\n\r\n" +
                                  std::string(sections)}});
  }

  // Runs Action as the worker thread would, recording each progress value it reports.
  void RunAction(TInstallerAction& action) {
    action.OnProgress = [this](TInstallerAction& sender) {
      progress_.push_back(sender.Progress());
    };
    action.Run();
  }

  void WriteFile(StringView relative_name, std::string_view bytes = "x") const {
    folder_.WriteFile(relative_name, bytes);
  }
  bool Exists(StringView relative_name) const {
    return std::filesystem::exists(folder_.NativePath(relative_name));
  }

  std::vector<int> progress_;
};
