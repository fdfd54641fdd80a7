#include "config_test_support.hpp"

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace config_test
{

ConsoleLine out(std::string text) { return ConsoleLine{ConsoleLine::Stream::Out, std::move(text)}; }
ConsoleLine err(std::string text) { return ConsoleLine{ConsoleLine::Stream::Err, std::move(text)}; }

std::ostream & operator<<(std::ostream & os, const ConsoleLine & line)
{
  return os << (line.stream == ConsoleLine::Stream::Out ? "stdout: " : "stderr: ") << line.text;
}

ConsoleCapture::ConsoleCapture()
: out_buf_(*this, ConsoleLine::Stream::Out)
, err_buf_(*this, ConsoleLine::Stream::Err)
, saved_out_(std::cout.rdbuf(&out_buf_))
, saved_err_(std::cerr.rdbuf(&err_buf_))
{
}

ConsoleCapture::~ConsoleCapture()
{
  std::cout.rdbuf(saved_out_);
  std::cerr.rdbuf(saved_err_);
}

ConsoleCapture::LineBuf::int_type ConsoleCapture::LineBuf::overflow(int_type ch)
{
  if (!traits_type::eq_int_type(ch, traits_type::eof())) {
    const char c = traits_type::to_char_type(ch);
    owner_.append(stream_, &c, 1);
  }
  return traits_type::not_eof(ch);
}

std::streamsize ConsoleCapture::LineBuf::xsputn(const char * text, std::streamsize count)
{
  owner_.append(stream_, text, static_cast<std::size_t>(count));
  return count;
}

void ConsoleCapture::append(ConsoleLine::Stream stream, const char * text, std::size_t count)
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::string & partial = partial_[{stream, std::this_thread::get_id()}];
  for (std::size_t i = 0; i < count; ++i) {
    if (text[i] == '\n') {
      lines_.push_back(ConsoleLine{stream, partial});
      partial.clear();
    } else {
      partial.push_back(text[i]);
    }
  }
}

std::vector<ConsoleLine> ConsoleCapture::lines() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

std::vector<ConsoleLine> ConsoleCapture::take()
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<ConsoleLine> taken;
  taken.swap(lines_);
  return taken;
}

std::vector<std::string> ConsoleCapture::errLines() const
{
  std::vector<std::string> texts;
  for (const auto & line : lines()) {
    if (line.stream == ConsoleLine::Stream::Err) {
      texts.push_back(line.text);
    }
  }
  return texts;
}

std::vector<std::string> ConsoleCapture::outLines() const
{
  std::vector<std::string> texts;
  for (const auto & line : lines()) {
    if (line.stream == ConsoleLine::Stream::Out) {
      texts.push_back(line.text);
    }
  }
  return texts;
}

std::size_t ConsoleCapture::count(const ConsoleLine & wanted) const
{
  std::size_t found = 0;
  for (const auto & line : lines()) {
    if (line == wanted) {
      ++found;
    }
  }
  return found;
}

TempDir::TempDir()
{
  const char * base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/kelvaron_config_XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::system_error(errno, std::generic_category(), "mkdtemp");
  }
  dir_ = pattern;
}

TempDir::~TempDir()
{
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string dataFile(const std::string & name)
{
  return std::string(KELVARON_TEST_DATA_DIR) + "/config/" + name;
}

std::string readFile(const std::string & path)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + path);
  }
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const std::string & path, const std::string & content)
{
  std::ofstream outfile(path, std::ios::binary | std::ios::trunc);
  outfile << content;
  if (!outfile.flush()) {
    throw std::runtime_error("cannot write " + path);
  }
}

void setMtime(const std::string & path, int64_t seconds, int64_t microseconds)
{
  timeval times[2];
  times[0].tv_sec = static_cast<time_t>(seconds);
  times[0].tv_usec = static_cast<suseconds_t>(microseconds);
  times[1] = times[0];
  if (::utimes(path.c_str(), times) != 0) {
    throw std::system_error(errno, std::generic_category(), "utimes " + path);
  }
}

void replaceFile(const std::string & path, const std::string & content, int64_t seconds)
{
  const std::string staged = path + ".staged";
  writeFile(staged, content);
  setMtime(staged, seconds);
  std::filesystem::rename(staged, path);
}

void installDataFile(const std::string & name, const std::string & path, int64_t seconds)
{
  replaceFile(path, readFile(dataFile(name)), seconds);
}

bool eventually(const std::function<bool()> & condition, std::chrono::milliseconds limit)
{
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return condition();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::size_t threadCount()
{
  std::size_t count = 0;
  for ([[maybe_unused]] const auto & entry :
       std::filesystem::directory_iterator("/proc/self/task")) {
    ++count;
  }
  return count;
}

}  // namespace config_test
