// The wizard's pages in order, owned by the list, and the navigation over them: unavailable
// pages are skipped by navigation but stay in the list (the step strip still counts them).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "ui/installer_custom_page.h"

class TInstallerPageList {
 public:
  // Creates a page with the class's virtual constructor, appends it and returns it.
  TInstallerCustomPage& Add(const TInstallerPageClass& page_class);
  // Takes a page that was created already and returns it. A missing page or constructor is a
  // fault of the program: EInstallerGeneralError.
  TInstallerCustomPage& Add(std::unique_ptr<TInstallerCustomPage> page);

  size_t Count() const { return pages_.size(); }
  TInstallerCustomPage& operator[](size_t index) const { return *pages_[index]; }
  // The index of Page, or none when it is not in the list.
  std::optional<size_t> IndexOf(const TInstallerCustomPage* page) const;

  // The page at index 0 and the one at the last index, available or not; none when empty.
  TInstallerCustomPage* First() const;
  TInstallerCustomPage* Last() const;
  // The first available page after Page; for a page not in the list (or none) the search
  // starts at index 0. None when there is no such page.
  TInstallerCustomPage* GetNext(const TInstallerCustomPage* page) const;
  // The nearest available page before Page; none for a page not in the list.
  TInstallerCustomPage* GetPrev(const TInstallerCustomPage* page) const;
  // Page is given, lets the user leave it that way, and there is a page to go to.
  bool CanMoveNext(const TInstallerCustomPage* page) const;
  bool CanMoveBack(const TInstallerCustomPage* page) const;

 private:
  std::vector<std::unique_ptr<TInstallerCustomPage>> pages_;
};
