// The maker's tool on Linux: arguments arrive as UTF-8.
#include "tools/setupkit/setupkit.h"

int main(int argc, char** argv) {
  std::vector<String> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(Utf8ToString(argv[i]));
  TStandardConsole console;
  return RunSetupKit(arguments, console);
}
