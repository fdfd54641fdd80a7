#pragma once

// Sensor-stream health monitoring for ROS 2 hosts.
//
// A host keeps one Diagnosis object, calls rclcpp::init first, and tells the object of every
// frame that arrives on its monitored topics (SensorReportWithHeader/WithoutHeader). The first
// report loads the package's threshold file, creates three ROS 2 nodes with one publisher each
// and starts a timer that judges every registered stream ten times a second for time-out and
// low frame rate; the verdicts go out as brimtale_protocol/msg/DiagnosticEvent on
// "sensor_proxy_diag_topic". DataStatusReport publishes the host's own module states on the
// topic of their module. Topic names, event ids and texts are listed in
// <kelvaron_diagnosis/event_catalog.hpp>. Operations report failure by their result and a
// console line; they throw only what ROS 2 or the system throws (a node that cannot be made, a
// thread the system refuses).

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include <yaml-cpp/yaml.h>

#include <brimtale_protocol/msg/diagnostic_event.hpp>
#include <rclcpp/rclcpp.hpp>
#include <std_msgs/msg/header.hpp>

#include "kelvaron_diagnosis/health_snapshot.hpp"
#include "kelvaron_diagnosis_export.hpp"

namespace kelvaron
{
class RecentStreams;
struct StreamEntry;
struct Dependencies;
struct WorkerThread;
struct RosDiagnostics;
}  // namespace kelvaron

// Limits of one sensor stream. The field names are also the keys of the threshold file.
struct SensorThreshold
{
  float normal_hz{0.0F};                 // frames per second the sensor normally delivers
  float low_ratio{0.0F};                 // rate is low below normal_hz * low_ratio frames/s
  int64_t cutoff_timeout_ms{0};          // longest gap since the last frame, ms
  int64_t cutoff_recovery_threshold{0};  // frames a stream must deliver to be normal again
  int64_t abnormal_duration_ms{0};       // how long a low rate lasts before it is reported, ms
  // Optional: a header older than this on arrival reads WARN on /diagnostics; none if empty.
  std::optional<int64_t> max_header_age_ms{};
};

// What has been seen of one sensor stream so far.
struct SensorState
{
  std_msgs::msg::Header last_header;  // header of the latest report, copied into its events
  std::deque<int64_t> timestamps;     // arrival times (wall-clock epoch ms), oldest first
  int64_t last_receive_ms{0};         // arrival time of the latest frame, 0 before the first
  int64_t abnormal_start_ms{0};       // start of the current low-rate spell, 0 while normal
  int64_t recovery_count{0};          // recovery credit, compared with cutoff_recovery_threshold

  // The current run: consecutive frames with no gap longer than cutoff_timeout_ms between
  // neighbours. A stream is normal again once its run holds cutoff_recovery_threshold frames.
  int64_t run_frames{0};
  int64_t run_last_ms{0};

  // What the optional /diagnostics output reports besides the verdicts' inputs.
  int64_t frames_total{0};                 // frames recorded since registration
  int64_t timeouts_total{0};               // times the verdict turned from STREAM NORMAL to TIMEOUT
  int64_t low_rate_spells_total{0};        // times the frame-rate verdict turned to ABNORMAL
  std::optional<int64_t> header_age_ms{};  // arrival minus stamp of the latest header, ms
  // The latest verdicts: 0 none yet, 1 normal, 2 abnormal. The frame-rate one is the latest it
  // published; frame_rate_spoke tells whether the latest pass published one at all.
  int8_t timeout_verdict{0};
  int8_t frame_rate_verdict{0};
  bool frame_rate_spoke{false};
};

// Kinds of data-status report. Unscoped so hosts may write both forms:
// AbnormalEventType::LOCALIZATION_LOST_STATUS and LOCALIZATION_LOST_STATUS.
enum AbnormalEventType : int32_t
{
  FRONT_2D_LIDAR_STATUS = 0,         // id 8009, sensor_proxy_diag_topic
  REAR_2D_LIDAR_STATUS = 1,          // id 8011, sensor_proxy_diag_topic
  PATH_GLOBAL_PLAN_STATUS = 2,       // id 8017, chassis_pnc_diag_topic
  PATH_LOCAL_PLAN_STATUS = 3,        // id 8018, chassis_pnc_diag_topic
  LOCALIZATION_DEGRADED_STATUS = 4,  // id 8019, chassis_loc_diag_topic
  LOCALIZATION_LOST_STATUS = 5,      // id 8020, chassis_loc_diag_topic
  NAV_TO_POINT_STATUS = 6,           // id 8022, chassis_pnc_diag_topic
};

class KELVARON_DIAGNOSIS_PUBLIC Diagnosis
{
public:
  // Construction does no work: no node, no thread, no file. The first report initialises.
  Diagnosis();
  ~Diagnosis();

  Diagnosis(const Diagnosis &) = delete;
  Diagnosis & operator=(const Diagnosis &) = delete;
  Diagnosis(Diagnosis &&) = delete;
  Diagnosis & operator=(Diagnosis &&) = delete;

