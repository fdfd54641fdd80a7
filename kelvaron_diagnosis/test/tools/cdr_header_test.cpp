// The header at the start of a serialized message, read without its type, never past its end,
// and only from plain CDR.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cdr_header.hpp"
#include "payload_report.hpp"
#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"

namespace
{

using kelvaron::diag_node::HeaderReading;
using kelvaron::diag_node::PayloadReporter;
using kelvaron::diag_node::readLeadingHeader;

bool readable(const std::vector<uint8_t> & payload, std::size_t size)
{
  return readLeadingHeader(payload.data(), size).reading == HeaderReading::kRead;
}

// A sensor_msgs/LaserScan as ROS 2 serialises it (XCDR1, little endian), written out by hand.
const std::vector<uint8_t> kLaserScan = {
  0x00, 0x01, 0x00, 0x00,             // encapsulation: CDR little endian, no options
  0x00, 0xf1, 0x53, 0x65,             // header.stamp.sec = 1700000000
  0x40, 0x4b, 0x4c, 0x00,             // header.stamp.nanosec = 5000000
  0x06, 0x00, 0x00, 0x00,             // header.frame_id: length 6, NUL included
  'l',  'a',  's',  'e',  'r', 0x00,  // "laser"
  0x00, 0x00,                         // padding to the next float
  0xdb, 0x0f, 0x49, 0xc0,             // angle_min = -pi
  0xdb, 0x0f, 0x49, 0x40,             // angle_max = pi
  0x35, 0xfa, 0x8e, 0x3c,             // angle_increment
  0x00, 0x00, 0x00, 0x00,             // time_increment
  0xcd, 0xcc, 0xcc, 0x3d,             // scan_time = 0.1
  0x00, 0x00, 0x00, 0x00,             // range_min
  0x00, 0x00, 0x20, 0x41,             // range_max = 10
  0x00, 0x00, 0x00, 0x00,             // ranges: empty
  0x00, 0x00, 0x00, 0x00,             // intensities: empty
};

TEST(CdrHeader, ReadsStampAndFrameOfALaserScan)
{
  const auto header = readLeadingHeader(kLaserScan.data(), kLaserScan.size());
  ASSERT_EQ(header.reading, HeaderReading::kRead);
  EXPECT_EQ(header.sec, 1700000000);
  EXPECT_EQ(header.nanosec, 5000000U);
  EXPECT_EQ(header.frame_id, "laser");

  // The same header in big endian.
  const std::vector<uint8_t> big = {0x00, 0x00, 0x00, 0x00, 0x65, 0x53, 0xf1, 0x00, 0x00,
                                    0x4c, 0x4b, 0x40, 0x00, 0x00, 0x00, 0x01, 0x00};
  const auto from_big = readLeadingHeader(big.data(), big.size());
  ASSERT_EQ(from_big.reading, HeaderReading::kRead);
  EXPECT_EQ(from_big.sec, 1700000000);
  EXPECT_EQ(from_big.nanosec, 5000000U);
  EXPECT_EQ(from_big.frame_id, "");
}

TEST(CdrHeader, TruncatedPayloadsGiveNothing)
{
  // Every cut that ends before the frame_id's terminating NUL.
  for (std::size_t size = 0; size < 22; ++size) {
    EXPECT_EQ(readLeadingHeader(kLaserScan.data(), size).reading, HeaderReading::kMalformed)
      << size;
  }
  EXPECT_TRUE(readable(kLaserScan, 22));
  EXPECT_EQ(readLeadingHeader(nullptr, 0).reading, HeaderReading::kMalformed);
}

TEST(CdrHeader, MalformedLengthsGiveNothing)
{
  std::vector<uint8_t> oversized = kLaserScan;
  oversized[12] = 0xf0;  // frame_id length 0xfffffff0: far beyond the payload
  oversized[13] = oversized[14] = oversized[15] = 0xff;
  EXPECT_FALSE(readable(oversized, oversized.size()));

  std::vector<uint8_t> empty_length = kLaserScan;
  empty_length[12] = 0x00;  // a string length of 0 cannot hold its NUL
  EXPECT_FALSE(readable(empty_length, empty_length.size()));

  std::vector<uint8_t> unterminated = kLaserScan;
  unterminated[21] = 'x';
  EXPECT_FALSE(readable(unterminated, unterminated.size()));
}

// Only plain CDR is read: every other representation lays a header out differently. Those
// messages, and malformed plain-CDR headers, count as frames without a header, and the first
// of each kind on each topic is logged.
TEST(CdrHeader, OnlyPlainCdrIsReadAndTheOthersAreReportedWithoutHeader)
{
  Diagnosis diagnosis;
  {
    ConsoleCapture quiet;
    ASSERT_TRUE(diagnosis.Register("/scan", 10.0F, 0.5F, 500, 3));
    ASSERT_TRUE(diagnosis.Register("/scan_rear", 10.0F, 0.5F, 500, 3));
  }
  DiagnosisTestAccess::markInitialized(diagnosis);
  DiagnosisTestAccess::setWallClock(diagnosis, [] { return int64_t{1800000000123}; });
  const auto last_header = [&diagnosis](const std::string & topic) {
    return DiagnosisTestAccess::states(diagnosis).at(topic).last_header;
  };
  PayloadReporter reporter(diagnosis);
  ConsoleCapture capture;

  ASSERT_TRUE(reporter.report("/scan", true, kLaserScan.data(), kLaserScan.size()));
  EXPECT_EQ(last_header("/scan").frame_id, "laser");
  // PL_CDR, then XCDR2 plain, delimited and as a parameter list, each in both byte orders.
  for (const uint16_t encapsulation :
       {0x0002, 0x0003, 0x0006, 0x0007, 0x0008, 0x0009, 0x000a, 0x000b, 0x0100}) {
    std::vector<uint8_t> payload = kLaserScan;
    payload[0] = static_cast<uint8_t>(encapsulation >> 8U);
    payload[1] = static_cast<uint8_t>(encapsulation & 0xffU);
    const auto header = readLeadingHeader(payload.data(), payload.size());
    EXPECT_EQ(header.reading, HeaderReading::kOtherEncapsulation) << encapsulation;
    EXPECT_EQ(header.encapsulation, encapsulation);
    for (const char * topic : {"/scan", "/scan_rear"}) {
      ASSERT_TRUE(reporter.report(topic, true, payload.data(), payload.size()));
      EXPECT_EQ(last_header(topic).frame_id, "") << encapsulation;
      EXPECT_EQ(last_header(topic).stamp.sec, 1800000000) << encapsulation;
    }
  }
  for (int repeat = 0; repeat < 2; ++repeat) {
    ASSERT_TRUE(reporter.report("/scan", true, kLaserScan.data(), 21));  // no NUL
  }
  EXPECT_EQ(reporter.unreadHeaders(), 20U);
  EXPECT_EQ(DiagnosisTestAccess::states(diagnosis).at("/scan").frames_total, 12);

  const std::string out = capture.out();
  const auto count = [&out](const std::string & text) {
    std::size_t found = 0;
    for (auto at = out.find(text); at != std::string::npos; at = out.find(text, at + 1)) {
      ++found;
    }
    return found;
  };
  EXPECT_EQ(count("[WARN]"), 3U) << out;
  EXPECT_EQ(count("on /scan come as encapsulation 0x0002 (PL_CDR big endian)"), 1U) << out;
  EXPECT_EQ(count("on /scan_rear come as encapsulation 0x0002"), 1U) << out;
  EXPECT_EQ(count("on /scan has no readable header (encapsulation 0x0001)"), 1U) << out;
}

}  // namespace
