#include "ui/vyn_image_combo_win.h"
#include "ui/vyn_test_helpers_win.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/handle_traits_win.h"
#include "platform/windows_text.h"
#include "ui/vyn_form_win.h"

namespace {

constexpr uint32_t Red = 0xFF0000;
constexpr uint32_t Blue = 0x0000FF;

void PutWord(std::vector<uint8_t>& bytes, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An icon file with one opaque square image of one colour (0xRRGGBB) per entry.
struct IconImage {
  int Side;
  uint32_t Colour;
};

std::vector<uint8_t> MakeIconFile(const std::vector<IconImage>& images) {
  std::vector<std::vector<uint8_t>> bitmaps;
  for (const IconImage& image : images) {
    std::vector<uint8_t> bitmap;
    PutWord(bitmap, 40, 4);  // BITMAPINFOHEADER
    PutWord(bitmap, static_cast<uint32_t>(image.Side), 4);
    PutWord(bitmap, static_cast<uint32_t>(2 * image.Side), 4);  // colour and mask rows
    PutWord(bitmap, 1, 2);
    PutWord(bitmap, 32, 2);
    for (int i = 0; i < 6; ++i) PutWord(bitmap, 0, 4);
    for (int i = 0; i < image.Side * image.Side; ++i) PutWord(bitmap, 0xFF000000 | image.Colour, 4);
    const int mask_row = (image.Side + 31) / 32 * 4;
    bitmap.insert(bitmap.end(), static_cast<size_t>(mask_row * image.Side), 0);  // opaque
    bitmaps.push_back(std::move(bitmap));
  }
  std::vector<uint8_t> file;
  PutWord(file, 0, 2);
  PutWord(file, 1, 2);
  PutWord(file, static_cast<uint32_t>(images.size()), 2);
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    file.push_back(static_cast<uint8_t>(images[i].Side == 256 ? 0 : images[i].Side));
    file.push_back(static_cast<uint8_t>(images[i].Side == 256 ? 0 : images[i].Side));
    PutWord(file, 0, 2);
    PutWord(file, 1, 2);
    PutWord(file, 32, 2);
    PutWord(file, static_cast<uint32_t>(bitmaps[i].size()), 4);
    PutWord(file, offset, 4);
    offset += static_cast<uint32_t>(bitmaps[i].size());
  }
  for (const auto& bitmap : bitmaps) file.insert(file.end(), bitmap.begin(), bitmap.end());
  return file;
}

TVYNIcon MakeIcon(const std::vector<IconImage>& images) {
  TVYNIcon icon;
  EXPECT_TRUE(icon.LoadFromBytes(MakeIconFile(images)));
  return icon;
}

uint32_t Rgb(COLORREF colour) {
  return static_cast<uint32_t>(GetRValue(colour)) << 16 |
         static_cast<uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
}

String ListText(HWND combo, int index) {
  wchar_t buffer[256] = {};
  const auto length = ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(buffer));
  return length < 0 ? String(u"<error>") : FromWide(buffer, static_cast<size_t>(length));
}

TEST(TVYNIconHandleTest, TakesTheSmallestImageAtLeastAsLargeElseTheLargest) {
  struct Case {
    std::vector<IconImage> Images;
    int Size;
    uint32_t Colour;
  };
  const Case cases[] = {
      {{{32, Blue}, {16, Red}}, 16, Red},
      {{{16, Red}, {32, Blue}}, 24, Blue},  // shrunk from 32, not blown up from 16
      {{{16, Red}, {32, Blue}}, 32, Blue},
      {{{16, Red}, {32, Blue}}, 48, Blue},  // nothing that large: the largest
      {{{48, Blue}, {32, Red}, {256, Blue}}, 24, Red},
      {{{32, Blue}}, 16, Blue},
  };
  for (const Case& c : cases) {
    const platform::ScopedIcon handle = CreateVYNIconHandle(MakeIcon(c.Images), c.Size);
    ASSERT_TRUE(handle) << c.Size;
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(handle.Get(), &info));
    const platform::ScopedBitmap colour(info.hbmColor);
    const platform::ScopedBitmap mask(info.hbmMask);
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, c.Size);
    EXPECT_EQ(bitmap.bmHeight, c.Size);

    Surface surface(64, 64, 0xFFFFFF);
    ::DrawIconEx(surface.Dc(), 0, 0, handle.Get(), c.Size, c.Size, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(surface.Pixel(c.Size / 2, c.Size / 2), c.Colour) << c.Size;
  }
}

