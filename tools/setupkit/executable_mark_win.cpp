// Windows runs a program by its extension: there is no mark to set.
#include "tools/setupkit/executable_mark.h"

void MarkExecutable(StringView) {}
