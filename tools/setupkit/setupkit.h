// The maker's tool: packs, inspects and verifies setup packages and checks installer scripts.
#pragma once

#include <vector>

#include "platform/text.h"
#include "tools/setupkit/tool_console.h"

// Runs one command line (without the program name) and returns the exit code: 0 success,
// 1 the work failed, 2 the command line was wrong.
int RunSetupKit(const std::vector<String>& arguments, TToolConsole& console);
