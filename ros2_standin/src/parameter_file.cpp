#include "parameter_file.hpp"

#include <yaml-cpp/yaml.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "name_lexer.hpp"
#include "names.hpp"
#include "parameter_values.hpp"

namespace ros2_standin
{

namespace
{

constexpr std::string_view kParametersKey = "ros__parameters";

std::string at_line(const YAML::Node & node)
{
  return " at line " + std::to_string(node.Mark().line + 1);
}

// rcl's checks of a node name in a file: each namespace level and the node name valid, or a
// wildcard.
void validate_node_pattern(const std::string & pattern)
{
  if (pattern == "/**" || pattern == "/*") {
    return;
  }
  const size_t last_slash = pattern.rfind('/');
  const size_t first = pattern[0] == '/' ? 1 : 0;
  if (last_slash != std::string::npos && last_slash >= first) {
    const std::string levels = pattern.substr(first, last_slash - first);
    for (size_t start = 0;;) {
      const size_t end = levels.find('/', start);
      const std::string level = levels.substr(start, end - start);
      if (level.empty()) {
        throw RuleError(pattern + " contains repeated forward slash");
      }
      if (level != "*" && level != "**") {
        if (auto problem = validate_namespace("/" + level)) {
          throw RuleError(problem->message);
        }
      }
      if (end == std::string::npos) {
        break;
      }
      start = end + 1;
    }
  }
  const std::string node_name =
    last_slash == std::string::npos ? pattern : pattern.substr(last_slash + 1);
  if (node_name != "*" && node_name != "**") {
    if (auto problem = validate_node_name(node_name)) {
      throw RuleError(problem->message);
    }
  }
}

class FileReader
{
public:
  FileReader(std::string_view source, ParameterOverrideSet & overrides)
  : source_(source), overrides_(overrides)
  {
  }

  void read_document(const YAML::Node & document)
  {
    if (document.IsSequence()) {
      throw RuleError("Sequences cannot be key" + at_line(document));
    }
    if (document.IsMap()) {
      read_node_level(document, "");
    }
  }

private:
  // Keys name nodes and namespaces until ros__parameters.
  void read_node_level(const YAML::Node & map, const std::string & node_pattern)
  {
    for (const auto & entry : map) {
      const std::string key = key_of(entry.first);
      const YAML::Node & value = entry.second;
      if (key.compare(0, kParametersKey.size(), kParametersKey) == 0) {
        if (node_pattern.empty()) {
          throw RuleError(
            "There are no node names before " + std::string(kParametersKey) + at_line(entry.first));
        }
        validate_node_pattern(node_pattern);
        if (value.IsMap()) {
          read_parameters(value, node_pattern, "");
        } else if (!(value.IsSequence() && value.size() == 0)) {
          throw RuleError("Cannot have a value before ros__parameters" + at_line(value));
        }
      } else if (value.IsMap()) {
        // Keys join with one '/', as "/": then "ns": gives "/ns".
        const bool no_slash = node_pattern.empty() || node_pattern.back() == '/';
        read_node_level(value, node_pattern + (no_slash ? "" : "/") + key);
      } else if (value.IsSequence()) {
        throw RuleError(
          "Sequences can only be values and not keys in params. Error" + at_line(value));
      } else {
        throw RuleError("Cannot have a value before ros__parameters" + at_line(value));
      }
    }
  }

  // Below ros__parameters, nested maps make dotted names.
  void read_parameters(
    const YAML::Node & map, const std::string & node_pattern, const std::string & prefix)
  {
    for (const auto & entry : map) {
      const std::string name = (prefix.empty() ? "" : prefix + ".") + key_of(entry.first);
      if (entry.second.IsMap()) {
        read_parameters(entry.second, node_pattern, name);
      } else {
        overrides_.set(node_pattern, name, parameter_value_of(entry.second, source_));
      }
    }
  }

  static std::string key_of(const YAML::Node & key)
  {
    if (!key.IsScalar() || key.Scalar().empty()) {
      throw RuleError("No key" + at_line(key));
    }
    return key.Scalar();
  }

  std::string_view source_;
  ParameterOverrideSet & overrides_;
};

struct FileCloser
{
  void operator()(FILE * file) const { std::fclose(file); }
};

std::string read_file(const std::string & path)
{
  const std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    throw RuleError("Error opening YAML file");
  }
  std::string contents;
  std::array<char, 4096> buffer;
  size_t length = 0;
  while ((length = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
    contents.append(buffer.data(), length);
  }
  // A directory opens, but does not read.
  if (std::ferror(file.get()) != 0) {
    throw RuleError("Error reading YAML file");
  }
  return contents;
}

}  // namespace

void load_parameter_file(const std::string & path, ParameterOverrideSet & overrides)
{
  const std::string source = read_file(path);
  std::vector<YAML::Node> documents;
  try {
    documents = YAML::LoadAll(source);
  } catch (const YAML::Exception & error) {
    throw RuleError(
      "Error parsing a event near line " + std::to_string(error.mark.line + 1) + ": " + error.msg);
  }
  FileReader reader(source, overrides);
  for (const YAML::Node & document : documents) {
    reader.read_document(document);
  }
}

}  // namespace ros2_standin
