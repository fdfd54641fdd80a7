#pragma once

#include <string>

namespace kelvaron_check_config
{

// Checks one threshold file exactly as the library loads it: prints the library's own lines,
// then one summary line on standard output ("OK      FILE (N sensors)" or "INVALID FILE").
// Returns whether the file is valid.
bool checkConfigFile(const std::string & path);

}  // namespace kelvaron_check_config
