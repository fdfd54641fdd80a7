// The header at the start of a serialized message, read without its type, never past its end.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "cdr_header.hpp"

namespace
{

using kelvaron::diag_node::readLeadingHeader;

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
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->sec, 1700000000);
  EXPECT_EQ(header->nanosec, 5000000U);
  EXPECT_EQ(header->frame_id, "laser");

  // The same header in big endian.
  const std::vector<uint8_t> big = {0x00, 0x00, 0x00, 0x00, 0x65, 0x53, 0xf1, 0x00, 0x00,
                                    0x4c, 0x4b, 0x40, 0x00, 0x00, 0x00, 0x01, 0x00};
  const auto from_big = readLeadingHeader(big.data(), big.size());
  ASSERT_TRUE(from_big.has_value());
  EXPECT_EQ(from_big->sec, 1700000000);
  EXPECT_EQ(from_big->frame_id, "");
}

TEST(CdrHeader, TruncatedPayloadsGiveNothing)
{
  // Every cut that ends before the frame_id's terminating NUL.
  for (std::size_t size = 0; size < 22; ++size) {
    EXPECT_FALSE(readLeadingHeader(kLaserScan.data(), size).has_value()) << size;
  }
  EXPECT_TRUE(readLeadingHeader(kLaserScan.data(), 22).has_value());
  EXPECT_FALSE(readLeadingHeader(nullptr, 0).has_value());
}

TEST(CdrHeader, MalformedLengthsAndEncapsulationsGiveNothing)
{
  std::vector<uint8_t> oversized = kLaserScan;
  oversized[12] = 0xf0;  // frame_id length 0xfffffff0: far beyond the payload
  oversized[13] = oversized[14] = oversized[15] = 0xff;
  EXPECT_FALSE(readLeadingHeader(oversized.data(), oversized.size()).has_value());

  std::vector<uint8_t> empty_length = kLaserScan;
  empty_length[12] = 0x00;  // a string length of 0 cannot hold its NUL
  EXPECT_FALSE(readLeadingHeader(empty_length.data(), empty_length.size()).has_value());

  std::vector<uint8_t> unterminated = kLaserScan;
  unterminated[21] = 'x';
  EXPECT_FALSE(readLeadingHeader(unterminated.data(), unterminated.size()).has_value());

  std::vector<uint8_t> xcdr2 = kLaserScan;
  xcdr2[1] = 0x07;  // a representation the header reader does not know
  EXPECT_FALSE(readLeadingHeader(xcdr2.data(), xcdr2.size()).has_value());
}

}  // namespace
