// Icon bytes: what passes as an icon image and what is refused.
#include "support/icon.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/memory_stream.h"
#include "tests/support/case_title.h"

namespace {

// One 16 x 16 image of four bytes after a directory of one entry.
std::vector<uint8_t> ValidIcon() {
  return {0,    0,    1,    0,   1, 0,  // reserved, type 1 (icon), one image
          16,   16,   0,    0,   1, 0, 32, 0, 4, 0, 0, 0, 22, 0, 0, 0,  // entry: 4 bytes at 22
          0xDE, 0xAD, 0xBE, 0xEF};
}

struct IconCase {
  const char* Title;
  std::function<void(std::vector<uint8_t>&)> Change;
  bool IsIcon;
};

class IconImage : public testing::TestWithParam<IconCase> {};

TEST_P(IconImage, IsRecognisedByItsDirectory) {
  std::vector<uint8_t> bytes = ValidIcon();
  GetParam().Change(bytes);
  EXPECT_EQ(TVYNIcon::IsIconImage(bytes.data(), bytes.size()), GetParam().IsIcon);
}

void SetDoubleWord(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IconImage,
    testing::Values(
        IconCase{"Valid", [](auto&) {}, true},
        IconCase{"ReservedNotZero", [](auto& b) { b[0] = 1; }, false},
        IconCase{"Cursor", [](auto& b) { b[2] = 2; }, false},
        IconCase{"NoImages", [](auto& b) { b[4] = 0; }, false},
        IconCase{"DirectoryBeyondTheBytes", [](auto& b) { b[4] = 2; }, false},
        IconCase{"ImageBeyondTheBytes", [](auto& b) { SetDoubleWord(b, 14, 5); }, false},
        IconCase{"ImageOffsetThatWrapsAround", [](auto& b) { SetDoubleWord(b, 18, 0xFFFFFFFF); },
                 false},
        IconCase{"ImageInsideTheDirectory", [](auto& b) { SetDoubleWord(b, 18, 6); }, false},
        IconCase{"EmptyImage", [](auto& b) { SetDoubleWord(b, 14, 0); }, false},
        IconCase{"ShorterThanAHeader", [](auto& b) { b.resize(5); }, false},
        IconCase{"NoBytes", [](auto& b) { b.clear(); }, false}),
    CaseTitle());

TEST(Icon, KeepsValidBytesAndIsClearedByInvalidOnes) {
  TVYNIcon icon;
  TMemoryStream valid(ValidIcon());
  valid.SetPosition(10);
  EXPECT_TRUE(icon.LoadFromStream(valid));
  EXPECT_EQ(icon.Bytes(), ValidIcon());
  TMemoryStream text(std::vector<uint8_t>{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'c', 'o', 'n'});
  EXPECT_FALSE(icon.LoadFromStream(text));
  EXPECT_TRUE(icon.Empty());
}

}  // namespace
