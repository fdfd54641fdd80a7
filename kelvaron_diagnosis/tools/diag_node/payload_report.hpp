#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include <sensor_diagnosis.hpp>
#include <std_msgs/msg/header.hpp>

#include "cdr_header.hpp"

namespace kelvaron::diag_node
{

// Turns the bytes of one received message into one frame report. For a type that starts with a
// std_msgs/Header the report carries the header read from the bytes; a payload whose header
// cannot be read (another representation than plain CDR, a malformed header) is reported without
// one, and the first of each kind on a topic is logged. The bytes come from anyone on the
// network: nothing in them is trusted.
//
// Runs on the subscriptions' thread only, so it takes no lock. A readable header costs no heap
// allocation once the longest frame_id has been seen.
class PayloadReporter
{
public:
  explicit PayloadReporter(Diagnosis & diagnosis);

  // Reports one message of `topic`; `with_header` tells whether its type starts with a header.
  // Returns what the library returned (false for a topic it does not know).
  bool report(const std::string & topic, bool with_header, const uint8_t * data, std::size_t size);

  // Messages of stamped types whose header could not be read (reported without it).
  uint64_t unreadHeaders() const { return unread_headers_; }

private:
  void warnOnce(const std::string & topic, const LeadingHeader & header);

  Diagnosis & diagnosis_;
  // Reused for every report, so frame_id keeps its capacity.
  std_msgs::msg::Header header_;
  // The kinds of unreadable header already logged, per topic; only topics of the file stay.
  std::unordered_map<std::string, uint8_t> warned_;
  uint64_t unread_headers_{0};
};

}  // namespace kelvaron::diag_node
