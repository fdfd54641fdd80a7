// kelvaron_diag_check_config: validates threshold files exactly as the library loads them, so a
// changed file can be checked in CI before it is deployed.
#include <iostream>
#include <string>
#include <vector>

#include "check_config.hpp"

namespace
{

constexpr const char * kUsage =
  "Usage: kelvaron_diag_check_config FILE...\n"
  "\n"
  "Loads each threshold file with the library's own validation and prints the lines the\n"
  "library would print (\"[ERROR] ...\" on standard error, \"[INFO] ...\" on standard output),\n"
  "then one summary line per file on standard output:\n"
  "  OK      FILE (N sensors)\n"
  "  INVALID FILE\n"
  "Exit status: 0 when every file is valid, 1 when any is not, 2 for a usage error.\n";

}  // namespace

int main(int argc, char ** argv)
{
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
      std::cerr << "kelvaron_diag_check_config: unknown option '" << arg << "'\n\n" << kUsage;
      return 2;
    }
    if (arg != "--") {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  bool all_valid = true;
  for (const std::string & path : files) {
    all_valid = kelvaron_check_config::checkConfigFile(path) && all_valid;
  }
  return all_valid ? 0 : 1;
}