  // --- Initialisation ---------------------------------------------------------------------------
  // What the first report does by itself, once per object: finds the default threshold file,
  // creates the channels, loads the file and starts the timer (even when the load failed).
  // Returns whether the object is initialised; logs the outcome.
  bool autoInitialize();
  // For a host that chooses its own file: creates the channels and loads `config_path`, but
  // does not start the timer (call startTimer). Later reports then skip the automatic step.
  bool initialize(const std::string & config_path);

  // --- Host node --------------------------------------------------------------------------------
  // Makes `node` (the host's own) decide time and names, best before the first report. When its
  // use_sim_time parameter is true, everything the object times follows /clock through the
  // node's clock: arrivals, the one-second rate window, cut-offs, hold times, recovery runs,
  // header ages, the data-status rate limit and the stamps it publishes; before the first /clock
  // message nothing is judged. Relative topics of the threshold file are shown on /diagnostics
  // resolved as the node resolves them (its namespace, remapping). Without a host node the
  // object times by the wall clock, or by /clock when its own nodes run with use_sim_time
  // (`--ros-args -p use_sim_time:=true`), and shows topics as written.
  void useHostNode(const std::shared_ptr<rclcpp::Node> & node);

  // --- Registry ---------------------------------------------------------------------------------
  // Registers (or re-registers, resetting its state) one sensor. The fifth argument is a count
  // of frames: a stream is normal again once it has delivered that many frames without a gap
  // longer than `cutoff_timeout_ms`. `abnormal_duration_ms` is set to 1000 ms, one frame-rate
  // window, so a stored record always passes validateSensorThreshold.
  bool Register(
    const std::string & topic, float normal_hz, float low_ratio, long cutoff_timeout_ms,
    long cutoff_recovery_threshold);
  // Checks one record against the threshold file's ranges; prints one "[ERROR] ..." line for
  // the first field out of range. Stores nothing.
  bool validateSensorThreshold(const std::string & topic, const SensorThreshold & threshold);
  // The topics registered now, from the threshold file or Register, in byte order.
  std::vector<std::string> registeredTopics();

  // --- Frame reports ----------------------------------------------------------------------------
  // Records one frame of `topic` now, keeping `header` for the stream's events. Returns false
  // (and logs) for an unregistered topic or an object whose initialisation failed.
  bool SensorReportWithHeader(const std::string & topic, const std_msgs::msg::Header & header);
  // As above, for messages without a header: the events carry a header stamped now.
  bool SensorReportWithoutHeader(const std::string & topic);

  // --- Health-check timer -----------------------------------------------------------------------
  // Starts the thread that runs both checks every 100 ms; does nothing when it runs already.
  void startTimer();
  // Stops and joins that thread; the destructor calls it.
  void stopTimer();
  // The timer thread's body; hosts call startTimer instead.
  void timerThread();
  // One time-out pass: publishes "STREAM TIMEOUT" or "STREAM NORMAL" for every registered topic.
  void TimeoutCheck();
  // One frame-rate pass: publishes the frame-rate verdict of every stream that had frames in
  // the last second.
  void FPSCheck();

  // --- Data-status reports ----------------------------------------------------------------------
  // Publishes the state of a module on its kind's topic, at most once a second per kind (a
  // report sooner returns false). Any non-zero status is published with the abnormal text.
  bool DataStatusReport(AbnormalEventType kind, int status);

  // --- Health snapshot --------------------------------------------------------------------------
  // Every registered stream's health (and the latest status of each data-status kind) as the
  // latest pass saw it, from the figures /diagnostics reports, whether /diagnostics is on or
  // not; a stream dropped from the file is gone from the next one. The first call turns the
  // snapshots on (passes build none until a host asks) and returns an empty one; later calls
  // return that of the latest pass. Never waits for a pass; any thread.
  std::shared_ptr<const kelvaron::HealthSnapshot> healthSnapshot();

  // --- Threshold file ---------------------------------------------------------------------------
  // Validates a parsed threshold document, printing "[ERROR] ..." lines; stores nothing.
  bool validateConfig(const YAML::Node & root);
  // Replaces the registered sensors with those of a validated "sensors" map.
  bool parseSensorConfig(const YAML::Node & sensors);
  // Loads one file: replaces the registered sensors when it is valid, prints the outcome on the
  // console and leaves the watched path alone.
  bool loadConfigFromFile(const std::string & path);
  // Makes `path` the watched file (even when it fails to load), then loads it as above.
  bool initializeFromConfig(const std::string & path);
  // Loads the watched file again, now; a failed reload puts the previous thresholds back.
  // Prints its progress on the console. The watcher calls it when the file changes.
  bool reloadConfig();
  // The file's modification time in nanoseconds (whole seconds), 0 for no regular file.
  int64_t getConfigFileModifiedTime(const std::string & path);

