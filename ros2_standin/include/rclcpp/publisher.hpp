#ifndef RCLCPP__PUBLISHER_HPP_
#define RCLCPP__PUBLISHER_HPP_

#include <memory>
#include <string>
#include <type_traits>

#include "rclcpp/macros.hpp"
#include "rclcpp/publisher_base.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "ros2_standin/message_type_support.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace rclcpp
{

template <typename MessageT, typename AllocatorT = std::allocator<void>>
class Publisher : public PublisherBase
{
public:
  using ROSMessageType = MessageT;
  using PublishedType = MessageT;
  using ROSMessageTypeDeleter = std::default_delete<ROSMessageType>;

  RCLCPP_SMART_PTR_DEFINITIONS(Publisher<MessageT, AllocatorT>)

  Publisher(
    std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic,
    const rclcpp::QoS & qos, const rclcpp::PublisherOptionsWithAllocator<AllocatorT> & options)
  : PublisherBase(std::move(node), topic, qos, ros2_standin::get_message_type_support<MessageT>())
  , options_(options)
  {
  }

  ~Publisher() override = default;

  // Exactly the message type, no conversions, as in rclcpp.
  template <typename T>
  std::enable_if_t<
    rosidl_generator_traits::is_message<T>::value && std::is_same<T, ROSMessageType>::value>
  publish(const T & msg)
  {
    this->publish_type_erased(&msg);
  }

  template <typename T>
  std::enable_if_t<
    rosidl_generator_traits::is_message<T>::value && std::is_same<T, ROSMessageType>::value>
  publish(std::unique_ptr<T, ROSMessageTypeDeleter> msg)
  {
    this->publish_type_erased(msg.get());
  }

private:
  const rclcpp::PublisherOptionsWithAllocator<AllocatorT> options_;
};

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_HPP_
