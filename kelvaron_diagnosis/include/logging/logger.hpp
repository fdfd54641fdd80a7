#pragma once

// Process-wide logger: numbered lines on standard output and, when asked, in the systemd
// journal. Settings come from SPDLOG_STDOUT, SPDLOG_SYSTEMD and SPDLOG_LEVEL, read once on the
// first log call of the process.
//
//   LOG_WARN("Sensor topic not registered: {}", topic);  // "  5 [WARN] Sensor topic ..."

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fmt/format.h>
#include <spdlog/common.h>
#include <spdlog/details/console_globals.h>
#include <spdlog/logger.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/ansicolor_sink.h>
// The sink is instantiated with our own lock type below, which the compiled spdlog library
// does not carry: its member definitions must be visible here.
#include <spdlog/sinks/ansicolor_sink-inl.h>
#include <spdlog/sinks/systemd_sink.h>

// The journal sink pulls in <syslog.h>, whose LOG_INFO priority constant would shadow the
// entry point of the same name below.
#ifdef LOG_INFO
#undef LOG_INFO
#endif

// Every module of a process that includes this header must reach the same instance, even when
// built with hidden visibility; exporting the class exports the static in Instance() and its
// initialisation guard.
#if defined(_WIN32)
#define BRIMTALE_LOGGER_PUBLIC
#else
#define BRIMTALE_LOGGER_PUBLIC __attribute__((visibility("default")))
#endif

namespace brimtale
{
namespace detail
{

// Storage for a process-wide object that is built on first use and never destroyed. A host
// that keeps its Diagnosis at namespace scope or in a function-local static constructs it
// before the logger, so static destruction would otherwise tear the logger down first and the
// object's destructor would log through a dead one.
template <typename T>
class NeverDestroyed
{
public:
  template <typename... Args>
  explicit NeverDestroyed(Args &&... args)
  {
    ::new (static_cast<void *>(storage_)) T(std::forward<Args>(args)...);
  }
  T & get() { return *std::launder(reinterpret_cast<T *>(storage_)); }

private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace detail

class BRIMTALE_LOGGER_PUBLIC Logger
{
public:
  // Never destroyed (see NeverDestroyed). Every line is flushed as it is written, so nothing
  // waits for a flush at exit.
  static Logger & Instance()
  {
    static detail::NeverDestroyed<Logger> instance("spdlog");
    return instance.get();
  }

  // Held by the console sink while it writes a line, and by writeConsoleLine, so a line written
  // directly and a logger line never interleave.
  static std::mutex & consoleMutex()
  {
    static detail::NeverDestroyed<std::mutex> mutex;
    return mutex.get();
  }

  // Writes `line` (newline included) to `stream` as one piece and flushes it at once, so a
  // reader of a pipe sees each line as soon as it is written.
  static void writeConsoleLine(std::ostream & stream, std::string_view line)
  {
    std::lock_guard<std::mutex> lock(consoleMutex());
    stream.write(line.data(), static_cast<std::streamsize>(line.size()));
    stream.flush();
  }

  Logger(const Logger &) = delete;
  Logger & operator=(const Logger &) = delete;
  ~Logger() = default;

  std::shared_ptr<spdlog::logger> getLogger() const { return logger_; }

  // Number shown for a message at `level`. Only messages the level lets through are counted;
  // the display keeps the low 7 bits so it wraps from 127 to 0.
  unsigned messageNumber(spdlog::level::level_enum level)
  {
    std::uint8_t counter = 0;
    if (level_ <= static_cast<std::int32_t>(level)) {
      counter = static_cast<std::uint8_t>(counter_.fetch_add(1, std::memory_order_relaxed) + 1);
    } else {
      counter = counter_.load(std::memory_order_relaxed);
    }
    return counter & 0x7FU;
  }

private:
  friend class detail::NeverDestroyed<Logger>;

  // The console sink's lock type: spdlog asks it for the mutex to hold around each line.
  struct ConsoleLock
  {
    using mutex_t = std::mutex;
    static mutex_t & mutex() { return consoleMutex(); }
  };

