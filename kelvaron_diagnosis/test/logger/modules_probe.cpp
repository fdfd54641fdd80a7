// Logs from three modules of one process: this program, module a (linked) and module b (loaded
// with dlopen, RTLD_LOCAL, as a plugin would be). They must share one logger.
//
//   modules_probe <path of module b>

#include <dlfcn.h>

#include <logging/logger.hpp>

#include <iostream>

#include "logger_module.hpp"

int main(int argc, char ** argv)
{
  if (argc != 2) {
    std::cerr << "usage: modules_probe <path of module b>\n";
    return 2;
  }
  void * module_b = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (module_b == nullptr) {
    std::cerr << "dlopen: " << ::dlerror() << "\n";
    return 3;
  }
  using Report = void (*)(int);
  const auto report_b = reinterpret_cast<Report>(::dlsym(module_b, "logger_module_b_report"));
  if (report_b == nullptr) {
    std::cerr << "dlsym: " << ::dlerror() << "\n";
    return 3;
  }

  logger_module_a_report(1);
  report_b(2);
  LOG_ERROR("program reports {}", 3);
  logger_module_a_report(4);
  report_b(5);
  return 0;
}
