// Marking a written program as one that can be run, where the file system records that.
#pragma once

#include "platform/text.h"

// Linux: adds the execute permission wherever the file may be read (so a setup written there
// runs under Wine straight from a shell). Windows runs programs by their extension and has no
// such mark: nothing to do. Failing to mark the file is not an error; the program is complete.
void MarkExecutable(StringView path);
