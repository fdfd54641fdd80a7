// Hosts whose Diagnosis has static storage duration: the object is built before the process
// logger, so it is destroyed after it would otherwise be gone, and its destructor still logs.

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "journal_fields.hpp"
#include "probe_paths.hpp"
#include "support/test_domain.hpp"

namespace logger_test
{
namespace
{

struct ExitCase
{
  const char * storage;
  bool shutdown_first;
};

void PrintTo(const ExitCase & exit_case, std::ostream * os)
{
  *os << exit_case.storage << (exit_case.shutdown_first ? " with shutdown" : "");
}

class StaticObjectExit : public ::testing::TestWithParam<ExitCase>
{
};

TEST_P(StaticObjectExit, ExitsCleanlyAndLogsTheTimerStop)
{
  useOwnTestDomain();  // the probe's nodes join it
  std::vector<std::string> argv{EXIT_PROBE_PATH, GetParam().storage};
  if (GetParam().shutdown_first) {
    argv.emplace_back("shutdown");
  }
  const ChildResult run = runChild(
    {argv,
     {{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "true"}, {"SPDLOG_LEVEL", "info"}},
     true});
  if (run.unavailable) {
    GTEST_SKIP() << "no private journal socket on this machine: " << *run.unavailable;
  }
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 0) << run.out << run.err;

  // Whole lines on stdout, the stop last of the logger's lines.
  EXPECT_NE(run.out.find(" [INFO] Timer thread started\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" [INFO] Timer thread stopped\n"), std::string::npos) << run.out;

  bool journal_has_stop = false;
  for (const std::string & datagram : run.datagrams) {
    const auto fields = parseJournalFields(datagram);
    if (
      fields && fields->count("MESSAGE") != 0 &&
      fields->at("MESSAGE").find("[INFO] Timer thread stopped") != std::string::npos) {
      journal_has_stop = true;
    }
  }
  EXPECT_TRUE(journal_has_stop) << run.datagrams.size() << " journal entries";
}

INSTANTIATE_TEST_SUITE_P(
  Hosts, StaticObjectExit,
  ::testing::Values(
    ExitCase{"global", false}, ExitCase{"global", true}, ExitCase{"singleton", false},
    ExitCase{"singleton", true}),
  [](const ::testing::TestParamInfo<ExitCase> & info) {
    return std::string(info.param.storage) + (info.param.shutdown_first ? "_shutdown" : "");
  });

}  // namespace
}  // namespace logger_test
