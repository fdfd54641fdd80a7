// Uses the installed headers and library the way a host does; exits non-zero on any surprise.
#include <iostream>

#include <logging/logger.hpp>
#include <sensor_diagnosis.hpp>

int main()
{
  Diagnosis diagnosis;
  if (!diagnosis.Register("/scan_01", 10.0F, 0.5F, 500, 3)) {
    return 1;
  }
  SensorThreshold threshold;
  threshold.normal_hz = 10.0F;
  threshold.low_ratio = 0.5F;
  threshold.cutoff_timeout_ms = 500;
  threshold.cutoff_recovery_threshold = 3;
  threshold.abnormal_duration_ms = 800;
  if (!diagnosis.validateSensorThreshold("/scan_01", threshold)) {
    return 2;
  }
  LOG_INFO("host check ran with {} sensor", 1);
  std::cout << "host check passed" << std::endl;
  return 0;
}
