#include "support/console_capture.hpp"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "logging/logger.hpp"

ConsoleLine out(std::string text) { return ConsoleLine{ConsoleLine::Stream::Out, std::move(text)}; }
ConsoleLine err(std::string text) { return ConsoleLine{ConsoleLine::Stream::Err, std::move(text)}; }

std::ostream & operator<<(std::ostream & os, const ConsoleLine & line)
{
  return os << (line.stream == ConsoleLine::Stream::Out ? "stdout: " : "stderr: ") << line.text;
}

// Points one standard descriptor at an unlinked temporary file while it lives.
class ConsoleCapture::Descriptor
{
public:
  Descriptor(int fd, std::FILE * stream) : fd_(fd), stream_(stream)
  {
    std::fflush(stream_);
    std::string pattern =
      (std::filesystem::temp_directory_path() / "kelvaron_console_XXXXXX").string();
    file_ = ::mkstemp(pattern.data());
    if (file_ < 0) {
      throw std::system_error(errno, std::generic_category(), "mkstemp");
    }
    ::unlink(pattern.c_str());
    saved_ = ::dup(fd_);
    ::dup2(file_, fd_);
  }

  ~Descriptor()
  {
    std::fflush(stream_);
    ::dup2(saved_, fd_);
    ::close(saved_);
    ::close(file_);
  }

  Descriptor(const Descriptor &) = delete;
  Descriptor & operator=(const Descriptor &) = delete;

  std::string text() const
  {
    std::fflush(stream_);
    std::string content;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
      const ssize_t n = ::pread(file_, buffer, sizeof(buffer), offset);
      if (n > 0) {
        content.append(buffer, static_cast<std::size_t>(n));
        offset += n;
      } else if (n == 0 || errno != EINTR) {
        return content;
      }
    }
  }

  // Writes what was captured to the descriptor as it was before.
  void replay() const
  {
    const std::string content = text();
    const std::string heading = "--- captured console output ---\n";
    [[maybe_unused]] ssize_t ignored = ::write(saved_, heading.data(), heading.size());
    ignored = ::write(saved_, content.data(), content.size());
  }

private:
  int fd_;
  std::FILE * stream_;
  int file_{-1};
  int saved_{-1};
};

ConsoleCapture::ConsoleCapture()
: out_descriptor_(std::make_unique<Descriptor>(STDOUT_FILENO, stdout))
, err_descriptor_(std::make_unique<Descriptor>(STDERR_FILENO, stderr))
, out_buf_(*this, ConsoleLine::Stream::Out)
, err_buf_(*this, ConsoleLine::Stream::Err)
{
  // The library writes its lines under the console lock: swapping the buffers under it too
  // keeps a line of a running thread from meeting a buffer half swapped.
  std::lock_guard<std::mutex> lock(brimtale::Logger::consoleMutex());
  saved_out_ = std::cout.rdbuf(&out_buf_);
  saved_err_ = std::cerr.rdbuf(&err_buf_);
  // Lines written through the streams still reach the descriptors, where they keep their place
  // among the lines written there directly.
  out_buf_.forwardTo(saved_out_);
  err_buf_.forwardTo(saved_err_);
}

ConsoleCapture::~ConsoleCapture()
{
  {
    std::lock_guard<std::mutex> lock(brimtale::Logger::consoleMutex());
    std::cout.rdbuf(saved_out_);
    std::cerr.rdbuf(saved_err_);
  }
  if (::testing::Test::HasFailure()) {
    out_descriptor_->replay();
    err_descriptor_->replay();
  }
}

ConsoleCapture::LineBuf::int_type ConsoleCapture::LineBuf::overflow(int_type ch)
{
  if (!traits_type::eq_int_type(ch, traits_type::eof())) {
    const char c = traits_type::to_char_type(ch);
    owner_.append(stream_, &c, 1);
    if (next_ != nullptr) {
      next_->sputc(c);
    }
  }
  return traits_type::not_eof(ch);
}

std::streamsize ConsoleCapture::LineBuf::xsputn(const char * text, std::streamsize count)
{
  owner_.append(stream_, text, static_cast<std::size_t>(count));
  if (next_ != nullptr) {
    next_->sputn(text, count);
  }
  return count;
}

int ConsoleCapture::LineBuf::sync() { return next_ != nullptr ? next_->pubsync() : 0; }

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

std::vector<std::string> ConsoleCapture::linesOf(ConsoleLine::Stream stream) const
{
  std::vector<std::string> texts;
  for (const auto & line : lines()) {
    if (line.stream == stream) {
      texts.push_back(line.text);
    }
  }
  return texts;
}

std::vector<std::string> ConsoleCapture::outLines() const
{
  return linesOf(ConsoleLine::Stream::Out);
}

std::vector<std::string> ConsoleCapture::errLines() const
{
  return linesOf(ConsoleLine::Stream::Err);
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

std::string ConsoleCapture::out() const
{
  std::cout.flush();
  return out_descriptor_->text();
}

std::string ConsoleCapture::err() const
{
  std::cerr.flush();
  return err_descriptor_->text();
}
