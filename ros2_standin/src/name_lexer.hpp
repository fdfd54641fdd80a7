#ifndef ROS2_STANDIN__SRC__NAME_LEXER_HPP_
#define ROS2_STANDIN__SRC__NAME_LEXER_HPP_

#include <cstddef>
#include <stdexcept>
#include <string_view>

namespace ros2_standin
{

// The lexemes of rcl's lexer for remap, parameter and log level rules, numbered as rcl numbers
// them: its error messages show the numbers.
enum class Lexeme : int
{
  None = 0,  // nothing rcl knows, e.g. a token starting with a digit
  Eof = 1,
  TildeSlash = 2,      // ~/
  UrlService = 3,      // rosservice://
  UrlTopic = 4,        // rostopic://
  Colon = 5,           // :
  Node = 6,            // __node or __name
  Ns = 7,              // __ns
  Separator = 8,       // :=
  Backreference1 = 9,  // \1 up to \9 follow
  Token = 18,          // ([a-zA-Z]_?|_)([0-9a-zA-Z]_?)*
  ForwardSlash = 19,
  WildOne = 20,    // *
  WildMulti = 21,  // **
  Dot = 22,
};

// A rule that does not parse; what() is worded as rcl words it.
class RuleError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

// Throws the RuleError rcl raises where a name part must start and `lexeme` cannot start one:
// its wildcards are recognised but not implemented there.
[[noreturn]] void reject_name_part_start(Lexeme lexeme);

// Reads one rule ("node:/from:=to", "name:=value") lexeme by lexeme, looking up to two
// lexemes ahead, as rcl's lexer does.
class NameLexer
{
public:
  explicit NameLexer(std::string_view text);

  Lexeme peek() const;
  Lexeme peek_second() const;

  // Consumes the next lexeme and returns its text; throws RuleError at the end or at None.
  std::string_view accept();

  // accept() when the next lexeme is `expected`, otherwise throws RuleError.
  std::string_view expect(Lexeme expected);

  // Where the next lexeme starts, and the text from there.
  size_t position() const { return position_; }
  std::string_view rest() const { return text_.substr(position_); }
  std::string_view consumed_since(size_t start) const
  {
    return text_.substr(start, position_ - start);
  }

private:
  struct Match
  {
    Lexeme lexeme;
    size_t length;
  };
  Match analyze(size_t from) const;
  size_t token_length(size_t from) const;

  std::string_view text_;
  size_t position_ = 0;
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__NAME_LEXER_HPP_