TEST(TVYNIconHandleTest, NoIconForNoImage) {
  EXPECT_FALSE(CreateVYNIconHandle(TVYNIcon(), 16));
  EXPECT_FALSE(CreateVYNIconHandle(MakeIcon({{16, Red}}), 0));
  // A directory that is sound around an image the system cannot read.
  std::vector<uint8_t> bytes = MakeIconFile({{16, Red}});
  for (size_t i = 22; i < bytes.size(); ++i) bytes[i] = 0xEE;
  TVYNIcon garbage;
  ASSERT_TRUE(garbage.LoadFromBytes(bytes));
  EXPECT_FALSE(CreateVYNIconHandle(garbage, 16));
}

class TVYNImageComboBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { form_.Show(SW_SHOWNOACTIVATE); }

  TVYNForm form_{TVYNFormOptions{.Dpi = 96}};
};

TEST_F(TVYNImageComboBoxTest, ItemsAreReadableAsInAnyComboBox) {
  TVYNImageComboBox languages(form_, 7, TVYNBounds{8, 8, 204, 200});
  EXPECT_EQ(languages.Count(), 0);
  EXPECT_EQ(languages.ItemIndex(), -1);
  EXPECT_EQ(languages.AddItem(u"English", MakeIcon({{16, Red}})), 0);
  EXPECT_EQ(languages.AddItem(u"Русский"), 1);
  EXPECT_EQ(languages.InsertItem(1, u"Deutsch", MakeIcon({{16, Blue}})), 1);
  EXPECT_EQ(languages.InsertItem(99, u"Português"), 3);  // past the end: appended
  TVYNIcon unreadable;
  std::vector<uint8_t> bytes = MakeIconFile({{16, Red}});
  for (size_t i = 22; i < bytes.size(); ++i) bytes[i] = 0xEE;
  ASSERT_TRUE(unreadable.LoadFromBytes(bytes));
  EXPECT_EQ(languages.InsertItem(0, u"Čeština", unreadable), 0);

  struct Item {
    String Text;
    bool HasImage;
  };
  const Item expected[] = {{u"Čeština", false},
                           {u"English", true},
                           {u"Deutsch", true},
                           {u"Русский", false},
                           {u"Português", false}};
  ASSERT_EQ(::SendMessageW(languages.Handle(), CB_GETCOUNT, 0, 0), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ListText(languages.Handle(), i), expected[i].Text) << i;
    EXPECT_EQ(languages.ItemText(i), expected[i].Text) << i;
    EXPECT_EQ(languages.ItemHasImage(i), expected[i].HasImage) << i;
  }
  EXPECT_EQ(languages.ItemText(5), u"");
  EXPECT_FALSE(languages.ItemHasImage(-1));

  // A list, not an edit: there is nothing to type into.
  EXPECT_EQ(::FindWindowExW(languages.Handle(), nullptr, L"Edit", nullptr), nullptr);
  // An item a driver adds has no image, and does not borrow another item's.
  ::SendMessageW(languages.Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Added"));
  EXPECT_EQ(languages.ItemText(5), u"Added");
  EXPECT_FALSE(languages.ItemHasImage(5));

  languages.Clear();
  EXPECT_EQ(languages.Count(), 0);
  EXPECT_EQ(languages.AddItem(u"Italiano"), 0);
  EXPECT_FALSE(languages.ItemHasImage(0));
}

TEST_F(TVYNImageComboBoxTest, OnlyTheUsersSelectionCallsOnChange) {
  TVYNImageComboBox languages(form_, 7, TVYNBounds{8, 8, 204, 200});
  for (const char16_t* name : {u"Deutsch", u"English", u"Français"}) languages.AddItem(name);
  int changes = 0;
  int seen = -2;
  languages.OnChange = [&] {
    ++changes;
    seen = languages.ItemIndex();
  };

  languages.SetItemIndex(1);
  EXPECT_EQ(languages.ItemIndex(), 1);
  EXPECT_EQ(::SendMessageW(languages.Handle(), CB_GETCURSEL, 0, 0), 1);
  wchar_t shown[64] = {};
  ::GetWindowTextW(languages.Handle(), shown, 64);
  EXPECT_EQ(FromWide(shown), u"English");
  EXPECT_EQ(changes, 0);

  // The user picks an item: the list selects it and tells the form, as the system does.
  ::SendMessageW(languages.Handle(), CB_SETCURSEL, 2, 0);
  ::SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(7, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(languages.Handle()));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(seen, 2);

  for (const int outside : {-1, 3, -7}) {
    languages.SetItemIndex(outside);
    EXPECT_EQ(languages.ItemIndex(), -1) << outside;
  }
  EXPECT_EQ(changes, 1);
}

