#pragma once

// Plain HTTP over 127.0.0.1 for the tests and benchmarks of the metrics endpoint: a free port,
// and one GET.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Closes a descriptor on every exit.
class Socket
{
public:
  Socket() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
  ~Socket()
  {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Socket(const Socket &) = delete;
  Socket & operator=(const Socket &) = delete;
  int fd() const { return fd_; }

private:
  int fd_;
};

inline sockaddr_in loopback(int port)
{
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// Binds 127.0.0.1:0 on `socket` and returns the port the kernel chose.
inline int bindAnyPort(const Socket & socket)
{
  sockaddr_in address = loopback(0);
  if (::bind(socket.fd(), reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
    return -1;
  }
  socklen_t length = sizeof(address);
  ::getsockname(socket.fd(), reinterpret_cast<sockaddr *>(&address), &length);
  return ntohs(address.sin_port);
}

inline int freePort()
{
  const Socket probe;
  return bindAnyPort(probe);
}

// GET `path` from 127.0.0.1:port over HTTP/1.0; the body of a 200 answer.
inline std::optional<std::string> httpGet(int port, const std::string & path)
{
  const Socket socket;
  const sockaddr_in address = loopback(port);
  if (::connect(socket.fd(), reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
    return std::nullopt;
  }
  const std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
  if (::send(socket.fd(), request.data(), request.size(), MSG_NOSIGNAL) < 0) {
    return std::nullopt;
  }
  std::string answer;
  char buffer[8192];
  ssize_t got = 0;
  while ((got = ::recv(socket.fd(), buffer, sizeof(buffer), 0)) > 0) {
    answer.append(buffer, static_cast<std::size_t>(got));
  }
  const std::size_t body = answer.find("\r\n\r\n");
  if (answer.rfind("HTTP/1.1 200", 0) != 0 && answer.rfind("HTTP/1.0 200", 0) != 0) {
    return std::nullopt;
  }
  return body == std::string::npos ? std::string() : answer.substr(body + 4);
}
