#pragma once

#include <string_view>

namespace kelvaron
{

// Registration and configuration messages bypass the process logger: each is one line on
// standard output ("[INFO] ...") or standard error ("[ERROR] ..."), written whole under the
// logger's console lock and flushed at once.
void printInfoLine(std::string_view text);
void printErrorLine(std::string_view text);

}  // namespace kelvaron
