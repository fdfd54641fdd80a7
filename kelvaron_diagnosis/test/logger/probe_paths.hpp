#pragma once

// Paths of the helper programs, given by the build.

#ifndef LOGGER_PROBE_PATH
#error "LOGGER_PROBE_PATH must name the logger_probe program"
#endif
#ifndef MODULES_PROBE_PATH
#error "MODULES_PROBE_PATH must name the modules_probe program"
#endif
#ifndef LOGGER_MODULE_B_PATH
#error "LOGGER_MODULE_B_PATH must name the logger_module_b library"
#endif
#ifndef EXIT_PROBE_PATH
#error "EXIT_PROBE_PATH must name the exit_probe program"
#endif
#ifndef CONSOLE_PROBE_PATH
#error "CONSOLE_PROBE_PATH must name the console_probe program"
#endif
