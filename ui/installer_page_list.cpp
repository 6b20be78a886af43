#include "ui/installer_page_list.h"

#include "core/installer_errors.h"

TInstallerCustomPage& TInstallerPageList::Add(const TInstallerPageClass& page_class) {
  if (page_class.Create == nullptr)
    throw EInstallerGeneralError(u"Page class " + String(page_class.Name) + u" has no constructor");
  return Add(page_class.Create());
}

TInstallerCustomPage& TInstallerPageList::Add(std::unique_ptr<TInstallerCustomPage> page) {
  if (page == nullptr) throw EInstallerGeneralError(u"No page to add");
  pages_.push_back(std::move(page));
  return *pages_.back();
}

std::optional<size_t> TInstallerPageList::IndexOf(const TInstallerCustomPage* page) const {
  if (page == nullptr) return std::nullopt;
  for (size_t index = 0; index < pages_.size(); ++index) {
    if (pages_[index].get() == page) return index;
  }
  return std::nullopt;
}

TInstallerCustomPage* TInstallerPageList::First() const {
  return pages_.empty() ? nullptr : pages_.front().get();
}

TInstallerCustomPage* TInstallerPageList::Last() const {
  return pages_.empty() ? nullptr : pages_.back().get();
}

TInstallerCustomPage* TInstallerPageList::GetNext(const TInstallerCustomPage* page) const {
  const std::optional<size_t> index = IndexOf(page);
  for (size_t next = index ? *index + 1 : 0; next < pages_.size(); ++next) {
    if (pages_[next]->IsAvailable()) return pages_[next].get();
  }
  return nullptr;
}

TInstallerCustomPage* TInstallerPageList::GetPrev(const TInstallerCustomPage* page) const {
  const std::optional<size_t> index = IndexOf(page);
  if (!index) return nullptr;
  for (size_t previous = *index; previous > 0; --previous) {
    if (pages_[previous - 1]->IsAvailable()) return pages_[previous - 1].get();
  }
  return nullptr;
}

bool TInstallerPageList::CanMoveNext(const TInstallerCustomPage* page) const {
  return page != nullptr && page->CanGoNext() && GetNext(page) != nullptr;
}

bool TInstallerPageList::CanMoveBack(const TInstallerCustomPage* page) const {
  return page != nullptr && page->CanGoBack() && GetPrev(page) != nullptr;
}