TEST(TVYNImageComboBoxScaleTest, ImagesAndItemsGrowWithTheDpi) {
  struct Case {
    int Dpi;
    int ImageSize;
  };
  const Case cases[] = {{96, 16}, {144, 24}, {192, 32}};
  for (const Case& c : cases) {
    TVYNForm form(TVYNFormOptions{.Dpi = c.Dpi});
    TVYNImageComboBox languages(form, 7, TVYNBounds{8, 8, 204, 200});
    languages.AddItem(u"English", MakeIcon({{16, Red}, {32, Blue}}));
    EXPECT_EQ(languages.ImageSize(), c.ImageSize);
    // Every item, and the closed box's field, has room for its icon.
    EXPECT_GE(::SendMessageW(languages.Handle(), CB_GETITEMHEIGHT, 0, 0), c.ImageSize) << c.Dpi;
    EXPECT_GE(::SendMessageW(languages.Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0),
              c.ImageSize)
        << c.Dpi;
  }

  // A DPI change remakes the icons at the new size.
  TVYNForm form(TVYNFormOptions{.Dpi = 96});
  TVYNImageComboBox languages(form, 7, TVYNBounds{8, 8, 204, 200});
  languages.AddItem(u"English", MakeIcon({{16, Red}, {32, Blue}}));
  RECT suggested{0, 0, 1000, 800};
  ::SendMessageW(form.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(languages.ImageSize(), 24);
  const LRESULT item_height = ::SendMessageW(languages.Handle(), CB_GETITEMHEIGHT, 0, 0);
  EXPECT_GE(item_height, 24);
  Surface surface(300, 60, 0);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_COMBOBOX;
  item.itemID = 0;
  item.hwndItem = languages.Handle();
  item.hDC = surface.Dc();
  item.rcItem = RECT{0, 0, 200, static_cast<LONG>(item_height)};
  item.itemData = static_cast<ULONG_PTR>(::SendMessageW(languages.Handle(), CB_GETITEMDATA, 0, 0));
  ASSERT_TRUE(languages.DrawItem(item));
  // 24 pixels are shrunk from the 32-pixel image, which is blue.
  EXPECT_EQ(surface.Pixel(3 + 12, static_cast<int>(item_height) / 2), Blue);
}

TEST_F(TVYNImageComboBoxTest, ItemsAreDrawnInTheLooksColours) {
  TVYNImageComboBox languages(form_, 7, TVYNBounds{8, 8, 204, 200});
  languages.AddItem(u"E", MakeIcon({{16, Red}}));
  languages.AddItem(u"F");
  struct Case {
    TVYNLook Look;
    UINT Item;
    UINT State;
    COLORREF TVYNLook::*Background;
  };
  const Case cases[] = {
      {TVYNLook::Light(), 0, 0, &TVYNLook::Background},
      {TVYNLook::Dark(), 0, 0, &TVYNLook::Background},
      {TVYNLook::Dark(), 1, ODS_SELECTED, &TVYNLook::Accent},
      {TVYNLook::Light(), 1, ODS_SELECTED, &TVYNLook::Accent},
      // A disabled box shows no selection.
      {TVYNLook::Dark(), 0, ODS_SELECTED | ODS_DISABLED, &TVYNLook::Background},
  };
  for (const Case& c : cases) {
    form_.SetLook(c.Look);
    Surface surface(300, 30, 0x123456);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.itemID = c.Item;
    item.itemState = c.State;
    item.hwndItem = languages.Handle();
    item.hDC = surface.Dc();
    item.rcItem = RECT{0, 0, 200, 22};
    item.itemData =
        static_cast<ULONG_PTR>(::SendMessageW(languages.Handle(), CB_GETITEMDATA, c.Item, 0));
    ASSERT_TRUE(languages.DrawItem(item));
    EXPECT_EQ(surface.Pixel(190, 11), Rgb(c.Look.*c.Background)) << c.Item << " " << c.State;
    EXPECT_EQ(surface.Pixel(250, 11), 0x123456u) << "drawn outside its rectangle";
    if (c.Item == 0) {
      EXPECT_EQ(surface.Pixel(10, 11), Red);
    }
  }
  // No item (an empty list or no selection) is just the background.
  Surface surface(300, 30, 0x123456);
  DRAWITEMSTRUCT none{};
  none.CtlType = ODT_COMBOBOX;
  none.itemID = static_cast<UINT>(-1);
  none.hwndItem = languages.Handle();
  none.hDC = surface.Dc();
  none.rcItem = RECT{0, 0, 200, 22};
  ASSERT_TRUE(languages.DrawItem(none));
  EXPECT_EQ(surface.Pixel(100, 11), Rgb(form_.Look().Background));
}

}  // namespace
