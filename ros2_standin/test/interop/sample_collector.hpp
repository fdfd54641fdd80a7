#ifndef ROS2_STANDIN__TEST__INTEROP__SAMPLE_COLLECTOR_HPP_
#define ROS2_STANDIN__TEST__INTEROP__SAMPLE_COLLECTOR_HPP_

#include <fastdds/rtps/common/Guid.h>
#include <fastdds/dds/subscriber/DataReader.hpp>
#include <fastdds/dds/subscriber/DataReaderListener.hpp>
#include <fastdds/dds/subscriber/SampleInfo.hpp>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

namespace interop
{

// Keeps every sample a Fast DDS reader takes, with the GUID of the writer that sent it, and
// lets the test wait for what it expects. Listener calls come from Fast DDS's own threads.
template <typename PubSubType>
class SampleCollector : public eprosima::fastdds::dds::DataReaderListener
{
public:
  using Data = typename PubSubType::type;

  struct Sample
  {
    Data data;
    eprosima::fastrtps::rtps::GUID_t writer;
  };

  void on_data_available(eprosima::fastdds::dds::DataReader * reader) override
  {
    Data data;
    eprosima::fastdds::dds::SampleInfo info;
    while (reader->take_next_sample(&data, &info) == ReturnCode_t::RETCODE_OK) {
      if (info.valid_data) {
        std::lock_guard<std::mutex> lock(mutex_);
        samples_.push_back({data, info.sample_identity.writer_guid()});
      }
    }
    changed_.notify_all();
  }

  void on_subscription_matched(
    eprosima::fastdds::dds::DataReader *,
    const eprosima::fastdds::dds::SubscriptionMatchedStatus & status) override
  {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      matched_ = status.current_count;
    }
    changed_.notify_all();
  }

  bool wait_matched(std::chrono::milliseconds deadline)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, deadline, [this] { return matched_ > 0; });
  }

  // Waits until `done` holds for the samples taken so far.
  bool wait_for(
    const std::function<bool(const std::vector<Sample> &)> & done,
    std::chrono::milliseconds deadline)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, deadline, [&] { return done(samples_); });
  }

  bool wait_for_count(std::size_t count, std::chrono::milliseconds deadline)
  {
    return wait_for(
      [count](const std::vector<Sample> & all) { return all.size() >= count; }, deadline);
  }

  std::vector<Sample> samples() const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
  }

private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  int32_t matched_ = 0;
  std::vector<Sample> samples_;
};

}  // namespace interop

#endif  // ROS2_STANDIN__TEST__INTEROP__SAMPLE_COLLECTOR_HPP_
