#include "metrics_endpoint.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <prometheus/exposer.h>
#include <logging/logger.hpp>

#include "stream_metrics.hpp"

namespace kelvaron::diag_node
{
namespace
{

// Why address:port cannot be bound, asked of the kernel: the HTTP server's own error says only
// that it failed.
std::string bindFailure(const std::string & address, int64_t port)
{
  sockaddr_in ipv4{};
  sockaddr_in6 ipv6{};
  sockaddr * target = nullptr;
  socklen_t length = 0;
  if (::inet_pton(AF_INET, address.c_str(), &ipv4.sin_addr) == 1) {
    ipv4.sin_family = AF_INET;
    ipv4.sin_port = htons(static_cast<uint16_t>(port));
    target = reinterpret_cast<sockaddr *>(&ipv4);
    length = sizeof(ipv4);
  } else if (::inet_pton(AF_INET6, address.c_str(), &ipv6.sin6_addr) == 1) {
    ipv6.sin6_family = AF_INET6;
    ipv6.sin6_port = htons(static_cast<uint16_t>(port));
    target = reinterpret_cast<sockaddr *>(&ipv6);
    length = sizeof(ipv6);
  } else {
    return "not a numeric IPv4 or IPv6 address";
  }
  const int fd = ::socket(target->sa_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return std::strerror(errno);
  }
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  const bool bound = ::bind(fd, target, length) == 0;
  const int error = errno;
  ::close(fd);
  return bound ? "the HTTP server could not listen there" : std::strerror(error);
}

}  // namespace

struct MetricsEndpoint::Server
{
  // Declared first, destroyed last: the exposer stops serving before the collectable goes.
  std::shared_ptr<StreamMetrics> metrics;
  prometheus::Exposer exposer;

  explicit Server(const std::string & listening) : exposer(listening) {}
};

MetricsEndpoint::MetricsEndpoint(const MetricsParameters & where)
{
  const std::string listening = listeningAddress(where);
  try {
    server_ = std::make_unique<Server>(listening);
  } catch (const std::exception &) {
    throw std::runtime_error(
      "cannot serve metrics on " + listening + ": " + bindFailure(where.address, where.port));
  }
  LOG_INFO("Serving metrics on http://{}/metrics", listening);
}

MetricsEndpoint::~MetricsEndpoint() = default;

void MetricsEndpoint::serve(Diagnosis & diagnosis)
{
  // The first request turns the library's snapshots on, so they exist by the first scrape.
  diagnosis.healthSnapshot();
  server_->metrics = std::make_shared<StreamMetrics>(
    [&diagnosis] { return diagnosis.healthSnapshot(); }, KELVARON_VERSION);
  server_->exposer.RegisterCollectable(server_->metrics);
}

}  // namespace kelvaron::diag_node
