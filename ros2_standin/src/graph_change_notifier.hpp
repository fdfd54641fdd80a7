#ifndef ROS2_STANDIN__SRC__GRAPH_CHANGE_NOTIFIER_HPP_
#define ROS2_STANDIN__SRC__GRAPH_CHANGE_NOTIFIER_HPP_

#include <dds/dds.h>

#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "rclcpp/event.hpp"
#include "ros2_standin/visibility_control.hpp"

namespace ros2_standin
{

// Sets the graph events of a context's nodes whenever a reader or writer of a ROS topic appears
// or goes, as rclcpp's graph listener does on rmw's graph guard condition. It listens
// to DDS discovery's built-in topics with readers of its own, on Cyclone's thread. Exported
// because tests hold contexts' states.
class ROS2_STANDIN_PUBLIC GraphChangeNotifier
{
public:
  // Throws std::runtime_error when DDS refuses the readers.
  explicit GraphChangeNotifier(dds_entity_t participant);
  // Waits for a notification under way.
  ~GraphChangeNotifier();
  GraphChangeNotifier(const GraphChangeNotifier &) = delete;
  GraphChangeNotifier & operator=(const GraphChangeNotifier &) = delete;

  void add(const std::shared_ptr<rclcpp::Event> & event);
  // Also called at shutdown, so that nobody waits on a graph that will no longer change.
  void notify_all();

private:
  static void on_data_available(dds_entity_t reader, void * notifier);
  void take_changes(dds_entity_t reader);

  // Guards ros_endpoints_: Cyclone may call the two readers' listeners from different threads.
  std::mutex endpoints_mutex_;
  std::unordered_set<dds_instance_handle_t> ros_endpoints_;
  // Guards events_.
  std::mutex mutex_;
  std::vector<std::weak_ptr<rclcpp::Event>> events_;
  std::vector<dds_entity_t> readers_;
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__GRAPH_CHANGE_NOTIFIER_HPP_
