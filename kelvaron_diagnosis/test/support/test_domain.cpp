#include "support/test_domain.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace
{

// Domains 100-169: the default domain 0 stays free for people, and the stand-in's own tests use
// fixed domains from 171.
constexpr int kFirstTestDomain = 100;
constexpr int kTestDomainCount = 70;

}  // namespace

// A domain is held through an exclusive lock on a file of its own; the descriptor stays open
// for the life of the process, and the kernel drops the lock however the process ends.
int claimTestDomain()
{
  const std::string directory = "/tmp/kelvaron_test_domains";
  ::mkdir(directory.c_str(), 0777);
  for (int domain = kFirstTestDomain; domain < kFirstTestDomain + kTestDomainCount; ++domain) {
    const std::string path = directory + "/" + std::to_string(domain) + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
      continue;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      return domain;  // fd deliberately left open: it holds the claim
    }
    ::close(fd);
  }
  ADD_FAILURE() << "every test domain " << kFirstTestDomain << "-"
                << kFirstTestDomain + kTestDomainCount - 1 << " is held by another process";
  return kFirstTestDomain;
}

void useOwnTestDomain()
{
  if (getenv("ROS_DOMAIN_ID") == nullptr) {
    setenv("ROS_DOMAIN_ID", std::to_string(claimTestDomain()).c_str(), 1);
  }
}
