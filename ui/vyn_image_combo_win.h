// A drop-down list (no typing) of items, each a text and a small icon: the language list. It is
// the system's combo box, drawn by the control (CBS_OWNERDRAWFIXED | CBS_HASSTRINGS), so that a
// screen reader or a test driver reads the texts with CB_GETLBTEXT and selects with
// CB_SETCURSEL as in any combo box (Windows only).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/handle_traits_win.h"
#include "support/icon.h"
#include "ui/vyn_control_win.h"

// The image of Icon closest to Size × Size pixels (the smallest at least that large, else the
// largest), scaled to that size; null when the bytes hold no image the system can read.
platform::ScopedIcon CreateVYNIconHandle(const TVYNIcon& icon, int size);

class TVYNImageComboBox : public TVYNControl {
 public:
  // The height of Bounds is that of the box with its list open, as for any drop-down list; the
  // closed box is one item high.
  TVYNImageComboBox(TVYNForm& form, int id, const TVYNBounds& bounds);

  // Inserts an item at Index (the end for an index outside the list) and returns where it went.
  // An empty icon, or one the system cannot read, gives an item without an image, which stays
  // selectable with its text where the others have theirs.
  int InsertItem(int index, const String& text, const TVYNIcon& icon = {});
  int AddItem(const String& text, const TVYNIcon& icon = {}) { return InsertItem(-1, text, icon); }
  void Clear();

  int Count() const;
  String ItemText(int index) const;
  bool ItemHasImage(int index) const;

  // -1 for none.
  int ItemIndex() const;
  // Does not call OnChange: only the user's choices do. -1 (or an index outside the list)
  // selects nothing.
  void SetItemIndex(int index);
  // Called after the user selected another item.
  std::function<void()> OnChange;

  // The side of the icons in pixels at the form's current scale.
  int ImageSize() const;

  void ApplyScale() override;
  void Command(WORD notification) override;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  struct Image {
    TVYNIcon Source;  // kept to remake the icon at another scale
    platform::ScopedIcon Handle;
  };

  void MakeImages();
  const Image* ItemImage(LRESULT item_data) const;

  // Items refer to their image by its index plus one in their item data, so that an item
  // added from outside (data 0) has none.
  std::vector<Image> images_;
  int image_size_ = 0;
};
