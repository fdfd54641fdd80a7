#pragma once

// Reads the node's log after the run: every warning must have a cause the churn created, and an
// identical warning may come at most once per such cause.

#include <map>
#include <string>
#include <vector>

namespace kelvaron_soak
{

struct TypeChange
{
  std::string topic;
  std::string from;  // "std_msgs/msg/Header"
  std::string to;
};

struct WarningAudit
{
  int warnings{0};
  int tied{0};  // within what their causes allow
  // One line per warning text that came more often than its causes allow (or had none).
  std::vector<std::string> failures;
};

// `log` is the node's whole output; `changes` every change of type the churn made.
WarningAudit auditWarnings(const std::string & log, const std::vector<TypeChange> & changes);

}  // namespace kelvaron_soak
