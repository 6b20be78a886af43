// The lint of the wizard's pictures.
#include "tools/setupkit/picture_lint.h"

#include <algorithm>
#include <cmath>

#include "support/names.h"
#include "tools/setupkit/folder_package.h"

namespace {

constexpr uint8_t PngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Where the wizard draws its pictures, at 96 DPI: the header across the window's 640 pixels
// above the pages, the full-screen pages' side picture down their left edge. At a higher DPI
// the place grows, so a picture this size is the least that stays sharp at 96 DPI.
struct TDrawnPicture {
  const char16_t* Name;
  TPictureSize Size;
};
constexpr TDrawnPicture DrawnPictures[] = {
    {u"header.png", {640, 53}},
    {u"header_dark.png", {640, 53}},
    {u"wizard_light.png", {188, 435}},
    {u"wizard_dark.png", {188, 435}},
};

// A picture stretched to another shape by more than this shows visibly squeezed.
constexpr double MostShapeDifference = 0.10;

uint32_t BigEndian32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
         static_cast<uint32_t>(bytes[at + 2]) << 8 | static_cast<uint32_t>(bytes[at + 3]);
}

String SizeText(const TPictureSize& size) {
  return FormatNumber(size.Width) + u" x " + FormatNumber(size.Height);
}

TLintFinding Finding(TLintSeverity severity, StringView name, String message) {
  TLintFinding finding;
  finding.Severity = severity;
  finding.File = String(name);
  finding.Message = std::move(message);
  return finding;
}

}  // namespace

std::optional<TPictureSize> ReadPngSize(std::span<const uint8_t> bytes) {
  // The signature, then the first chunk, which must be IHDR: length 13, type, width, height.
  constexpr size_t HeaderEnd = 8 + 8 + 8;
  if (bytes.size() < HeaderEnd) return std::nullopt;
  if (!std::equal(std::begin(PngSignature), std::end(PngSignature), bytes.begin())) {
    return std::nullopt;
  }
  if (BigEndian32(bytes, 8) != 13 || bytes[12] != 'I' || bytes[13] != 'H' || bytes[14] != 'D' ||
      bytes[15] != 'R') {
    return std::nullopt;
  }
  const TPictureSize size{BigEndian32(bytes, 16), BigEndian32(bytes, 20)};
  if (size.Width == 0 || size.Height == 0) return std::nullopt;
  return size;
}

std::optional<TPictureSize> DrawnPictureSize(StringView name) {
  for (const TDrawnPicture& picture : DrawnPictures) {
    if (SameName(picture.Name, name)) return picture.Size;
  }
  return std::nullopt;
}

std::vector<TLintFinding> LintPicture(StringView name, std::span<const uint8_t> bytes) {
  std::vector<TLintFinding> findings;
  const std::optional<TPictureSize> size = ReadPngSize(bytes);
  if (!size) {
    findings.push_back(Finding(TLintSeverity::Error, name,
                               u"not a PNG picture: the wizard cannot draw it and stops "
                               u"before it shows; save it as PNG"));
    return findings;
  }
  const std::optional<TPictureSize> drawn = DrawnPictureSize(name);
  if (!drawn) return findings;

  const double shape = static_cast<double>(size->Width) / size->Height;
  const double drawn_shape = static_cast<double>(drawn->Width) / drawn->Height;
  if (std::abs(shape / drawn_shape - 1.0) > MostShapeDifference) {
    findings.push_back(Finding(TLintSeverity::Warning, name,
                               SizeText(*size) + u" pixels, stretched to " + SizeText(*drawn) +
                                   u": it shows distorted; give it that shape"));
  } else if (size->Width < drawn->Width || size->Height < drawn->Height) {
    findings.push_back(Finding(TLintSeverity::Warning, name,
                               SizeText(*size) + u" pixels, drawn at " + SizeText(*drawn) +
                                   u" or larger: it shows blurred; give it " + SizeText(*drawn) +
                                   u" pixels at least"));
  }
  return findings;
}
