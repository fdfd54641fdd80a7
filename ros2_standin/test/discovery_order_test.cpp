// The order in which graph changes reach "ros_discovery_info", with the DDS write replaced.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "context_state.hpp"
#include "discovery_info.hpp"

using ros2_standin::ContextState;
using ros2_standin::DiscoverySnapshot;
using ros2_standin::publish_discovery_info;

namespace
{

// A context as init leaves it, without DDS: the writer handle only has to look valid.
void make_live(ContextState & context)
{
  std::lock_guard<std::mutex> lock(context.mutex);
  context.valid = true;
  context.dds.discovery_writer = 1;
}

}  // namespace

TEST(DiscoveryOrder, ConcurrentChangesAreWrittenOneAtATimeInTheirOrder)
{
  constexpr int kThreads = 4;
  constexpr int kChanges = 25;
  ContextState context;
  make_live(context);

  std::atomic_int writing{0};
  std::atomic_int overlaps{0};
  std::mutex sizes_mutex;
  std::vector<size_t> sizes;
  const auto write = [&](const DiscoverySnapshot & snapshot) {
    if (writing.fetch_add(1) != 0) {
      ++overlaps;
    }
    // A slow write gives a competing publication every chance to overtake this one.
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    {
      std::lock_guard<std::mutex> lock(sizes_mutex);
      sizes.push_back(snapshot.nodes.size());
    }
    writing.fetch_sub(1);
  };

  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kChanges; ++i) {
        {
          std::lock_guard<std::mutex> lock(context.mutex);
          context.graph.add_node("/", "node_" + std::to_string(t) + "_" + std::to_string(i));
        }
        publish_discovery_info(context, write);
      }
    });
  }
  for (auto & thread : threads) {
    thread.join();
  }

  EXPECT_EQ(overlaps, 0);
  ASSERT_EQ(sizes.size(), static_cast<size_t>(kThreads * kChanges));
  // The graph only grew: every sample must show at least what the one before did.
  for (size_t i = 1; i < sizes.size(); ++i) {
    EXPECT_LE(sizes[i - 1], sizes[i]) << "sample " << i << " overtook an older one";
  }
  EXPECT_EQ(sizes.back(), static_cast<size_t>(kThreads * kChanges));
}

TEST(DiscoveryOrder, CarriesTheParticipantAndItsWriter)
{
  ContextState context;
  make_live(context);
  context.dds.gid.fill(7);
  const uint64_t node = context.graph.add_node("/robot", "node");
  ros2_standin::Gid writer{};
  writer.fill(9);
  context.graph.add_writer(node, 42, writer);

  std::vector<DiscoverySnapshot> written;
  publish_discovery_info(
    context, [&written](const DiscoverySnapshot & snapshot) { written.push_back(snapshot); });
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0].writer, 1);
  EXPECT_EQ(written[0].participant, context.dds.gid);
  ASSERT_EQ(written[0].nodes.size(), 1u);
  EXPECT_EQ(written[0].nodes[0].namespace_, "/robot");
  EXPECT_EQ(written[0].nodes[0].writer_gids, std::vector<ros2_standin::Gid>{writer});
}

TEST(DiscoveryOrder, ShutDownContextWritesNothing)
{
  ContextState context;
  make_live(context);
  context.graph.add_node("/", "node");
  {
    std::lock_guard<std::mutex> lock(context.mutex);
    context.valid = false;
  }
  int writes = 0;
  publish_discovery_info(context, [&writes](const DiscoverySnapshot &) { ++writes; });
  EXPECT_EQ(writes, 0);

  ContextState never_initialised;
  publish_discovery_info(never_initialised, [&writes](const DiscoverySnapshot &) { ++writes; });
  EXPECT_EQ(writes, 0);
}
