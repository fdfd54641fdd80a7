#pragma once

// Two tiny shared libraries, each logging through its own copy of the logger header.

#define LOGGER_MODULE_API __attribute__((visibility("default")))

extern "C" {
LOGGER_MODULE_API void logger_module_a_report(int value);
LOGGER_MODULE_API void logger_module_b_report(int value);
}
