#include "sensor_diagnosis.hpp"

#include <memory>

#include "sensor_diagnosis/dependencies.hpp"
#include "sensor_diagnosis/recent_streams.hpp"
#include "sensor_diagnosis/ros_diagnostics.hpp"

Diagnosis::Diagnosis()
: recent_streams_(std::make_unique<kelvaron::RecentStreams>())
, dependencies_(std::make_unique<kelvaron::Dependencies>())
, ros_diagnostics_(std::make_unique<kelvaron::RosDiagnostics>())
{
}

Diagnosis::~Diagnosis()
{
  // Both threads refer to this object: they end before any member goes.
  stopTimer();
  stopConfigWatcher();
  // Nodes first, in creation order; the publishers go last, with the other members.
  sensor_proxy_node_.reset();
  chassis_pnc_node_.reset();
  chassis_loc_node_.reset();
}
