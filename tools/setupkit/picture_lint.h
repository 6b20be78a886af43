// What lint finds in a picture the wizard draws: bytes that are no PNG picture, which stop the
// wizard before it shows, and a size so far from the place it is drawn into that it shows
// distorted or blurred.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/text.h"
#include "tools/setupkit/script_lint.h"

struct TPictureSize {
  uint32_t Width = 0;
  uint32_t Height = 0;
};

// The size a PNG picture's header gives, or nothing when the bytes are no PNG picture.
std::optional<TPictureSize> ReadPngSize(std::span<const uint8_t> bytes);

// The size, at 96 DPI, of the place the wizard stretches the named picture into; nothing for a
// picture drawn at its own size (the add-ons picture) or one the wizard does not know.
std::optional<TPictureSize> DrawnPictureSize(StringView name);

// The findings for one picture the wizard loads.
std::vector<TLintFinding> LintPicture(StringView name, std::span<const uint8_t> bytes);
