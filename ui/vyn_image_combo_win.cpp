#include "ui/vyn_image_combo_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "platform/windows_text.h"
#include "ui/vyn_form_win.h"

namespace {

// The layout of an icon file's directory, already checked by TVYNIcon.
constexpr size_t IconHeaderSize = 6;
constexpr size_t IconEntrySize = 16;

constexpr int ImageSide = 16;   // at 96 DPI
constexpr int ItemPadding = 2;  // around an item's content, at 96 DPI
// Items shown at once when the list opens; more scroll.
constexpr int VisibleItems = 10;

uint32_t ReadLittleEndian(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

struct IconEntry {
  int Width = 0;
  int BitCount = 0;
  size_t Offset = 0;
  size_t Size = 0;
};

std::vector<IconEntry> ReadIconDirectory(const std::vector<uint8_t>& bytes) {
  std::vector<IconEntry> entries;
  if (!TVYNIcon::IsIconImage(bytes.data(), bytes.size())) return entries;
  const uint32_t count = ReadLittleEndian(bytes.data() + 4, 2);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = bytes.data() + IconHeaderSize + IconEntrySize * i;
    // A width of 0 stands for 256, the largest an entry can name.
    entries.push_back(IconEntry{entry[0] == 0 ? 256 : entry[0],
                                static_cast<int>(ReadLittleEndian(entry + 6, 2)),
                                ReadLittleEndian(entry + 12, 4), ReadLittleEndian(entry + 8, 4)});
  }
  return entries;
}

// Shrinking a larger image keeps its detail; enlarging a smaller one blurs it. Among images of
// the same size the one with the most colours wins.
const IconEntry* ChooseIconEntry(const std::vector<IconEntry>& entries, int size) {
  const IconEntry* best = nullptr;
  for (const IconEntry& entry : entries) {
    if (best == nullptr) {
      best = &entry;
      continue;
    }
    const bool entry_fits = entry.Width >= size;
    const bool best_fits = best->Width >= size;
    if (entry_fits != best_fits) {
      if (entry_fits) best = &entry;
    } else if (entry.Width != best->Width) {
      if (entry_fits ? entry.Width < best->Width : entry.Width > best->Width) best = &entry;
    } else if (entry.BitCount > best->BitCount) {
      best = &entry;
    }
  }
  return best;
}

int FontCellHeight(HWND window) {
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
  const platform::ScopedWindowDc dc(window);
  if (dc.Get() == nullptr) return 0;
  const platform::ScopedSelectObject select(dc.Get(), font);
  TEXTMETRICW metrics{};
  return ::GetTextMetricsW(dc.Get(), &metrics) ? metrics.tmHeight : 0;
}

}  // namespace

platform::ScopedIcon CreateVYNIconHandle(const TVYNIcon& icon, int size) {
  const std::vector<uint8_t>& bytes = icon.Bytes();
  const std::vector<IconEntry> entries = ReadIconDirectory(bytes);
  const IconEntry* entry = ChooseIconEntry(entries, size);
  if (entry == nullptr || size <= 0) return platform::ScopedIcon();
  // The system takes the image without its directory, as a resource holds it (a DIB or a PNG),
  // through a pointer it does not write to but does not declare const.
  std::vector<BYTE> image(bytes.begin() + static_cast<std::ptrdiff_t>(entry->Offset),
                          bytes.begin() + static_cast<std::ptrdiff_t>(entry->Offset + entry->Size));
  return platform::ScopedIcon(::CreateIconFromResourceEx(image.data(),
                                                         static_cast<DWORD>(image.size()), TRUE,
                                                         0x00030000, size, size, LR_DEFAULTCOLOR));
}

TVYNImageComboBox::TVYNImageComboBox(TVYNForm& form, int id, const TVYNBounds& bounds)
    : TVYNControl(form,
                  TVYNWindowTemplate{L"COMBOBOX",
                                     WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST |
                                         CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                                     0, id},
                  bounds) {
  ApplyScale();
}

int TVYNImageComboBox::InsertItem(int index, const String& text, const TVYNIcon& icon) {
  if (Handle() == nullptr) return -1;
  if (index < 0 || index > Count()) index = Count();
  LRESULT data = 0;
  Image image{icon, CreateVYNIconHandle(icon, ImageSize())};
  if (image.Handle) {
    images_.push_back(std::move(image));
    data = static_cast<LRESULT>(images_.size());
  }
  const auto position =
      static_cast<int>(::SendMessageW(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(ToWide(text))));
  if (position < 0) return -1;
  ::SendMessageW(Handle(), CB_SETITEMDATA, static_cast<WPARAM>(position), data);
  return position;
}

