// One logger per process, however many shared objects include the header.

#include <gtest/gtest.h>

#include "child_process.hpp"
#include "expected_output.hpp"
#include "probe_paths.hpp"

namespace logger_test
{
namespace
{

TEST(LoggerModules, ShareOneInstanceAndOneCounter)
{
  const ChildResult run = runChild({{MODULES_PROBE_PATH, LOGGER_MODULE_B_PATH}, {}, false});
  ASSERT_FALSE(run.timed_out);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(
    run.out, kStdoutNotSet + kSystemdNotSet + kLevelNotSet +
               "  1 [INFO] module a reports 1\n"
               "  2 [WARN] module b reports 2\n"
               "  3 [ERROR] program reports 3\n"
               "  4 [INFO] module a reports 4\n"
               "  5 [WARN] module b reports 5\n");
}

}  // namespace
}  // namespace logger_test
