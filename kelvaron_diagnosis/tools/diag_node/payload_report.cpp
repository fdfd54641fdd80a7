#include "payload_report.hpp"

#include <algorithm>
#include <vector>

#include <logging/logger.hpp>

namespace kelvaron::diag_node
{
namespace
{

uint8_t kindBit(HeaderReading reading)
{
  return reading == HeaderReading::kOtherEncapsulation ? 1U : 2U;
}

}  // namespace

PayloadReporter::PayloadReporter(Diagnosis & diagnosis) : diagnosis_(diagnosis) {}

bool PayloadReporter::report(
  const std::string & topic, bool with_header, const uint8_t * data, std::size_t size)
{
  if (with_header) {
    const LeadingHeader read = readLeadingHeader(data, size);
    if (read.reading == HeaderReading::kRead) {
      header_.stamp.sec = read.sec;
      header_.stamp.nanosec = read.nanosec;
      header_.frame_id.assign(read.frame_id);
      return diagnosis_.SensorReportWithHeader(topic, header_);
    }
    ++unread_headers_;
    warnOnce(topic, read);
  }
  return diagnosis_.SensorReportWithoutHeader(topic);
}

void PayloadReporter::warnOnce(const std::string & topic, const LeadingHeader & header)
{
  auto found = warned_.find(topic);
  if (found == warned_.end()) {
    // A new topic: forget those no longer in the file first, so the memory stays bounded by
    // the file however often it is edited. A topic outside the file is not logged here: the
    // library refuses (and names) its report anyway.
    const std::vector<std::string> registered = diagnosis_.registeredTopics();
    for (auto it = warned_.begin(); it != warned_.end();) {
      it = std::binary_search(registered.begin(), registered.end(), it->first) ? std::next(it)
                                                                               : warned_.erase(it);
    }
    if (!std::binary_search(registered.begin(), registered.end(), topic)) {
      return;
    }
    found = warned_.emplace(topic, 0U).first;
  }
  const uint8_t kind = kindBit(header.reading);
  if ((found->second & kind) != 0U) {
    return;
  }
  found->second |= kind;
  if (header.reading == HeaderReading::kOtherEncapsulation) {
    LOG_WARN(
      "Messages on {} come as encapsulation 0x{:04x} ({}), not plain CDR: reported without "
      "their header",
      topic, header.encapsulation, encapsulationName(header.encapsulation));
  } else {
    LOG_WARN(
      "Message on {} has no readable header (encapsulation 0x{:04x}): reported without one", topic,
      header.encapsulation);
  }
}

}  // namespace kelvaron::diag_node
