# KELVARON_BUILD_FUZZERS=ON builds the libFuzzer targets of fuzz/ (clang only). The whole package
# is then compiled with coverage instrumentation, AddressSanitizer and UBSan, so the fuzzers see
# and check the library's own code; only the fuzz targets link libFuzzer's main.
option(KELVARON_BUILD_FUZZERS "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)
if(KELVARON_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KELVARON_BUILD_FUZZERS needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
