// The journal sink, received on our own socket at the journal's path inside a private mount
// namespace of the probe, so the machine's journal (if any) never sees test entries.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "expected_output.hpp"
#include "journal_fields.hpp"
#include "probe_paths.hpp"

namespace logger_test
{
namespace
{

using Fields = std::map<std::string, std::string>;

struct Site
{
  std::string file;
  std::string line;
};

// The probe reports each call site on stderr as "site <line> <file>".
std::vector<Site> sitesOf(const std::string & err)
{
  std::vector<Site> sites;
  std::istringstream stream(err);
  for (std::string line; std::getline(stream, line);) {
    std::istringstream words(line);
    std::string tag;
    Site site;
    words >> tag >> site.line;
    std::getline(words >> std::ws, site.file);
    if (tag == "site") {
      sites.push_back(site);
    }
  }
  return sites;
}

std::vector<Fields> entriesOf(const ChildResult & run)
{
  std::vector<Fields> entries;
  for (const std::string & datagram : run.datagrams) {
    const auto fields = parseJournalFields(datagram);
    EXPECT_TRUE(fields.has_value()) << "malformed datagram: " << datagram;
    if (fields) {
      entries.push_back(*fields);
    }
  }
  return entries;
}

#define RUN_WITH_PRIVATE_JOURNAL(run, env)                                             \
  const ChildResult run = runChild({{LOGGER_PROBE_PATH, "sites"}, env, true});         \
  if (run.unavailable) {                                                               \
    GTEST_SKIP() << "no private journal socket on this machine: " << *run.unavailable; \
  }                                                                                    \
  ASSERT_FALSE(run.timed_out);                                                         \
  ASSERT_EQ(run.exit_code, 0) << run.err

const std::string kSitesOut =
  "  1 [INFO] Timer thread started\n"
  "  2 [WARN] Sensor topic not registered: /scan\n"
  "  3 [ERROR] Failed to auto-initialize diagnosis system with config: a\nb.yaml\n";

TEST(LoggerJournal, EntriesCarryTheConsoleTextAndTheCallSite)
{
  RUN_WITH_PRIVATE_JOURNAL(
    run, (std::map<std::string, std::string>{
           {"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "true"}, {"SPDLOG_LEVEL", "info"}}));
  EXPECT_EQ(run.out, kSitesOut);

  const std::vector<Site> sites = sitesOf(run.err);
  const std::vector<Fields> entries = entriesOf(run);
  ASSERT_EQ(sites.size(), 3U) << run.err;
  ASSERT_EQ(entries.size(), 3U);

  const std::vector<std::string> messages{
    "  1 [INFO] Timer thread started", "  2 [WARN] Sensor topic not registered: /scan",
    "  3 [ERROR] Failed to auto-initialize diagnosis system with config: a\nb.yaml"};
  const std::vector<std::string> priorities{"6", "4", "3"};
  const std::vector<std::string> functions{"reportTimerStarted", "operator()", "logSites"};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i + 1));
    const Fields & entry = entries[i];
    EXPECT_EQ(entry.at("MESSAGE"), messages[i]);
    EXPECT_EQ(entry.at("SYSLOG_IDENTIFIER"), "spdlog");
    EXPECT_EQ(entry.at("PRIORITY"), priorities[i]);
    EXPECT_EQ(entry.at("CODE_FUNC"), functions[i]);
    EXPECT_EQ(entry.at("CODE_FILE"), sites[i].file);
    EXPECT_EQ(entry.at("CODE_LINE"), sites[i].line);
    EXPECT_EQ(entry.size(), 6U);
  }
  // The multi-line message travels in the length-prefixed form.
  EXPECT_NE(run.datagrams[2].find("MESSAGE\n"), std::string::npos);
  EXPECT_EQ(run.datagrams[0].find("MESSAGE\n"), std::string::npos);
}

TEST(LoggerJournal, JournalOnlyFollowsTheLevel)
{
  RUN_WITH_PRIVATE_JOURNAL(
    run, (std::map<std::string, std::string>{
           {"SPDLOG_STDOUT", "false"}, {"SPDLOG_SYSTEMD", "true"}, {"SPDLOG_LEVEL", "warning"}}));
  EXPECT_EQ(run.out, "");
  const std::vector<Fields> entries = entriesOf(run);
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0].at("MESSAGE"), "  1 [WARN] Sensor topic not registered: /scan");
  EXPECT_EQ(entries[0].at("PRIORITY"), "4");
  EXPECT_EQ(
    entries[1].at("MESSAGE"),
    "  2 [ERROR] Failed to auto-initialize diagnosis system with config: a\nb.yaml");
  EXPECT_EQ(entries[1].at("PRIORITY"), "3");
}

struct NoJournalCase
{
  std::string name;
  std::map<std::string, std::string> env;
  std::string expected_out;
};

void PrintTo(const NoJournalCase & c, std::ostream * os) { *os << c.name; }

class LoggerNoJournal : public ::testing::TestWithParam<NoJournalCase>
{
};

TEST_P(LoggerNoJournal, SendsNothing)
{
  RUN_WITH_PRIVATE_JOURNAL(run, GetParam().env);
  EXPECT_EQ(run.out, GetParam().expected_out);
  EXPECT_TRUE(run.datagrams.empty());
}

INSTANTIATE_TEST_SUITE_P(
  Settings, LoggerNoJournal,
  ::testing::Values(
    NoJournalCase{"Unset", {}, kStdoutNotSet + kSystemdNotSet + kLevelNotSet + kSitesOut},
    NoJournalCase{"False", {{"SPDLOG_SYSTEMD", "false"}}, kStdoutNotSet + kLevelNotSet + kSitesOut},
    NoJournalCase{
      "Yes",
      {{"SPDLOG_SYSTEMD", "yes"}},
      kStdoutNotSet + kSystemdInvalid + kLevelNotSet + kSitesOut},
    NoJournalCase{
      "UpperCase",
      {{"SPDLOG_SYSTEMD", "TRUE"}},
      kStdoutNotSet + kSystemdInvalid + kLevelNotSet + kSitesOut}),
  [](const ::testing::TestParamInfo<NoJournalCase> & info) { return info.param.name; });

// The decoder itself, on hand-made datagrams.
std::string binaryField(const std::string & name, const std::string & value)
{
  std::string field = name + "\n";
  std::uint64_t length = value.size();
  for (int i = 0; i < 8; ++i) {
    field.push_back(static_cast<char>(length & 0xFF));
    length >>= 8;
  }
  return field + value + "\n";
}

TEST(JournalFields, DecodesBothForms)
{
  const auto fields = parseJournalFields(
    "PRIORITY=6\n" + binaryField("MESSAGE", "two\nlines=") + "CODE_FUNC=operator()\n");
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(
    *fields, (Fields{{"PRIORITY", "6"}, {"MESSAGE", "two\nlines="}, {"CODE_FUNC", "operator()"}}));
}

TEST(JournalFields, RejectsMalformedDatagrams)
{
  EXPECT_FALSE(parseJournalFields("PRIORITY=6").has_value());     // no end of line
  EXPECT_FALSE(parseJournalFields("=6\n").has_value());           // no name
  EXPECT_FALSE(parseJournalFields("MESSAGE\n\x03").has_value());  // short length
  std::string too_long = binaryField("MESSAGE", "abc");
  too_long[8] = 9;  // length 9 of a 3-byte value
  EXPECT_FALSE(parseJournalFields(too_long).has_value());
  std::string unterminated = binaryField("MESSAGE", "abc");
  unterminated.back() = 'x';
  EXPECT_FALSE(parseJournalFields(unterminated).has_value());
}

}  // namespace
}  // namespace logger_test
