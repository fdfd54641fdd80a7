// Arbitrary bytes as the payload of a message on a monitored topic, through kelvaron_diag_node's
// per-message path into the library and its health passes. The header must be read only from
// plain CDR, identically in either byte order, with a frame_id inside the payload; the library
// must record exactly the header read (or a report without one) and its age, and the passes
// that judge and publish the stream must take any stamp.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <rclcpp/rclcpp.hpp>

#include "cdr_header.hpp"
#include "fuzz_support.hpp"
#include "payload_report.hpp"
#include "sensor_diagnosis.hpp"
#include "support/diagnosis_test_access.hpp"

namespace
{

using kelvaron::diag_node::HeaderReading;
using kelvaron::diag_node::LeadingHeader;
using kelvaron::diag_node::readLeadingHeader;
using kelvaron_fuzz::require;

constexpr const char * kStampedTopic = "/fuzz/stamped";
constexpr const char * kUnstampedTopic = "/fuzz/unstamped";

// A header age limit so that old and future stamps are judged, and /diagnostics at every pass so
// that each stamp and frame_id goes out in a status.
constexpr const char * kThresholds =
  "sensors:\n"
  "  /fuzz/stamped:\n"
  "    normal_hz: 10.0\n"
  "    low_ratio: 0.5\n"
  "    cutoff_timeout_ms: 500\n"
  "    cutoff_recovery_threshold: 3\n"
  "    abnormal_duration_ms: 1000\n"
  "    max_header_age_ms: 100\n"
  "  /fuzz/unstamped:\n"
  "    normal_hz: 10.0\n"
  "    low_ratio: 0.5\n"
  "    cutoff_timeout_ms: 500\n"
  "    cutoff_recovery_threshold: 3\n"
  "    abnormal_duration_ms: 1000\n"
  "ros_diagnostics:\n"
  "  enabled: true\n"
  "  period_ms: 100\n";

constexpr int64_t kMaxHeaderAgeMs = 100;  // as in the file
constexpr std::size_t kEncapsulationBytes = 4;
constexpr int64_t kStartMs = 1700000000000;
constexpr int64_t kPassPeriodMs = 10;

// rclcpp's default context for the process; the Diagnosis that uses it goes first.
class RosContext
{
public:
  RosContext()
  {
    const char * argv[] = {"payload_report_fuzzer"};
    rclcpp::init(1, argv, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::None);
  }
  ~RosContext() { rclcpp::shutdown(); }
  RosContext(const RosContext &) = delete;
  RosContext & operator=(const RosContext &) = delete;
};

struct Recorded
{
  std_msgs::msg::Header header;
  int64_t frames_total{0};
  std::optional<int64_t> header_age_ms;
};

// Milliseconds of a stamp, rounded down, from the whole count of nanoseconds.
int64_t stampFloorMs(int32_t sec, uint32_t nanosec)
{
  const int64_t total_ns = static_cast<int64_t>(sec) * 1000000000 + nanosec;
  const int64_t ms = total_ns / 1000000;
  return total_ns % 1000000 < 0 ? ms - 1 : ms;
}

// The same payload in the other byte order of plain CDR: the identifier's order bit flipped and
// each 4-byte field of the header reversed.
void mirrorByteOrder(const uint8_t * data, std::size_t size, std::vector<uint8_t> & mirror)
{
  mirror.assign(data, data + size);
  mirror[1] ^= 1U;
  for (std::size_t at = kEncapsulationBytes; at + 4 <= std::min<std::size_t>(size, 16); at += 4) {
    std::reverse(
      mirror.begin() + static_cast<std::ptrdiff_t>(at),
      mirror.begin() + static_cast<std::ptrdiff_t>(at + 4));
  }
}

class Fixture
{
public:
  Fixture() : file_("payload_thresholds.yaml")
  {
    file_.write(kThresholds);
    require(diagnosis_.initialize(file_.path()), "the fuzz threshold file did not load");
    DiagnosisTestAccess::setClock(
      diagnosis_, [this]() -> std::optional<int64_t> { return now_ms_; });
    diagnosis_.healthSnapshot();  // the first call turns the snapshots on
  }

