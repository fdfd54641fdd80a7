#include "sensor_diagnosis/console.hpp"

#include <iostream>

namespace kelvaron
{

void printInfoLine(std::string_view text) { std::cout << "[INFO] " << text << std::endl; }

void printErrorLine(std::string_view text) { std::cerr << "[ERROR] " << text << std::endl; }

}  // namespace kelvaron
