# libsystemd has no CMake package. The installed logger header reaches it through spdlog's
# journal sink, and the exported library target names PkgConfig::LIBSYSTEMD, so define it here.
find_package(PkgConfig REQUIRED)
if(NOT TARGET PkgConfig::LIBSYSTEMD)
  pkg_check_modules(LIBSYSTEMD REQUIRED IMPORTED_TARGET libsystemd)
endif()
find_package(Threads REQUIRED)
