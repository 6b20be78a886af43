// The lint of the wizard's pictures: what stops the wizard (no PNG) is an error; a size that
// shows distorted or blurred is a warning; a picture drawn at its own size has no size to miss.
#include "tools/setupkit/picture_lint.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/case_title.h"
#include "tools/setupkit/test_picture.h"

namespace {

std::vector<uint8_t> PngHeader(uint32_t width, uint32_t height) {
  const std::string bytes = PngPictureHeader(width, height);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

struct PictureCase {
  const char* Title;
  const char16_t* Name;
  std::vector<uint8_t> Bytes;
  // Empty: no finding.
  std::string Message;
  TLintSeverity Severity = TLintSeverity::Warning;
};

class PictureLint : public testing::TestWithParam<PictureCase> {};

TEST_P(PictureLint, FindsWhatTheWizardWouldShowWrong) {
  const PictureCase& picture = GetParam();
  const auto findings = LintPicture(picture.Name, picture.Bytes);
  if (picture.Message.empty()) {
    for (const TLintFinding& finding : findings) ADD_FAILURE() << StringToUtf8(finding.Message);
    return;
  }
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].Severity, picture.Severity);
  EXPECT_EQ(findings[0].File, picture.Name);
  EXPECT_EQ(StringToUtf8(findings[0].Message), picture.Message);
}

const std::string NoPng =
    "not a PNG picture: the wizard cannot draw it and stops before it shows; save it as PNG";
const std::vector<uint8_t> Jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1,
                                   1,    0,    0,    1,    0, 1,  0,   0,   0,   0,   0, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureLint,
    testing::Values(
        PictureCase{"HeaderAtItsSize", u"header.png", PngHeader(640, 53), ""},
        PictureCase{"SidePictureForHighDpi", u"wizard_dark.png", PngHeader(376, 870), ""},
        PictureCase{"SlightlyOtherShape", u"wizard_light.png", PngHeader(200, 440), ""},
        PictureCase{"AddonsPictureAnySize", u"addons.png", PngHeader(2000, 10), ""},
        PictureCase{"Jpeg", u"header.png", Jpeg, NoPng, TLintSeverity::Error},
        PictureCase{"Empty", u"wizard_light.png", {}, NoPng, TLintSeverity::Error},
        PictureCase{"TruncatedHeader", u"header_dark.png", Truncated(PngHeader(640, 53), 20), NoPng,
                    TLintSeverity::Error},
        PictureCase{"ZeroWidth", u"addons.png", PngHeader(0, 53), NoPng, TLintSeverity::Error},
        PictureCase{"Distorted", u"header.png", PngHeader(640, 480),
                    "640 x 480 pixels, stretched to 640 x 53: it shows distorted; give it that "
                    "shape"},
        PictureCase{"Blurred", u"wizard_light.png", PngHeader(94, 218),
                    "94 x 218 pixels, drawn at 188 x 435 or larger: it shows blurred; give it "
                    "188 x 435 pixels at least"}),
    CaseTitle{});

TEST(PictureLint, NamesAreComparedAsTheInstallerLooksThemUp) {
  EXPECT_TRUE(DrawnPictureSize(u"HEADER.PNG").has_value());
  EXPECT_FALSE(DrawnPictureSize(u"addons.png").has_value());
}

}  // namespace
