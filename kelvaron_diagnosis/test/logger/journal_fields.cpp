#include "journal_fields.hpp"

#include <cstdint>

namespace logger_test
{

std::optional<std::map<std::string, std::string>> parseJournalFields(const std::string & datagram)
{
  std::map<std::string, std::string> fields;
  std::size_t pos = 0;
  while (pos < datagram.size()) {
    const std::size_t end = datagram.find_first_of("=\n", pos);
    if (end == std::string::npos || end == pos) {
      return std::nullopt;
    }
    std::string name = datagram.substr(pos, end - pos);
    std::string value;
    if (datagram[end] == '=') {
      const std::size_t newline = datagram.find('\n', end + 1);
      if (newline == std::string::npos) {
        return std::nullopt;
      }
      value = datagram.substr(end + 1, newline - end - 1);
      pos = newline + 1;
    } else {
      constexpr std::size_t kLengthBytes = 8;
      const std::size_t data_start = end + 1 + kLengthBytes;
      if (data_start > datagram.size()) {
        return std::nullopt;
      }
      std::uint64_t length = 0;
      for (std::size_t i = 0; i < kLengthBytes; ++i) {
        length |= static_cast<std::uint64_t>(static_cast<unsigned char>(datagram[end + 1 + i]))
                  << (8 * i);
      }
      if (length >= datagram.size() - data_start || datagram[data_start + length] != '\n') {
        return std::nullopt;
      }
      value = datagram.substr(data_start, length);
      pos = data_start + length + 1;
    }
    fields[std::move(name)] = std::move(value);
  }
  return fields;
}

}  // namespace logger_test
