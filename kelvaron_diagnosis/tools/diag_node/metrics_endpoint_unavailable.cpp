// The endpoint of a node built without prometheus-cpp: asking for it ends the node.
#include <stdexcept>

#include "metrics_endpoint.hpp"

namespace kelvaron::diag_node
{

struct MetricsEndpoint::Server
{
};

MetricsEndpoint::MetricsEndpoint(const MetricsParameters & where)
{
  throw std::runtime_error(
    "cannot serve metrics on " + listeningAddress(where) +
    ": built without metrics support (prometheus-cpp was not found)");
}

MetricsEndpoint::~MetricsEndpoint() = default;

void MetricsEndpoint::serve(Diagnosis &) {}

}  // namespace kelvaron::diag_node
