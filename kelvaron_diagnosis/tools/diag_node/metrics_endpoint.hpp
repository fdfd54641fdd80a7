#pragma once

// kelvaron_diag_node's Prometheus target: GET /metrics over HTTP.

#include <memory>

#include <sensor_diagnosis.hpp>

#include "node_parameters.hpp"

namespace kelvaron::diag_node
{

class MetricsEndpoint
{
public:
  // Listens on address:port at once, so a port that is taken ends the node before anything
  // else starts. Throws std::runtime_error with one line naming address:port when it cannot
  // listen, or when the node was built without metrics support.
  explicit MetricsEndpoint(const MetricsParameters & where);
  // Stops listening and waits for a scrape in progress.
  ~MetricsEndpoint();
  MetricsEndpoint(const MetricsEndpoint &) = delete;
  MetricsEndpoint & operator=(const MetricsEndpoint &) = delete;

  // Answers scrapes from `diagnosis`'s health snapshots from now on; `diagnosis` must outlive
  // this object.
  void serve(Diagnosis & diagnosis);

private:
  struct Server;
  std::unique_ptr<Server> server_;
};

}  // namespace kelvaron::diag_node
