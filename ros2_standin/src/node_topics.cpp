#include "node_topics.hpp"

#include <string>
#include <utility>

#include "name_resolution.hpp"
#include "names.hpp"
#include "rcl_errors.hpp"
#include "rclcpp/exceptions/exceptions.hpp"

namespace ros2_standin
{

NodeTopics::NodeTopics(std::shared_ptr<const NodeState> node) : node_(std::move(node)) {}

std::string NodeTopics::resolve_topic_name(const std::string & name, bool only_expand) const
{
  // rclcpp reports through rcl here, not with the exceptions of endpoint creation.
  const std::string failure = "failed to resolve name";
  try {
    return ros2_standin::resolve_topic_name(*node_, name, only_expand);
  } catch (const rclcpp::exceptions::InvalidTopicNameError & error) {
    // rcl words a name invalid as written in general, an invalid expansion precisely.
    const bool written_invalid = validate_topic_name(name).has_value();
    throw_rcl_error(
      RCL_RET_TOPIC_NAME_INVALID, failure,
      written_invalid ? "topic name is invalid" : error.error_msg);
  } catch (const rclcpp::exceptions::RCLError & error) {
    throw_rcl_error(error.ret, failure, error.message);
  }
}

}  // namespace ros2_standin
