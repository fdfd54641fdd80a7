#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace config_test
{

// A fixed, whole-second modification time far from "now", so tests never race the real clock.
constexpr int64_t kBaseMtimeSeconds = 1600000000;

// One line written to the console, tagged with its stream.
struct ConsoleLine
{
  enum class Stream
  {
    Out,
    Err
  };
  Stream stream;
  std::string text;

  bool operator==(const ConsoleLine & other) const
  {
    return stream == other.stream && text == other.text;
  }
};

ConsoleLine out(std::string text);
ConsoleLine err(std::string text);
std::ostream & operator<<(std::ostream & os, const ConsoleLine & line);

// Captures std::cout and std::cerr as whole lines in the order they were completed, so lines
// of both streams can be checked in one sequence. Threads writing at once get a partial-line
// buffer each, so their lines never mix.
class ConsoleCapture
{
public:
  ConsoleCapture();
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture &) = delete;
  ConsoleCapture & operator=(const ConsoleCapture &) = delete;

  std::vector<ConsoleLine> lines() const;
  // Removes and returns the lines captured so far.
  std::vector<ConsoleLine> take();
  std::vector<std::string> errLines() const;
  std::vector<std::string> outLines() const;
  std::size_t count(const ConsoleLine & line) const;

private:
  class LineBuf : public std::streambuf
  {
  public:
    LineBuf(ConsoleCapture & owner, ConsoleLine::Stream stream) : owner_(owner), stream_(stream) {}

  protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char * text, std::streamsize count) override;

  private:
    ConsoleCapture & owner_;
    ConsoleLine::Stream stream_;
  };

  void append(ConsoleLine::Stream stream, const char * text, std::size_t count);

  mutable std::mutex mutex_;
  std::vector<ConsoleLine> lines_;
  std::map<std::pair<ConsoleLine::Stream, std::thread::id>, std::string> partial_;
  LineBuf out_buf_;
  LineBuf err_buf_;
  std::streambuf * saved_out_;
  std::streambuf * saved_err_;
};

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir
{
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir & operator=(const TempDir &) = delete;

  std::string path(const std::string & name) const { return dir_ + "/" + name; }

private:
  std::string dir_;
};

std::string dataFile(const std::string & name);
std::string readFile(const std::string & path);
void writeFile(const std::string & path, const std::string & content);
// Sets both access and modification time to `seconds` plus `microseconds`.
void setMtime(const std::string & path, int64_t seconds, int64_t microseconds = 0);
// Writes `content` with modification time `seconds` and renames it over `path`, so a reader
// sees either the old or the new file, each with its own time.
void replaceFile(const std::string & path, const std::string & content, int64_t seconds);
// A copy of a test data file, with the given modification time.
void installDataFile(const std::string & name, const std::string & path, int64_t seconds);

// Polls `condition` until it holds or `limit` has passed; true when it held.
bool eventually(
  const std::function<bool()> & condition,
  std::chrono::milliseconds limit = std::chrono::seconds(20));

// Number of threads of this process.
std::size_t threadCount();

}  // namespace config_test