  explicit Logger(const std::string & name)
  {
    // A spdlog failure leaves whatever was set up so far; the entry points cope with an empty
    // handle.
    try {
      std::vector<spdlog::sink_ptr> sinks;
      if (readSwitch("SPDLOG_STDOUT", true)) {
        sinks.push_back(std::make_shared<spdlog::sinks::ansicolor_stdout_sink<ConsoleLock>>(
          spdlog::color_mode::automatic));
      }
      if (readSwitch("SPDLOG_SYSTEMD", false)) {
        sinks.push_back(std::make_shared<spdlog::sinks::systemd_sink<std::mutex>>());
      }
      // Deliberately not registered: hosts keep their own spdlog registry and default logger.
      logger_ = std::make_shared<spdlog::logger>(name, sinks.begin(), sinks.end());

      level_ = readLevel();
      logger_->set_level(static_cast<spdlog::level::level_enum>(level_));

      // The library writes the whole line itself, number and tag included.
      logger_->set_formatter(
        std::make_unique<spdlog::pattern_formatter>("%v", spdlog::pattern_time_type::local, "\n"));
    } catch (const spdlog::spdlog_ex &) {
    }
  }

  static bool readSwitch(const char * variable, bool fallback)
  {
    const char * value = std::getenv(variable);
    const char * fallback_name = fallback ? "true" : "false";
    if (value == nullptr) {
      writeConsoleLine(
        std::cout,
        fmt::format("environment variable {} is not set, and set {}\n", variable, fallback_name));
      return fallback;
    }
    const std::string text(value);
    if (text == "true") {
      return true;
    }
    if (text == "false") {
      return false;
    }
    writeConsoleLine(
      std::cout,
      fmt::format("environment variable {} is invalid, and set {}\n", variable, fallback_name));
    return fallback;
  }

  static std::int32_t readLevel()
  {
    constexpr std::int32_t kDefaultLevel = 2;
    const char * value = std::getenv("SPDLOG_LEVEL");
    if (value == nullptr) {
      writeConsoleLine(
        std::cout, "environment variable SPDLOG_LEVEL is not set, and set default level\n");
      return kDefaultLevel;
    }
    const std::map<std::string, std::int32_t> levels{{"trace", 0},   {"debug", 1}, {"info", 2},
                                                     {"warning", 3}, {"error", 4}, {"critical", 5}};
    const auto found = levels.find(value);
    if (found == levels.end()) {
      writeConsoleLine(
        std::cout, "environment variable SPDLOG_LEVEL is invalid, and set default level\n");
      return kDefaultLevel;
    }
    return found->second;
  }

  std::shared_ptr<spdlog::logger> logger_;
  std::atomic<std::uint8_t> counter_{0};
  std::int32_t level_{2};
};

namespace detail
{

inline std::string numberedPrefix(spdlog::level::level_enum level, unsigned number)
{
  switch (level) {
    case spdlog::level::warn:
      return fmt::format("{0:3d} [WARN] ", number);
    case spdlog::level::err:
      return fmt::format("{0:3d} [ERROR] ", number);
    default:
      return fmt::format("{0:3d} [INFO] ", number);
  }
}

template <typename... Args>
void logAt(
  spdlog::level::level_enum level, const spdlog::source_loc & where,
  fmt::format_string<Args...> format, Args &&... args)
{
  Logger & instance = Logger::Instance();
  // Held for the whole message. Empty only when construction failed inside spdlog.
  const std::shared_ptr<spdlog::logger> logger = instance.getLogger();
  if (!logger) {
    return;
  }
  std::string line;
  try {
    line = fmt::format(format, std::forward<Args>(args)...);
  } catch (const fmt::format_error &) {
    // A malformed format string is the caller's bug, but logging never throws at the host.
    return;
  }
  line.insert(0, numberedPrefix(level, instance.messageNumber(level)));
  logger->log(where, level, spdlog::string_view_t(line.data(), line.size()));
}

}  // namespace detail
}  // namespace brimtale

// __func__ gives the bare name the journal wants ("operator()" inside a lambda).
#define BRIMTALE_LOG_AT(level, ...)                                            \
  do {                                                                         \
    ::brimtale::detail::logAt(                                                 \
      level, ::spdlog::source_loc{__FILE__, __LINE__, __func__}, __VA_ARGS__); \
  } while (false)

#define LOG_INFO(...) BRIMTALE_LOG_AT(::spdlog::level::info, __VA_ARGS__)
#define LOG_WARN(...) BRIMTALE_LOG_AT(::spdlog::level::warn, __VA_ARGS__)
#define LOG_ERROR(...) BRIMTALE_LOG_AT(::spdlog::level::err, __VA_ARGS__)
