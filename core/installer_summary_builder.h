// The summary of the ready-to-install page, written by the actions themselves: headings, each
// followed by its items; a heading that gets no item does not appear.
#pragma once

#include "platform/text.h"

class TInstallerSummaryBuilder {
 public:
  // Makes Text the pending heading, replacing any pending one.
  void SetHeading(StringView text);
  // SetHeading with the localized text of Section and Key.
  void SetHeadingText(StringView section, StringView key);
  // One line, indented by four blanks, under the pending heading if there is one.
  void AddItem(StringView text);
  void AddItemText(StringView section, StringView key);

  // Lines end with CR LF; groups are separated by one empty line.
  const String& ToString() const { return text_; }

  // The summary of the run the current mode and options would make: every action of it is
  // created only to describe itself, and freed again. The ready-to-install page shows this.
  static String BuildForCurrentRun();

 private:
  String text_;
  String pending_heading_;
};
