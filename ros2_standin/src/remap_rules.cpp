#include "remap_rules.hpp"

#include <stdexcept>
#include <string>

#include "name_lexer.hpp"
#include "names.hpp"
#include "rclcpp/exceptions/exceptions.hpp"

namespace ros2_standin
{

namespace
{

void accept_match_token(NameLexer & lexer)
{
  if (lexer.peek() != Lexeme::Token) {
    reject_name_part_start(lexer.peek());
  }
  lexer.accept();
}

void accept_replacement_token(NameLexer & lexer)
{
  const int lexeme = static_cast<int>(lexer.peek());
  const int first_backreference = static_cast<int>(Lexeme::Backreference1);
  if (lexeme >= first_backreference && lexeme < first_backreference + 9) {
    throw RuleError("Backreferences are not implemented");
  }
  lexer.expect(Lexeme::Token);
}

void accept_leading_slash(NameLexer & lexer)
{
  if (lexer.peek() == Lexeme::TildeSlash || lexer.peek() == Lexeme::ForwardSlash) {
    lexer.accept();
  }
}

// [rostopic://|rosservice://] [~/|/] token (/ token)* := [~/|/] token (/ token)*
void parse_name_remap(NameLexer & lexer, RemapRule & rule)
{
  if (lexer.peek() == Lexeme::UrlTopic) {
    rule.services = false;
    lexer.accept();
  } else if (lexer.peek() == Lexeme::UrlService) {
    rule.topics = false;
    lexer.accept();
  }
  const size_t match_start = lexer.position();
  accept_leading_slash(lexer);
  accept_match_token(lexer);
  while (lexer.peek() != Lexeme::Separator) {
    lexer.expect(Lexeme::ForwardSlash);
    accept_match_token(lexer);
  }
  rule.match = std::string(lexer.consumed_since(match_start));
  lexer.expect(Lexeme::Separator);

  const size_t replacement_start = lexer.position();
  accept_leading_slash(lexer);
  accept_replacement_token(lexer);
  while (lexer.peek() != Lexeme::Eof) {
    lexer.expect(Lexeme::ForwardSlash);
    accept_replacement_token(lexer);
  }
  rule.replacement = std::string(lexer.consumed_since(replacement_start));
}

// __ns := / (token /?)*   -- fully qualified, a trailing slash allowed
void parse_namespace_replacement(NameLexer & lexer, RemapRule & rule)
{
  lexer.expect(Lexeme::Ns);
  lexer.expect(Lexeme::Separator);
  const size_t start = lexer.position();
  lexer.expect(Lexeme::ForwardSlash);
  while (lexer.peek() == Lexeme::Token) {
    lexer.accept();
    if (lexer.peek() != Lexeme::ForwardSlash) {
      break;
    }
    lexer.accept();
  }
  lexer.expect(Lexeme::Eof);
  rule.kind = RemapRule::Kind::Namespace;
  rule.replacement = std::string(lexer.consumed_since(start));
}

std::string expanded_or_empty(
  const std::string & name, const std::string & node_name, const std::string & namespace_)
{
  // A match that does not expand for this node matches nothing, as in rcl.
  try {
    return expand_topic_name(name, node_name, namespace_);
  } catch (const rclcpp::exceptions::NameValidationError &) {
  } catch (const rclcpp::exceptions::RCLErrorBase &) {
  }
  return std::string();
}

const RemapRule * first_match(
  const std::vector<RemapRule> * rules, RemapRule::Kind kind, const std::string & node_name,
  const std::string * expanded_topic, const std::string & namespace_)
{
  if (rules == nullptr) {
    return nullptr;
  }
  for (const RemapRule & rule : *rules) {
    if (rule.kind != kind || (kind == RemapRule::Kind::Name && !rule.topics)) {
      continue;
    }
    if (!rule.node_name.empty() && rule.node_name != node_name) {
      continue;
    }
    if (
      kind == RemapRule::Kind::Name &&
      expanded_or_empty(rule.match, node_name, namespace_) != *expanded_topic) {
      continue;
    }
    return &rule;
  }
  return nullptr;
}

const RemapRule * first_match(
  const RemapSources & rules, RemapRule::Kind kind, const std::string & node_name,
  const std::string * expanded_topic = nullptr, const std::string & namespace_ = std::string())
{
  if (
    const RemapRule * rule =
      first_match(rules.local, kind, node_name, expanded_topic, namespace_)) {
    return rule;
  }
  return first_match(rules.global, kind, node_name, expanded_topic, namespace_);
}

}  // namespace

RemapRule parse_remap_rule(std::string_view text)
{
  NameLexer lexer(text);
  RemapRule rule;
  if (lexer.peek() == Lexeme::Token && lexer.peek_second() == Lexeme::Colon) {
    rule.node_name = std::string(lexer.accept());
    lexer.accept();
  }
  switch (lexer.peek()) {
    case Lexeme::Node:
      lexer.accept();
      lexer.expect(Lexeme::Separator);
      rule.kind = RemapRule::Kind::NodeName;
      rule.replacement = std::string(lexer.expect(Lexeme::Token));
      break;
    case Lexeme::Ns:
      parse_namespace_replacement(lexer, rule);
      break;
    default:
      parse_name_remap(lexer, rule);
      break;
  }
  lexer.expect(Lexeme::Eof);
  return rule;
}

std::optional<std::string> remap_node_name(
  const RemapSources & rules, const std::string & node_name)
{
  if (const RemapRule * rule = first_match(rules, RemapRule::Kind::NodeName, node_name)) {
    return rule->replacement;
  }
  return std::nullopt;
}

std::optional<std::string> remap_namespace(
  const RemapSources & rules, const std::string & node_name)
{
  if (const RemapRule * rule = first_match(rules, RemapRule::Kind::Namespace, node_name)) {
    return rule->replacement;
  }
  return std::nullopt;
}

std::optional<std::string> remap_topic_name(
  const RemapSources & rules, const std::string & expanded_topic, const std::string & node_name,
  const std::string & namespace_)
{
  const RemapRule * rule =
    first_match(rules, RemapRule::Kind::Name, node_name, &expanded_topic, namespace_);
  if (rule == nullptr) {
    return std::nullopt;
  }
  return expand_topic_name(rule->replacement, node_name, namespace_);
}

}  // namespace ros2_standin
