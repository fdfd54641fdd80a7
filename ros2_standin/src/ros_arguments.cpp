#include "ros_arguments.hpp"

#include <array>
#include <cctype>
#include <string>
#include <string_view>

#include "name_lexer.hpp"
#include "parameter_file.hpp"
#include "parameter_values.hpp"
#include "rcl_errors.hpp"

namespace ros2_standin
{

namespace
{

constexpr char kRosArgsFlag[] = "--ros-args";
constexpr char kEndOfRosArgs[] = "--";

void accept_parameter_name_part(NameLexer & lexer)
{
  if (lexer.peek() != Lexeme::Token && lexer.peek() != Lexeme::ForwardSlash) {
    reject_name_part_start(lexer.peek());
  }
  while (lexer.peek() == Lexeme::Token || lexer.peek() == Lexeme::ForwardSlash) {
    lexer.accept();
  }
}

// "[node:]name:=value"; without a node, the value is for every node ("/**").
void parse_parameter_rule(const std::string & text, RosArguments & result)
{
  NameLexer lexer(text);
  std::string node_pattern = "/**";
  if (lexer.peek() == Lexeme::Token && lexer.peek_second() == Lexeme::Colon) {
    node_pattern = std::string(lexer.accept());
    lexer.accept();
  }
  const size_t name_start = lexer.position();
  accept_parameter_name_part(lexer);
  while (lexer.peek() != Lexeme::Separator) {
    lexer.expect(Lexeme::Dot);
    accept_parameter_name_part(lexer);
  }
  const std::string name(lexer.consumed_since(name_start));
  lexer.expect(Lexeme::Separator);
  result.parameter_overrides.set(
    node_pattern, name, parse_parameter_value(std::string(lexer.rest())));
}

bool is_severity(std::string_view level)
{
  std::string upper;
  for (const char c : level) {
    upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  for (const char * severity : {"UNSET", "DEBUG", "INFO", "WARN", "ERROR", "FATAL"}) {
    if (upper == severity) {
      return true;
    }
  }
  return false;
}

// "[logger:=]severity": checked as rcl checks it, then ignored.
void check_log_level(const std::string & text, RosArguments &)
{
  NameLexer lexer(text);
  while (lexer.peek() != Lexeme::Separator) {
    if (lexer.peek() == Lexeme::Eof || lexer.peek() == Lexeme::None) {
      if (!is_severity(text)) {
        throw RuleError("Argument does not use a valid severity level");
      }
      return;
    }
    lexer.accept();
  }
  if (lexer.position() == 0) {
    throw RuleError("Argument has an invalid logger item that name is empty");
  }
  lexer.expect(Lexeme::Separator);
  const std::string_view level = lexer.expect(Lexeme::Token);
  lexer.expect(Lexeme::Eof);
  if (!is_severity(level)) {
    throw RuleError("Argument does not use a valid severity level");
  }
}

void add_remap_rule(const std::string & text, RosArguments & result)
{
  result.remap_rules.push_back(parse_remap_rule(text));
}

void add_parameter_file(const std::string & path, RosArguments & result)
{
  load_parameter_file(path, result.parameter_overrides);
  result.parameter_files.push_back(path);
}

// Taken as they come: rcl checks neither the log configuration file nor the enclave here.
void ignore_value(const std::string &, RosArguments &) {}

// A flag that takes the next argument, with rcl's wording for its failures.
struct ValueFlag
{
  std::array<const char *, 2> spellings;
  const char * rule;             // "Couldn't parse <rule>: '<flag> <value>'. Error: ..."
  const char * trailing_before;  // "<before><flag><after>" when no value follows
  const char * trailing_after;
  void (*parse)(const std::string & value, RosArguments & result);
};

constexpr std::array<ValueFlag, 6> kValueFlags = {{
  {{"--param", "-p"},
   "parameter override rule",
   "Couldn't parse trailing ",
   " flag. No parameter override rule found.",
   &parse_parameter_rule},
  {{"--remap", "-r"},
   "remap rule",
   "Couldn't parse trailing ",
   " flag. No remap rule found.",
   &add_remap_rule},
  {{"--params-file", nullptr},
   "params file",
   "Couldn't parse trailing ",
   " flag. No file path provided.",
   &add_parameter_file},
  {{"--log-level", nullptr},
   "log level",
   "Couldn't parse trailing log level flag: '",
   "'. No log level provided.",
   &check_log_level},
  {{"--log-config-file", nullptr},
   "log configuration file",
   "Couldn't parse trailing ",
   " flag. No file path provided.",
   &ignore_value},
  {{"--enclave", "-e"},
   "enclave name",
   "Couldn't parse trailing ",
   " flag. No enclave path provided.",
   &ignore_value},
}};

const ValueFlag * find_value_flag(const std::string & argument)
{
  for (const ValueFlag & flag : kValueFlags) {
    for (const char * spelling : flag.spellings) {
      if (spelling != nullptr && argument == spelling) {
        return &flag;
      }
    }
  }
  return nullptr;
}

// --enable-/--disable- of stdout-logs, rosout-logs and external-lib-logs.
bool is_logging_switch(const std::string & argument)
{
  for (const char * prefix : {"--enable-", "--disable-"}) {
    for (const char * output : {"stdout-logs", "rosout-logs", "external-lib-logs"}) {
      if (argument == std::string(prefix) + output) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

RosArguments parse_ros_arguments(
  const std::vector<std::string> & arguments, const std::string & error_prefix)
{
  RosArguments result;
  bool in_ros_arguments = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string & argument = arguments[i];
    if (!in_ros_arguments) {
      if (argument == kRosArgsFlag) {
        in_ros_arguments = true;
        continue;
      }
      try {
        result.remap_rules.push_back(parse_remap_rule(argument));
      } catch (const RuleError &) {
        result.non_ros_arguments.push_back(i);
      }
      continue;
    }
    if (argument == kRosArgsFlag) {
      continue;
    }
    if (argument == kEndOfRosArgs) {
      in_ros_arguments = false;
      continue;
    }
    const ValueFlag * flag = find_value_flag(argument);
    if (flag == nullptr) {
      if (!is_logging_switch(argument)) {
        result.unknown_ros_arguments.push_back(argument);
      }
      continue;
    }
    if (i + 1 == arguments.size()) {
      throw_rcl_error(
        RCL_RET_INVALID_ROS_ARGS, error_prefix,
        flag->trailing_before + argument + flag->trailing_after);
    }
    const std::string & value = arguments[++i];
    try {
      flag->parse(value, result);
    } catch (const RuleError & error) {
      throw_rcl_error(
        RCL_RET_INVALID_ROS_ARGS, error_prefix,
        std::string("Couldn't parse ") + flag->rule + ": '" + argument + " " + value +
          "'. Error: " + error.what());
    }
  }
  return result;
}

std::vector<std::string> argument_list(
  int argc, const char * const * argv, const std::string & error_prefix)
{
  if (argc < 0) {
    throw_rcl_error(RCL_RET_INVALID_ARGUMENT, error_prefix, "Argument count cannot be negative");
  }
  if (argc > 0 && argv == nullptr) {
    throw_rcl_error(RCL_RET_INVALID_ARGUMENT, error_prefix, "argv argument is null");
  }
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace ros2_standin