  void check(const uint8_t * data, std::size_t size)
  {
    const LeadingHeader read = readLeadingHeader(data, size);
    checkReading(read, data, size);

    // Through the node's path into the library.
    const Recorded before = recorded(kStampedTopic);
    const uint64_t unread_before = reporter_.unreadHeaders();
    require(
      reporter_.report(kStampedTopic, true, data, size), "the library refused a stamped report");
    const Recorded after = recorded(kStampedTopic);
    require(after.frames_total == before.frames_total + 1, "a report was not counted once");
    if (read.reading == HeaderReading::kRead) {
      require(
        after.header.stamp.sec == read.sec && after.header.stamp.nanosec == read.nanosec &&
          after.header.frame_id == read.frame_id,
        "the library did not record the header read");
      require(
        after.header_age_ms == now_ms_ - stampFloorMs(read.sec, read.nanosec),
        "the header age is not arrival minus stamp");
      require(reporter_.unreadHeaders() == unread_before, "a read header was counted unread");
    } else {
      requireReportedWithoutHeader(after, "an unreadable header was not reported without one");
      require(reporter_.unreadHeaders() == unread_before + 1, "an unread header was not counted");
    }
    require(
      reporter_.report(kUnstampedTopic, false, data, size),
      "the library refused an unstamped report");
    requireReportedWithoutHeader(
      recorded(kUnstampedTopic), "a type without header was not reported without one");

    // One health pass at the next tick judges and publishes whatever was recorded.
    now_ms_ += kPassPeriodMs;
    diagnosis_.TimeoutCheck();
    diagnosis_.FPSCheck();
    DiagnosisTestAccess::publishRosDiagnostics(diagnosis_);
    const auto snapshot = diagnosis_.healthSnapshot();
    require(snapshot && snapshot->streams.size() == 2, "the snapshot lost a stream");
    const kelvaron::StreamSnapshot & stamped = snapshot->streams.front();
    require(stamped.topic == kStampedTopic, "the snapshot's first stream is not the stamped one");
    require(stamped.header_age_ms == after.header_age_ms, "the snapshot's header age differs");
    require(
      !(stamped.header_age_ms && *stamped.header_age_ms > kMaxHeaderAgeMs) || stamped.level != 0,
      "a header older than its limit read OK");
  }

private:
  // Properties of the reader alone.
  void checkReading(const LeadingHeader & read, const uint8_t * data, std::size_t size)
  {
    const bool plain_cdr = size >= kEncapsulationBytes && data[0] == 0x00 && data[1] <= 0x01;
    if (size >= kEncapsulationBytes) {
      require(read.encapsulation == (data[0] << 8U | data[1]), "the encapsulation was misread");
    }
    require(
      (read.reading == HeaderReading::kOtherEncapsulation) ==
        (size >= kEncapsulationBytes && !plain_cdr),
      "another representation was not told apart from plain CDR");
    require(
      read.reading != HeaderReading::kRead || plain_cdr,
      "a header was read from a representation other than plain CDR");
    if (read.reading == HeaderReading::kRead) {
      const auto * begin = reinterpret_cast<const char *>(data);
      // The frame_id lies after stamp and length, inside the payload, with its NUL after it.
      require(
        read.frame_id.data() == begin + 16 && read.frame_id.size() + 17 <= size &&
          begin[16 + read.frame_id.size()] == '\0',
        "the frame_id reaches outside the payload");
    } else {
      require(read.frame_id.empty(), "an unread header has a frame_id");
    }
    if (plain_cdr) {
      mirrorByteOrder(data, size, mirror_);
      const LeadingHeader other = readLeadingHeader(mirror_.data(), mirror_.size());
      require(
        other.reading == read.reading && other.sec == read.sec && other.nanosec == read.nanosec &&
          other.frame_id == read.frame_id,
        "the two byte orders of one header read differently");
    }
  }

  void requireReportedWithoutHeader(const Recorded & state, const char * what)
  {
    require(
      state.header.frame_id.empty() && state.header.stamp.sec == now_ms_ / 1000 &&
        state.header.stamp.nanosec == static_cast<uint32_t>(now_ms_ % 1000) * 1000000U,
      what);
  }

  Recorded recorded(const std::string & topic)
  {
    Recorded copy;
    DiagnosisTestAccess::editState(
      diagnosis_, topic, [&copy](SensorState & state, SensorThreshold &) {
        copy.header = state.last_header;
        copy.frames_total = state.frames_total;
        copy.header_age_ms = state.header_age_ms;
      });
    return copy;
  }

  RosContext ros_;
  kelvaron_fuzz::ScratchFile file_;
  int64_t now_ms_{kStartMs};
  Diagnosis diagnosis_;
  kelvaron::diag_node::PayloadReporter reporter_{diagnosis_};
  std::vector<uint8_t> mirror_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  kelvaron_fuzz::silenceLibraryConsole();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t * data, std::size_t size)
{
  static Fixture fixture;
  fixture.check(data, size);
  return 0;
}