void TVYNImageComboBox::Clear() {
  if (Handle() != nullptr) ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
  images_.clear();
}

int TVYNImageComboBox::Count() const {
  return Handle() == nullptr ? 0 : static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
}

String TVYNImageComboBox::ItemText(int index) const {
  if (Handle() == nullptr || index < 0 || index >= Count()) return String();
  const LRESULT length = ::SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return String();
  String text(static_cast<size_t>(length) + 1, u'\0');
  const LRESULT copied = ::SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::max<LRESULT>(copied, 0)));
  return text;
}

bool TVYNImageComboBox::ItemHasImage(int index) const {
  if (Handle() == nullptr || index < 0 || index >= Count()) return false;
  return ItemImage(::SendMessageW(Handle(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0)) !=
         nullptr;
}

int TVYNImageComboBox::ItemIndex() const {
  if (Handle() == nullptr) return -1;
  const LRESULT index = ::SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void TVYNImageComboBox::SetItemIndex(int index) {
  if (Handle() == nullptr) return;
  if (index < 0 || index >= Count()) index = -1;  // selects nothing
  ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TVYNImageComboBox::ImageSize() const {
  return Form().Scale().Apply(ImageSide);
}

void TVYNImageComboBox::ApplyScale() {
  TVYNControl::ApplyScale();
  if (Handle() == nullptr) return;
  if (image_size_ != ImageSize()) MakeImages();
  const int padding = Form().Scale().Apply(ItemPadding);
  const int item_height = std::max(ImageSize(), FontCellHeight(Handle())) + 2 * padding;
  // -1 is the closed box's field, 0 every item of the list.
  ::SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item_height);
  ::SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, item_height);
  ::SendMessageW(Handle(), CB_SETMINVISIBLE, VisibleItems, 0);
}

void TVYNImageComboBox::MakeImages() {
  image_size_ = ImageSize();
  for (Image& image : images_) image.Handle = CreateVYNIconHandle(image.Source, image_size_);
  if (Handle() != nullptr) ::InvalidateRect(Handle(), nullptr, TRUE);
}

const TVYNImageComboBox::Image* TVYNImageComboBox::ItemImage(LRESULT item_data) const {
  if (item_data <= 0 || static_cast<size_t>(item_data) > images_.size()) return nullptr;
  const Image& image = images_[static_cast<size_t>(item_data) - 1];
  return image.Handle ? &image : nullptr;
}

void TVYNImageComboBox::Command(WORD notification) {
  if (notification == CBN_SELCHANGE && OnChange) OnChange();
}

bool TVYNImageComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
  const TVYNLook& look = Form().Look();
  const HDC dc = item.hDC;
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  const bool selected = (item.itemState & ODS_SELECTED) != 0 && enabled;
  // The look's accent behind the selected item, with the look's text colour: readable in both
  // the light and the dark look, where the system's highlight colours are light-only.
  const platform::ScopedBrush background(
      ::CreateSolidBrush(selected ? look.Accent : look.Background));
  ::FillRect(dc, &item.rcItem, background.Get());
  if (item.itemID == static_cast<UINT>(-1)) {  // an empty list or no selection
    if ((item.itemState & ODS_FOCUS) != 0) ::DrawFocusRect(dc, &item.rcItem);
    return true;
  }

  const int padding = Form().Scale().Apply(ItemPadding);
  const int image_size = ImageSize();
  const RECT& rect = item.rcItem;
  if (const Image* image = ItemImage(static_cast<LRESULT>(item.itemData))) {
    const int top = rect.top + (rect.bottom - rect.top - image_size) / 2;
    ::DrawIconEx(dc, rect.left + padding, top, image->Handle.Get(), image_size, image_size, 0,
                 nullptr, DI_NORMAL);
  }
  // Texts start at the same place whether their item has an image or not, so they line up.
  RECT text_rect = rect;
  text_rect.left += 2 * padding + image_size + padding;
  text_rect.right -= padding;
  const String text = ItemText(static_cast<int>(item.itemID));
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
  const platform::ScopedSelectObject select_font(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, enabled ? look.Text : look.DisabledText);
  ::DrawTextW(dc, ToWide(text), static_cast<int>(text.size()), &text_rect,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    ::DrawFocusRect(dc, &item.rcItem);
  }
  return true;
}
