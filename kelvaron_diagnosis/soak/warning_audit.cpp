#include "warning_audit.hpp"

#include <regex>
#include <sstream>

#include <fmt/format.h>

namespace kelvaron_soak
{

WarningAudit auditWarnings(const std::string & log, const std::vector<TypeChange> & changes)
{
  std::map<std::string, int> per_change;  // "topic from to"
  std::map<std::string, int> per_topic;
  for (const TypeChange & change : changes) {
    ++per_change[change.topic + ' ' + change.from + ' ' + change.to];
    ++per_topic[change.topic];
  }

  std::map<std::string, int> texts;
  std::istringstream lines(log);
  std::string line;
  constexpr const char * kMark = "[WARN] ";
  while (std::getline(lines, line)) {
    const auto mark = line.find(kMark);
    if (mark != std::string::npos) {
      ++texts[line.substr(mark + std::char_traits<char>::length(kMark))];
    }
  }

  static const std::regex kChanged(R"(Topic (\S+) changed type from (\S+) to (\S+):)");
  static const std::regex kTopic(R"((/churn/\S+?)[:,]?(\s|$))");
  WarningAudit audit;
  for (const auto & [text, count] : texts) {
    audit.warnings += count;
    int causes = 0;
    std::smatch match;
    if (std::regex_search(text, match, kChanged)) {
      causes = per_change[match[1].str() + ' ' + match[2].str() + ' ' + match[3].str()];
    } else if (
      (text.find("type") != std::string::npos || text.find("published as") != std::string::npos) &&
      std::regex_search(text, match, kTopic)) {
      // Any other word about a topic's types is owed to that topic's changes.
      causes = per_topic[match[1].str()];
    }
    audit.tied += std::min(count, causes);
    if (count > causes) {
      audit.failures.push_back(fmt::format("{} x \"{}\" with {} cause(s)", count, text, causes));
    }
  }
  return audit;
}

}  // namespace kelvaron_soak
