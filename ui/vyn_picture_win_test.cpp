#include "ui/vyn_picture_win.h"
#include "ui/vyn_test_helpers_win.h"

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

// A 2 × 2 RGBA picture: opaque red, green at alpha 128, blue at alpha 0, white at alpha 64.
constexpr uint8_t TinyPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xB6, 0x0D,
    0x24, 0x00, 0x00, 0x00, 0x15, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0xF8, 0xCF, 0xC0, 0xF0,
    0x1F, 0x08, 0x1B, 0x18, 0xC0, 0xF4, 0xFF, 0xFF, 0x0E, 0x00, 0x3F, 0x18, 0x07, 0xBA, 0x92, 0xA4,
    0x5F, 0x25, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

class TVYNPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override { ::CoUninitialize(); }
};

bool Near(uint32_t actual, uint32_t expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > 2) return false;
  }
  return true;
}

TEST_F(TVYNPictureTest, DecodesAPngWithAlphaIntoPremultipliedPixels) {
  TVYNPicture picture;
  ASSERT_TRUE(picture.LoadFromMemory(TinyPng, sizeof(TinyPng)));
  EXPECT_FALSE(picture.IsEmpty());
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_EQ(picture.Height(), 2);

  struct Case {
    int X, Y;
    uint32_t Argb;
  };
  const Case cases[] = {
      {0, 0, 0xFFFF0000},  // opaque: as stored
      {1, 0, 0x80008000},  // half alpha: the colour halved
      {0, 1, 0x00000000},  // transparent: nothing left of the blue
      {1, 1, 0x40404040},  // a quarter alpha over white
  };
  for (const Case& c : cases) {
    EXPECT_EQ(picture.Pixel(c.X, c.Y), c.Argb) << c.X << "," << c.Y;
  }
  EXPECT_EQ(picture.Pixel(2, 0), 0u);
  EXPECT_EQ(picture.Pixel(-1, 0), 0u);
}

TEST_F(TVYNPictureTest, RejectsBytesThatAreNoPicture) {
  const uint8_t truncated_header[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00};
  const uint8_t text[] = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
  TVYNPicture picture;
  ASSERT_TRUE(picture.LoadFromMemory(TinyPng, sizeof(TinyPng)));
  // A failed load must not leave the previous picture behind.
  EXPECT_FALSE(picture.LoadFromMemory(truncated_header, sizeof(truncated_header)));
  EXPECT_TRUE(picture.IsEmpty());
  EXPECT_EQ(picture.Pixel(0, 0), 0u);
  EXPECT_FALSE(picture.LoadFromMemory(text, sizeof(text)));
  EXPECT_FALSE(picture.LoadFromMemory(nullptr, 0));
  EXPECT_FALSE(picture.LoadFromMemory(TinyPng, 0));
  EXPECT_TRUE(picture.IsEmpty());
}

TEST_F(TVYNPictureTest, MovingTakesThePixelsAlong) {
  TVYNPicture original;
  ASSERT_TRUE(original.LoadFromMemory(TinyPng, sizeof(TinyPng)));
  TVYNPicture moved = std::move(original);
  EXPECT_EQ(moved.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_TRUE(original.IsEmpty());      // NOLINT(bugprone-use-after-move): the contract
  EXPECT_EQ(original.Pixel(0, 0), 0u);  // NOLINT(bugprone-use-after-move)
}

TEST_F(TVYNPictureTest, DrawsWithAlphaAndOpacityOverTheBackground) {
  TVYNPicture picture;
  ASSERT_TRUE(picture.LoadFromMemory(TinyPng, sizeof(TinyPng)));
  constexpr uint32_t White = 0xFFFFFF;
  struct Case {
    uint8_t Opacity;
    uint32_t Red, HalfGreen, Transparent;  // the drawn pixels, as 0xRRGGBB
  };
  const Case cases[] = {
      {255, 0xFF0000, 0x7FFF7F, White},
      {128, 0xFF7F7F, 0xBFFFBF, White},
      {0, White, White, White},
  };
  for (const Case& c : cases) {
    const Surface surface(2, 2, White);
    picture.Draw(surface.Dc(), RECT{0, 0, 2, 2}, c.Opacity);
    EXPECT_PRED2(Near, surface.Pixel(0, 0), c.Red) << "opacity " << int{c.Opacity};
    EXPECT_PRED2(Near, surface.Pixel(1, 0), c.HalfGreen) << "opacity " << int{c.Opacity};
    EXPECT_PRED2(Near, surface.Pixel(0, 1), c.Transparent) << "opacity " << int{c.Opacity};
  }
}

TEST_F(TVYNPictureTest, DrawsStretchedOverTheWholeTarget) {
  TVYNPicture picture;
  ASSERT_TRUE(picture.LoadFromMemory(TinyPng, sizeof(TinyPng)));
  const Surface surface(8, 8, 0xFFFFFF);
  picture.Draw(surface.Dc(), RECT{0, 0, 8, 8});
  // Corners come from the matching source pixels, whatever the filter does in between.
  EXPECT_PRED2(Near, surface.Pixel(0, 0), 0xFF0000u);
  EXPECT_PRED2(Near, surface.Pixel(7, 0), 0x7FFF7Fu);
  EXPECT_PRED2(Near, surface.Pixel(0, 7), 0xFFFFFFu);
}

}  // namespace
