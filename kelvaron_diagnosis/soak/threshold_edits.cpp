#include "threshold_edits.hpp"

#include <sys/time.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <yaml-cpp/yaml.h>

namespace kelvaron_soak
{
namespace
{

std::string emit(const YAML::Node & root)
{
  YAML::Emitter out;
  out << root;
  return std::string(out.c_str()) + "\n";
}

// The sensor with the highest normal rate: dropping it makes the most unregistered reports.
std::string busiestTopic(const YAML::Node & sensors)
{
  std::string busiest;
  double best = -1;
  for (const auto & entry : sensors) {
    const double hz = entry.second["normal_hz"].as<double>();
    if (hz > best) {
      best = hz;
      busiest = entry.first.as<std::string>();
    }
  }
  return busiest;
}

}  // namespace

std::vector<ThresholdEdit> editCycle(const std::string & original)
{
  const YAML::Node root = YAML::Load(original);
  const YAML::Node sensors = root["sensors"];
  const std::string first_topic = sensors.begin()->first.as<std::string>();

  YAML::Node longer = YAML::Clone(root);
  for (auto entry : longer["sensors"]) {
    entry.second["cutoff_timeout_ms"] = entry.second["cutoff_timeout_ms"].as<long>() * 6 / 5;
  }

  YAML::Node without_busiest = YAML::Clone(root);
  without_busiest["sensors"].remove(busiestTopic(sensors));

  YAML::Node out_of_range = YAML::Clone(root);
  out_of_range["sensors"][first_topic]["low_ratio"] = 1.5;

  YAML::Node extra = YAML::Clone(root);
  extra["sensors"]["/soak/never_reported"] = YAML::Clone(sensors[first_topic]);

  return {
    {"longer cut-offs", emit(longer), true},
    {"syntax error", original + "\n  /broken: [unclosed\n", false},
    {"busiest sensor dropped", emit(without_busiest), true},
    {"low_ratio out of range", emit(out_of_range), false},
    {"sensor added", emit(extra), true},
    {"empty file", "", false},
    {"original", original, true},
  };
}

void applyEdit(const std::string & path, const std::string & content, int64_t seconds)
{
  const std::string staged = path + ".next";
  {
    std::ofstream file(staged, std::ios::binary | std::ios::trunc);
    file << content;
    file.close();
    if (file.fail()) {
      throw std::runtime_error("cannot write " + staged);
    }
  }
  const timeval times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
  if (::utimes(staged.c_str(), times) != 0 || std::rename(staged.c_str(), path.c_str()) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot replace " + path);
  }
}

std::string readWholeFile(const std::string & path)
{
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw std::runtime_error("cannot read " + path);
  }
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace kelvaron_soak
