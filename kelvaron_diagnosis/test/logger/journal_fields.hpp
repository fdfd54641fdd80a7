#pragma once

// Decodes the datagrams that libsystemd sends to the journal socket.

#include <map>
#include <optional>
#include <string>

namespace logger_test
{

// Fields of one journal entry. A field is either "NAME=value\n" or, when the value holds a
// newline, "NAME\n" followed by the value's length as a little-endian 64-bit number, the value
// and "\n". Returns nothing for a malformed datagram.
std::optional<std::map<std::string, std::string>> parseJournalFields(const std::string & datagram);

}  // namespace logger_test
