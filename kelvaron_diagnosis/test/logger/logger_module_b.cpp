#include <logging/logger.hpp>

#include "logger_module.hpp"

void logger_module_b_report(int value) { LOG_WARN("module b reports {}", value); }
