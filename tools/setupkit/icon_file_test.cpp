// Icon files as "build --icon" reads them: every image found with its directory fields, damaged
// files refused with what is wrong and never read outside, and the icon group that names the
// images once they are a program's resources.
#include "tools/setupkit/icon_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/case_title.h"
#include "tools/setupkit/test_icon_file.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

std::vector<uint8_t> DataOf(const TIconImage& image) {
  return {image.Data.begin(), image.Data.end()};
}

void Set32(std::string& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST(IconFile, ReadsBitmapAndPngImagesWithTheirDirectoryFields) {
  const std::vector<TTestIconImage> images = {{16}, {32, false, 0xFF00FF00}, {256, true}};
  const std::vector<uint8_t> file = Bytes(MakeTestIconFile(images));
  const std::vector<TIconImage> read = ReadIconFile(file);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0].Width, 16);
  EXPECT_EQ(read[0].Height, 16);
  EXPECT_EQ(read[1].Width, 32);
  // 256 pixels are written as 0.
  EXPECT_EQ(read[2].Width, 0);
  EXPECT_EQ(read[2].Height, 0);
  for (size_t i = 0; i < images.size(); ++i) {
    EXPECT_EQ(read[i].Planes, 1);
    EXPECT_EQ(read[i].BitCount, 32);
    EXPECT_EQ(DataOf(read[i]), Bytes(TestIconImageBytes(images[i]))) << i;
  }
}

struct RefusalCase {
  const char* Title;
  std::function<void(std::string&)> Damage;
  const char16_t* Message;
};

class IconFileRefuses : public testing::TestWithParam<RefusalCase> {};

TEST_P(IconFileRefuses, SayingWhatIsWrong) {
  std::string file = MakeTestIconFile({{16}, {32}});
  GetParam().Damage(file);
  try {
    ReadIconFile(Bytes(file));
    FAIL() << "accepted";
  } catch (const EIconFileError& error) {
    EXPECT_EQ(error.Message(), GetParam().Message);
  }
}

// The second entry's size is at 6 + 16 + 8, its offset at 6 + 16 + 12.
INSTANTIATE_TEST_SUITE_P(
    Files, IconFileRefuses,
    testing::Values(
        RefusalCase{"Empty", [](std::string& f) { f.clear(); }, u"is too short to be an icon file"},
        RefusalCase{"Text", [](std::string& f) { f = "hello, world"; },
                    u"is not an icon file (its header is not that of an icon)"},
        RefusalCase{"ReservedNotZero", [](std::string& f) { f[0] = 1; },
                    u"is not an icon file (its header is not that of an icon)"},
        RefusalCase{"Cursor", [](std::string& f) { f[2] = 2; }, u"is a cursor, not an icon"},
        RefusalCase{"Bitmap", [](std::string& f) { f = "BM" + f; },
                    u"is not an icon file (its header is not that of an icon)"},
        RefusalCase{"NoImages", [](std::string& f) { f[4] = 0; }, u"holds no image"},
        RefusalCase{"DirectoryCutShort", [](std::string& f) { f.resize(6 + 16 + 10); },
                    u"is cut short (its directory of 2 images runs past the end)"},
        RefusalCase{"MoreImagesThanTheFileHolds", [](std::string& f) { f[5] = 0x10; },
                    u"is cut short (its directory of 4098 images runs past the end)"},
        RefusalCase{"ImageCutOff", [](std::string& f) { f.resize(f.size() - 1); },
                    u"is damaged (the bytes of image 2 lie outside the file)"},
        RefusalCase{"OffsetPastTheEnd",
                    [](std::string& f) { Set32(f, 6 + 16 + 12, static_cast<uint32_t>(f.size())); },
                    u"is damaged (the bytes of image 2 lie outside the file)"},
        // Offset and size that wrap around 32 bits must not pass as inside the file.
        RefusalCase{"OffsetAndSizeWrap",
                    [](std::string& f) {
                      Set32(f, 6 + 16 + 8, 0xFFFFFFF0);
                      Set32(f, 6 + 16 + 12, 0x20);
                    },
                    u"is damaged (the bytes of image 2 lie outside the file)"},
        RefusalCase{"EmptyImage", [](std::string& f) { Set32(f, 6 + 8, 0); },
                    u"is damaged (image 1 is empty)"},
        RefusalCase{
            "ImageNeitherBitmapNorPng",
            [](std::string& f) { Set32(f, 6 + 2 * 16 + 40 + 16 * 16 * 4 + 64, 0x12345678); },
            u"is damaged (image 2 is neither a bitmap nor a PNG)"}),
    CaseTitle());

// Whatever the file is cut to or whichever byte is damaged, the answer is the images or a
// refusal; the sanitizers catch any read outside the file.
TEST(IconFile, EveryCutAndEveryDamagedByteGivesImagesOrAReason) {
  const std::string file = MakeTestIconFile({{16}, {24, true}});
  const auto attempt = [](const std::string& bytes) {
    try {
      const std::vector<uint8_t> data = Bytes(bytes);
      for (const TIconImage& image : ReadIconFile(data)) {
        EXPECT_GE(image.Data.data(), data.data());
        EXPECT_LE(image.Data.data() + image.Data.size(), data.data() + data.size());
      }
    } catch (const EIconFileError&) {
    }
  };
  for (size_t size = 0; size < 200; ++size) attempt(file.substr(0, size));
  for (size_t i = 0; i < 6 + 2 * 16 + 8; ++i) {
    std::string damaged = file;
    damaged[i] = static_cast<char>(damaged[i] ^ 0xFF);
    attempt(damaged);
  }
}

TEST(IconFile, GroupNamesEachImageByItsResourceNumber) {
  const std::vector<TTestIconImage> images = {{16}, {48}, {256, true}};
  const std::vector<uint8_t> file = Bytes(MakeTestIconFile(images));
  const std::vector<uint8_t> group = EncodeIconGroup(ReadIconFile(file), {4, 9, 2});
  EXPECT_EQ(group, Bytes(MakeTestIconGroup(images, {4, 9, 2})));
  EXPECT_EQ(IconGroupIds(group), (std::vector<uint16_t>{4, 9, 2}));
}

TEST(IconFile, RefusesGroupsItCannotRead) {
  const std::string group = MakeTestIconGroup({{16}, {32}}, {1, 2});
  for (const std::string& damaged : {group.substr(0, 5), group.substr(0, group.size() - 1),
                                     std::string("\0\0\2\0\1\0", 6) + group.substr(6)}) {
    EXPECT_THROW(IconGroupIds(Bytes(damaged)), EIconFileError);
  }
}

}  // namespace
