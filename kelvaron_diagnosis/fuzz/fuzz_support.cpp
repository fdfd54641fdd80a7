#include "fuzz_support.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <streambuf>
#include <system_error>

namespace kelvaron_fuzz
{
namespace
{

class NullBuffer : public std::streambuf
{
protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char *, std::streamsize count) override { return count; }
};

// Puts std::cerr's own buffer back before the replacement goes, so output at exit stays defined.
class CerrSilencer
{
public:
  CerrSilencer() : previous_(std::cerr.rdbuf(&buffer_)) {}
  ~CerrSilencer() { std::cerr.rdbuf(previous_); }
  CerrSilencer(const CerrSilencer &) = delete;
  CerrSilencer & operator=(const CerrSilencer &) = delete;

private:
  NullBuffer buffer_;
  std::streambuf * previous_;
};

}  // namespace

void silenceLibraryConsole()
{
  const char * verbose = std::getenv("KELVARON_FUZZ_VERBOSE");
  if (verbose != nullptr && std::string(verbose) == "1") {
    return;
  }
  std::cout.flush();
  const int null_fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null_fd < 0 || ::dup2(null_fd, STDOUT_FILENO) < 0) {
    fail("cannot send standard output to /dev/null");
  }
  ::close(null_fd);
  static CerrSilencer silencer;
}

ScratchFile::ScratchFile(const std::string & name)
{
  std::string pattern = (std::filesystem::temp_directory_path() / "kelvaron_fuzz_XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    fail("cannot create a scratch directory under " + pattern);
  }
  directory_ = pattern;
  path_ = directory_ + "/" + name;
}

ScratchFile::~ScratchFile()
{
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

void ScratchFile::write(const std::string & bytes) const
{
  std::ofstream file(path_, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (file.fail()) {
    fail("cannot write the scratch file " + path_);
  }
}

void fail(const std::string & what)
{
  std::fprintf(stderr, "kelvaron fuzz: property broken: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace kelvaron_fuzz
