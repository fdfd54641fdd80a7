#pragma once

// Shared by the fuzz targets: a quiet library, a scratch file per process, and fatal checks
// that make libFuzzer keep the input that broke a property.

#include <string>

namespace kelvaron_fuzz
{

// Sends the library's console lines to /dev/null for the rest of the process: standard output
// (the "[INFO]" lines and the logger) at the descriptor, std::cerr at the stream, so that
// libFuzzer's own progress and crash reports on descriptor 2 stay readable.
// KELVARON_FUZZ_VERBOSE=1 keeps everything, for replaying one input by hand.
void silenceLibraryConsole();

// A file in a private scratch directory, rewritten for every input; the directory goes with it.
class ScratchFile
{
public:
  explicit ScratchFile(const std::string & name);
  ~ScratchFile();
  ScratchFile(const ScratchFile &) = delete;
  ScratchFile & operator=(const ScratchFile &) = delete;

  const std::string & path() const { return path_; }
  const std::string & directory() const { return directory_; }
  void write(const std::string & bytes) const;

private:
  std::string directory_;
  std::string path_;
};

// Names the broken property on standard error and aborts.
[[noreturn]] void fail(const std::string & what);

// Takes a fixed text so that passing checks build no message; compose one with fail().
inline void require(bool holds, const char * what)
{
  if (!holds) {
    fail(what);
  }
}

}  // namespace kelvaron_fuzz
