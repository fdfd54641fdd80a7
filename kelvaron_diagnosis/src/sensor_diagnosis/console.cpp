#include "sensor_diagnosis/console.hpp"

#include <iostream>
#include <string>

#include "logging/logger.hpp"

namespace kelvaron
{
namespace
{

void writeTaggedLine(std::ostream & stream, std::string_view tag, std::string_view text)
{
  std::string line;
  line.reserve(tag.size() + text.size() + 1);
  line.append(tag).append(text).push_back('\n');
  brimtale::Logger::writeConsoleLine(stream, line);
}

}  // namespace

void printInfoLine(std::string_view text) { writeTaggedLine(std::cout, "[INFO] ", text); }

void printErrorLine(std::string_view text) { writeTaggedLine(std::cerr, "[ERROR] ", text); }

}  // namespace kelvaron
