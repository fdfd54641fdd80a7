#pragma once

// The Prometheus view of the library's health snapshot, built at scrape time.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <prometheus/collectable.h>
#include <prometheus/metric_family.h>
#include <kelvaron_diagnosis/health_snapshot.hpp>

namespace kelvaron::diag_node
{

// One family per metric, one sample per stream labelled `topic` (data-status kinds labelled
// `kind`), plus kelvaron_build_info{version} = 1. A value the snapshot lacks (no frame yet, no
// header) has no sample; a family without samples is left out.
std::vector<prometheus::MetricFamily> streamMetricFamilies(
  const HealthSnapshot & snapshot, const std::string & version);

// Asks for the latest snapshot at every scrape, so a scrape never waits for a health pass.
class StreamMetrics : public prometheus::Collectable
{
public:
  using SnapshotSource = std::function<std::shared_ptr<const HealthSnapshot>()>;

  StreamMetrics(SnapshotSource source, std::string version);
  std::vector<prometheus::MetricFamily> Collect() const override;

private:
  SnapshotSource source_;
  std::string version_;
};

}  // namespace kelvaron::diag_node
