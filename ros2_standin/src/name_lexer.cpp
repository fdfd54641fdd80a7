#include "name_lexer.hpp"

#include <cctype>
#include <string>

namespace ros2_standin
{

namespace
{

bool is_alpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool is_alnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

bool starts_with(std::string_view text, size_t from, std::string_view prefix)
{
  return text.compare(from, prefix.size(), prefix) == 0;
}

int number(Lexeme lexeme) { return static_cast<int>(lexeme); }

}  // namespace

NameLexer::NameLexer(std::string_view text) : text_(text) {}

size_t NameLexer::token_length(size_t from) const
{
  // A single '_' may follow each letter or digit; a token never holds "__".
  size_t end = from + 1;
  if (is_alpha(text_[from]) && end < text_.size() && text_[end] == '_') {
    ++end;
  }
  while (end < text_.size() && is_alnum(text_[end])) {
    ++end;
    if (end < text_.size() && text_[end] == '_') {
      ++end;
    }
  }
  return end - from;
}

NameLexer::Match NameLexer::analyze(size_t from) const
{
  if (from >= text_.size()) {
    return {Lexeme::Eof, 0};
  }
  const char c = text_[from];
  const char next = from + 1 < text_.size() ? text_[from + 1] : '\0';
  switch (c) {
    case '/':
      return {Lexeme::ForwardSlash, 1};
    case '.':
      return {Lexeme::Dot, 1};
    case '~':
      return next == '/' ? Match{Lexeme::TildeSlash, 2} : Match{Lexeme::None, 0};
    case '*':
      return next == '*' ? Match{Lexeme::WildMulti, 2} : Match{Lexeme::WildOne, 1};
    case ':':
      return next == '=' ? Match{Lexeme::Separator, 2} : Match{Lexeme::Colon, 1};
    case '\\':
      if (next >= '1' && next <= '9') {
        return {static_cast<Lexeme>(number(Lexeme::Backreference1) + (next - '1')), 2};
      }
      return {Lexeme::None, 0};
    default:
      break;
  }
  if (starts_with(text_, from, "rostopic://")) {
    return {Lexeme::UrlTopic, 11};
  }
  if (starts_with(text_, from, "rosservice://")) {
    return {Lexeme::UrlService, 13};
  }
  if (c == '_' && next == '_') {
    if (starts_with(text_, from, "__ns")) {
      return {Lexeme::Ns, 4};
    }
    if (starts_with(text_, from, "__node") || starts_with(text_, from, "__name")) {
      return {Lexeme::Node, 6};
    }
    return {Lexeme::None, 0};
  }
  if (is_alpha(c) || c == '_') {
    return {Lexeme::Token, token_length(from)};
  }
  return {Lexeme::None, 0};
}

Lexeme NameLexer::peek() const { return analyze(position_).lexeme; }

Lexeme NameLexer::peek_second() const
{
  const Match first = analyze(position_);
  if (first.lexeme == Lexeme::Eof || first.lexeme == Lexeme::None) {
    return first.lexeme;
  }
  return analyze(position_ + first.length).lexeme;
}

std::string_view NameLexer::accept()
{
  const Match match = analyze(position_);
  if (match.lexeme == Lexeme::Eof || match.lexeme == Lexeme::None) {
    throw RuleError("Cannot accept lexeme at index " + std::to_string(position_));
  }
  const std::string_view text = text_.substr(position_, match.length);
  position_ += match.length;
  return text;
}

void reject_name_part_start(Lexeme lexeme)
{
  switch (lexeme) {
    case Lexeme::WildOne:
      throw RuleError("Wildcard '*' is not implemented");
    case Lexeme::WildMulti:
      throw RuleError("Wildcard '**' is not implemented");
    default:
      throw RuleError("Expecting token or wildcard");
  }
}

std::string_view NameLexer::expect(Lexeme expected)
{
  const Lexeme found = peek();
  if (found == expected) {
    return found == Lexeme::Eof ? std::string_view() : accept();
  }
  if (found == Lexeme::None || found == Lexeme::Eof) {
    throw RuleError(
      "Expected lexeme type (" + std::to_string(number(expected)) +
      ") not found, search ended at index " + std::to_string(position_));
  }
  throw RuleError(
    "Expected lexeme type " + std::to_string(number(expected)) + ", got " +
    std::to_string(number(found)) + " at index " + std::to_string(position_));
}

}  // namespace ros2_standin
