#include <logging/logger.hpp>

#include "logger_module.hpp"

void logger_module_a_report(int value) { LOG_INFO("module a reports {}", value); }
