// Writes the seed corpus of payload_report_fuzzer into a folder: small messages of the common
// stamped types as rmw serialises them, in both byte orders, headers with stamps at the edges,
// and a few in the representations that must not be read (XCDR2, which aligns 8-byte fields to
// 4, and PL_CDR).
//
// Usage: payload_seeds FOLDER
#include <cstdint>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "cdr_writer.hpp"

namespace
{

using kelvaron_fuzz::CdrWriter;

constexpr int32_t kSec = 1700000000;
constexpr uint32_t kNanosec = 250000000;

void header(CdrWriter & out, const std::string & frame_id) { out.header(kSec, kNanosec, frame_id); }

// geometry_msgs/Pose: position, then orientation (x, y, z, w).
void pose(CdrWriter & out) { out.f64(1.5).f64(-2.0).f64(0.25).f64(0.0).f64(0.0).f64(0.0).f64(1.0); }

void stdHeader(CdrWriter & out) { header(out, "base_link"); }

void imu(CdrWriter & out)
{
  header(out, "imu_link");
  out.f64(0.0).f64(0.0).f64(0.0).f64(1.0).f64s(9, 0.01);  // orientation, its covariance
  out.f64(0.1).f64(0.2).f64(0.3).f64s(9, 0.02);           // angular velocity, its covariance
  out.f64(0.0).f64(0.0).f64(9.81).f64s(9, 0.03);          // linear acceleration, its covariance
}

void laserScan(CdrWriter & out)
{
  header(out, "laser");
  out.f32(-3.14159F).f32(3.14159F).f32(1.5708F).f32(0.0F).f32(0.1F).f32(0.05F).f32(10.0F);
  out.u32(4).f32(1.0F).f32(2.0F).f32(3.0F).f32(4.0F);  // ranges
  out.u32(0);                                          // intensities
}

void image(CdrWriter & out)
{
  header(out, "camera_optical_frame");
  out.u32(2).u32(4).str("rgb8").u8(0).u32(12);  // height, width, encoding, is_bigendian, step
  out.octets(std::vector<uint8_t>(24, 0x7f));
}

void compressedImage(CdrWriter & out)
{
  header(out, "camera_optical_frame");
  out.str("jpeg").octets({0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0xff, 0xd9});
}

void pointCloud2(CdrWriter & out)
{
  header(out, "velodyne");
  out.u32(1).u32(2);  // height, width
  out.u32(3);         // fields: name, offset, datatype (7: FLOAT32), count
  out.str("x").u32(0).u8(7).u32(1);
  out.str("y").u32(4).u8(7).u32(1);
  out.str("z").u32(8).u8(7).u32(1);
  out.u8(0).u32(12).u32(24);  // is_bigendian, point_step, row_step
  CdrWriter points(0x0001);
  points.f32(1.0F).f32(2.0F).f32(3.0F).f32(-1.0F).f32(-2.0F).f32(-3.0F);
  out.octets(std::vector<uint8_t>(points.bytes().begin() + 4, points.bytes().end()));
  out.u8(1);  // is_dense
}

void odometry(CdrWriter & out)
{
  header(out, "odom");
  out.str("base_link");
  pose(out);
  out.f64s(36, 0.001);
  out.f64(0.5).f64(0.0).f64(0.0).f64(0.0).f64(0.0).f64(0.1);  // twist: linear, angular
  out.f64s(36, 0.002);
}

void poseStamped(CdrWriter & out)
{
  header(out, "map");
  pose(out);
}

void navSatFix(CdrWriter & out)
{
  header(out, "gps");
  out.i8(0).u16(1);                                     // status, service
  out.f64(48.8566).f64(2.3522).f64(35.0).f64s(9, 0.5);  // latitude, longitude, altitude
  out.u8(2);                                            // position_covariance_type
}

void range(CdrWriter & out)
{
  header(out, "ultrasonic_front");
  out.u8(0).f32(0.5F).f32(0.02F).f32(4.0F).f32(1.25F);
}

struct Seed
{
  const char * name;
  std::function<void(CdrWriter &)> write;
};

bool writeFile(const std::string & path, const std::vector<uint8_t> & bytes)
{
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(
    reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc != 2) {
    std::cerr << "Usage: payload_seeds FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  const std::vector<Seed> seeds = {
    {"std_msgs_Header", stdHeader},
    {"sensor_msgs_Imu", imu},
    {"sensor_msgs_LaserScan", laserScan},
    {"sensor_msgs_Image", image},
    {"sensor_msgs_CompressedImage", compressedImage},
    {"sensor_msgs_PointCloud2", pointCloud2},
    {"sensor_msgs_NavSatFix", navSatFix},
    {"sensor_msgs_Range", range},
    {"nav_msgs_Odometry", odometry},
    {"geometry_msgs_PoseStamped", poseStamped},
  };
  struct Representation
  {
    const char * suffix;
    uint16_t encapsulation;
    std::size_t max_alignment;
  };
  const std::vector<Representation> representations = {
    {"cdr_be", 0x0000, 8}, {"cdr_le", 0x0001, 8}, {"xcdr2_le", 0x0007, 4}};
  int written = 0;
  for (const Seed & seed : seeds) {
    for (const Representation & representation : representations) {
      CdrWriter out(representation.encapsulation, representation.max_alignment);
      seed.write(out);
      const std::string path = folder + "/" + seed.name + "_" + representation.suffix + ".cdr";
      if (!writeFile(path, out.bytes())) {
        std::cerr << "payload_seeds: cannot write " << path << "\n";
        return 1;
      }
      ++written;
    }
  }
  // Stamps at the edges: before 1970, a nanosec of a whole second and more, the integer limits.
  // They add no coverage, so the fuzzer would not keep them by itself.
  const std::vector<std::pair<int32_t, uint32_t>> edge_stamps = {
    {-1, 0}, {0, 1000000000U}, {INT32_MIN, UINT32_MAX}, {INT32_MAX, 999999999U}};
  for (std::size_t i = 0; i < edge_stamps.size(); ++i) {
    for (const uint16_t encapsulation :
         {CdrWriter::plainCdr(CdrWriter::Order::kBig),
          CdrWriter::plainCdr(CdrWriter::Order::kLittle)}) {
      CdrWriter out(encapsulation);
      out.header(edge_stamps[i].first, edge_stamps[i].second, "edge");
      const std::string path = folder + "/std_msgs_Header_edge_stamp_" + std::to_string(i) +
                               (encapsulation == 0x0000 ? "_cdr_be" : "_cdr_le") + ".cdr";
      if (!writeFile(path, out.bytes())) {
        std::cerr << "payload_seeds: cannot write " << path << "\n";
        return 1;
      }
      ++written;
    }
  }
  // A parameter list is a different layout altogether: the stamp as member 0 (8 bytes), then
  // the sentinel.
  CdrWriter parameter_list(0x0003);
  parameter_list.u16(0x0000).u16(8).i32(kSec).u32(kNanosec).u16(0x0001).u16(0);
  if (!writeFile(folder + "/pl_cdr_le.cdr", parameter_list.bytes())) {
    std::cerr << "payload_seeds: cannot write into " << folder << "\n";
    return 1;
  }
  std::cout << "payload_seeds: " << written + 1 << " seeds in " << folder << "\n";
  return 0;
}
