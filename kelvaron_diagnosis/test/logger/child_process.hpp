#pragma once

// Runs a probe program in a child process. The logger reads its environment once per process,
// so every setting under test needs a fresh process.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace logger_test
{

struct ChildRequest
{
  std::vector<std::string> argv;  // argv[0] is the program path
  // SPDLOG_* variables for the child; every inherited SPDLOG_* variable is removed first, so a
  // variable missing here is unset in the child.
  std::map<std::string, std::string> spdlog_env;
  // Run the child in a private mount namespace with our own socket at the journal's path.
  bool private_journal{false};
};

struct ChildResult
{
  std::string out;
  std::string err;
  int exit_code{-1};  // -1 when the child did not exit normally
  bool timed_out{false};
  std::vector<std::string> datagrams;  // what the child sent to the journal, in order
  // Set when the machine does not allow the private journal (no mount namespace or mount).
  std::optional<std::string> unavailable;
};

ChildResult runChild(const ChildRequest & request);

}  // namespace logger_test
