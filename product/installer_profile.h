// The player's profiles: where each user's settings live for a given version of the player, and
// the pairs of folders (installed version, version being installed) that an update migrates.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/text.h"

class TVYNUserAccountInfo;

class TInstallerProfileInfo {
 public:
  // The account's user name, or "SingleUser" for the portable profile.
  String Name;
  // The profile folder of the version being installed, with a trailing delimiter.
  String NewPath;
  // The profile folder of the installed version, with a trailing delimiter.
  String OldPath;
};

// Owns its profiles.
class TInstallerProfileInfoList {
 public:
  void Add(std::unique_ptr<TInstallerProfileInfo> profile) { items_.push_back(std::move(profile)); }
  int Count() const { return static_cast<int>(items_.size()); }
  const TInstallerProfileInfo& Items(int index) const {
    return *items_[static_cast<size_t>(index)];
  }

 private:
  std::vector<std::unique_ptr<TInstallerProfileInfo>> items_;
};

class TInstallerProfileHelper {
 public:
  // With an account: its application-data folder and a folder named after the product (version
  // 4000 and later) or "ZELO3" (earlier versions). Without one (the portable profile): the
  // destination's "Profile\" folder. Always with a trailing delimiter.
  static String GetProfilePath(const TVYNUserAccountInfo* account, int32_t version);
  // The profile folder of the version being installed.
  static String GetNewProfilePath(const TVYNUserAccountInfo* account);
  // The profile folder of the installed version.
  static String GetInstalledProfilePath(const TVYNUserAccountInfo* account);
};
