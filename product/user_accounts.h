// The user accounts of the machine, each with its profile folder and its roaming
// application-data folder: whose player settings to back up, migrate or remove.
#pragma once

#include <memory>
#include <vector>

#include "platform/text.h"

class TVYNUserAccountInfo {
 public:
  String UserName;
  // Both folders end with a backslash. The profile folder is the account's identity.
  String ProfilePath;
  String AppDataPath;

  // The same profile folder, letter case included.
  bool Equals(const TVYNUserAccountInfo& other) const { return ProfilePath == other.ProfilePath; }
};

// A list that owns its accounts and holds each profile folder once: the first entry wins.
class TVYNUserAccountInfoList {
 public:
  // Takes the account, or drops it when an equal one is listed already; true when it was added.
  bool Add(std::unique_ptr<TVYNUserAccountInfo> account);

  size_t Count() const { return items_.size(); }
  const TVYNUserAccountInfo& operator[](size_t index) const { return *items_[index]; }

 private:
  std::vector<std::unique_ptr<TVYNUserAccountInfo>> items_;
};

class TVYNUserAccounts {
 public:
  // Appends the account that runs the program, from the shell's folders, then every account of
  // the machine's profile list (in the registry's order) whose profile folder exists and whose
  // application-data folder can be told. Raises EOSError when the system cannot expand a
  // profile's path; everything else that is missing or unreadable passes the account over.
  static void Populate(TVYNUserAccountInfoList& list);

  // A new list filled by Populate.
  static std::unique_ptr<TVYNUserAccountInfoList> CreateList();
};
