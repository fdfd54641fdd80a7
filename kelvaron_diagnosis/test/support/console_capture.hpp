#pragma once

// Captures what the code under test writes to the console, in two views:
//  - the lines written through std::cout and std::cerr (the library's direct "[INFO] ..." and
//    "[ERROR] ..." lines), each tagged with its stream, in the order they were completed;
//  - everything that reached the standard output and standard error descriptors, the process
//    logger's lines included, in the order it was written.
// Captures nest. When the test has failed by the time a capture ends, what it took from the
// descriptors is written out again, so gtest's own failure messages are not lost.

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// One line written through std::cout or std::cerr.
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

class ConsoleCapture
{
public:
  ConsoleCapture();
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture &) = delete;
  ConsoleCapture & operator=(const ConsoleCapture &) = delete;

  // --- Lines written through std::cout and std::cerr ---
  std::vector<ConsoleLine> lines() const;
  // Removes and returns the lines captured so far.
  std::vector<ConsoleLine> take();
  std::vector<std::string> outLines() const;
  std::vector<std::string> errLines() const;
  std::size_t count(const ConsoleLine & line) const;

  // --- Everything written to the descriptors since the capture began ---
  std::string out() const;
  std::string err() const;

private:
  class Descriptor;
  class LineBuf : public std::streambuf
  {
  public:
    LineBuf(ConsoleCapture & owner, ConsoleLine::Stream stream) : owner_(owner), stream_(stream) {}
    void forwardTo(std::streambuf * next) { next_ = next; }

  protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char * text, std::streamsize count) override;
    int sync() override;

  private:
    ConsoleCapture & owner_;
    ConsoleLine::Stream stream_;
    std::streambuf * next_{nullptr};
  };

  void append(ConsoleLine::Stream stream, const char * text, std::size_t count);
  std::vector<std::string> linesOf(ConsoleLine::Stream stream) const;

  mutable std::mutex mutex_;
  std::vector<ConsoleLine> lines_;
  std::map<std::pair<ConsoleLine::Stream, std::thread::id>, std::string> partial_;
  std::unique_ptr<Descriptor> out_descriptor_;
  std::unique_ptr<Descriptor> err_descriptor_;
  LineBuf out_buf_;
  LineBuf err_buf_;
  std::streambuf * saved_out_{nullptr};
  std::streambuf * saved_err_{nullptr};
};
