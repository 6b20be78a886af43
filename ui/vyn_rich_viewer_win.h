// A read-only viewer of rich text (the licence, the summary) over the system's rich edit
// control: links are detected and open in the browser, the zoom follows the DPI, and the text
// takes the look's colours after every load (Windows only).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/handle_traits_win.h"
#include "ui/vyn_control_win.h"

class TVYNRichViewer : public TVYNControl {
 public:
  TVYNRichViewer(TVYNForm& form, int id, const TVYNBounds& bounds);

  // Replaces the content with an RTF document; nothing happens for no bytes.
  void LoadFromStream(const std::vector<uint8_t>* rtf);
  // Replaces the content with plain lines (a text that starts as an RTF document is shown
  // formatted).
  void SetText(const String& text);
  int32_t Zoom() const { return zoom_; }

  // Only moves the window and rescales the zoom: a new font would wipe the document's own.
  void ApplyScale() override;
  bool Notify(const NMHDR& header, LRESULT& result) override;
  void LookChanged() override;

 private:
  void ApplyColours();
  void ApplyZoom(int32_t zoom);

  // The colour the viewer gave the text without a colour of its own, for the next change of
  // the look.
  std::optional<COLORREF> plain_text_colour_;
  int32_t zoom_ = 100;
  int dpi_ = 96;
};