  // --- Configuration watcher --------------------------------------------------------------------
  // Starts a thread that checks the watched file once a second and reloads it when it is
  // newer than the last successful load; does nothing when it runs already.
  void startConfigWatcher();
  // Stops and joins the watcher; the destructor calls it.
  void stopConfigWatcher();
  // The watcher thread's body; hosts call startConfigWatcher instead.
  void configWatcherThread();

private:
  // Lets the library's own tests read and set internal state; defined only in the tests.
  friend struct DiagnosisTestAccess;

  using EventPublisher = rclcpp::Publisher<brimtale_protocol::msg::DiagnosticEvent>;

  // Overwrites the four fields of diag_msg_. data_mutex_ must be held.
  void fillEvent(
    const std_msgs::msg::Header & header, int32_t event_id, int32_t event_status,
    std::string_view event_msg);
  // Publishes a health-check event; a failure is logged once and never leaves the timer thread.
  void publishHealthEvent();
  void createChannels();
  // The state of `topic`, created if new, and its thresholds; data_mutex_ must be held.
  kelvaron::StreamEntry reportedStream(const std::string & topic);
  // Records a frame of `topic` when it is registered; data_mutex_ must be held.
  bool recordArrival(
    const std::string & topic, const kelvaron::StreamEntry & entry, std::optional<int64_t> now_ms);
  int64_t configFileMtime();
  std::string configFilePath();
  void recordConfigLoad(int64_t mtime);
  // One load; the caller holds config_load_mutex_. `thresholds_touched` tells whether the
  // parser began replacing sensor_thresholds_, the only case a failed reload must undo.
  bool loadConfigHoldingLoadLock(const std::string & path, bool & thresholds_touched);
  // Calls reloadConfig on the watcher thread; an exception is logged and does not end it.
  void reloadFromWatcher();
  // Applies a loaded file's ros_diagnostics block (absent: the output is off).
  void applyRosDiagnostics(const YAML::Node & block);
  // Builds and publishes the /diagnostics array when the output is on and its period is due;
  // runs on the timer thread after each pass, never holding data_mutex_ while publishing.
  void publishRosDiagnostics();
  // The members that start, wake and join each of the two threads.
  kelvaron::WorkerThread timerWorker();
  kelvaron::WorkerThread watcherWorker();
  // The members below, in this order, make up the object; destruction runs in reverse, so the
  // threads go before the maps and the message, and the publishers go last.
  std::shared_ptr<EventPublisher> sensor_proxy_publisher_{};
  std::shared_ptr<rclcpp::Node> sensor_proxy_node_{};
  std::shared_ptr<EventPublisher> chassis_pnc_publisher_{};
  std::shared_ptr<rclcpp::Node> chassis_pnc_node_{};
  std::shared_ptr<EventPublisher> chassis_loc_publisher_{};
  std::shared_ptr<rclcpp::Node> chassis_loc_node_{};
  brimtale_protocol::msg::DiagnosticEvent diag_msg_{};
  std::unordered_map<std::string, int64_t> status_report_times_{};
  std::unordered_map<std::string, SensorThreshold> sensor_thresholds_{};
  std::unordered_map<std::string, SensorState> sensor_states_{};
  std::mutex data_mutex_{};
  std::once_flag init_once_{};
  std::atomic<bool> initialized_{false};
  std::mutex init_mutex_{};
  std::string default_config_path_{};
  std::string config_file_path_{};
  std::atomic<bool> config_loaded_{false};
  std::atomic<bool> reload_requested_{false};
  std::thread config_watcher_thread_{};
  std::condition_variable config_watcher_cv_{};
  std::mutex config_watcher_mutex_{};
  std::atomic<bool> config_watcher_running_{false};
  int64_t last_config_mtime_{0};
  std::thread timer_thread_{};
  std::atomic<bool> timer_running_{false};
  int64_t timer_period_ms_{100};
  std::condition_variable timer_cv_{};
  std::mutex timer_mutex_{};

  // Guards config_file_path_ and last_config_mtime_, which the watcher reads while other
  // threads load.
  std::mutex config_file_mutex_{};
  // Serialises whole loads, so a failed reload can never restore thresholds older than another
  // thread's successful load. Order: init_mutex_ -> config_load_mutex_ -> data_mutex_.
  std::mutex config_load_mutex_{};
  // Serialise start/stop of the two threads, so concurrent calls start or join a thread once.
  std::mutex timer_control_mutex_{};
  std::mutex watcher_control_mutex_{};
  // Whether health-check publishing is currently failing; guarded by data_mutex_.
  bool health_publish_failing_{false};
  // Entries of recently reported topics in the two maps above; guarded by data_mutex_.
  std::unique_ptr<kelvaron::RecentStreams> recent_streams_;
  // What the object takes from its surroundings (the library's tests replace parts of it).
  std::unique_ptr<kelvaron::Dependencies> dependencies_;
  // The optional /diagnostics output: settings, publisher and the data-status it reports.
  std::unique_ptr<kelvaron::RosDiagnostics> ros_diagnostics_;
};
