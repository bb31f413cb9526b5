// The uptime clock and the demo clock, driven by a manual tick source.
#include "core/demo_clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>

#include "platform/tick.h"
#include "platform/tool_switches.h"

namespace {

// Hands out the queued tick readings in turn; the last one repeats.
class ManualTicks : public ::testing::Test {
 protected:
  void SetUp() override {
    g_platformSwitches.tickSource = [this] {
      ++reads_;
      const uint64_t now = ticks_.front();
      if (ticks_.size() > 1) ticks_.pop_front();
      return now;
    };
  }
  void TearDown() override { g_platformSwitches.tickSource = nullptr; }

  void Ticks(std::initializer_list<uint64_t> readings) { ticks_ = readings; }

  std::deque<uint64_t> ticks_{0};
  int reads_ = 0;
};

using ClockNowTest = ManualTicks;

TEST_F(ClockNowTest, IsTheTickCountInThousandths) {
  Ticks({123456});
  EXPECT_DOUBLE_EQ(ClockNow(), 123.456);
  Ticks({0});
  EXPECT_EQ(ClockNow(), 0.0);
}

TEST_F(ClockNowTest, EveryCallReadsTheTickCounterAfresh) {
  Ticks({1000, 1016, 1032});
  EXPECT_DOUBLE_EQ(ClockNow(), 1.0);
  EXPECT_DOUBLE_EQ(ClockNow(), 1.016);
  EXPECT_DOUBLE_EQ(ClockNow(), 1.032);
  EXPECT_EQ(reads_, 3);
}

using DemoClockTest = ManualTicks;

TEST_F(DemoClockTest, StartsAtZeroUntilStarted) {
  DemoClock clock;
  EXPECT_EQ(clock.startTime, 0.0f);
}

TEST_F(DemoClockTest, ElapsedCountsFromStart) {
  DemoClock clock;
  Ticks({5000});
  clock.Start();
  EXPECT_EQ(clock.startTime, 5.0f);
  Ticks({5000});
  EXPECT_EQ(clock.Elapsed(), 0.0);
  EXPECT_TRUE(clock.InRange(0, 14));
  Ticks({47250});
  EXPECT_DOUBLE_EQ(clock.Elapsed(), 42.25);
}

TEST_F(DemoClockTest, LongUptimeShiftsElapsedTimeByAConstant) {
  // A day and a bit of uptime: a float holds the start only to 1/128 s.
  const uint64_t start = 86'400'123;
  DemoClock clock;
  Ticks({start});
  clock.Start();
  EXPECT_NE(double(clock.startTime), start * 0.001);
  EXPECT_EQ(clock.startTime, float(start * 0.001));

  Ticks({start});
  const double offset = clock.Elapsed();
  EXPECT_NE(offset, 0.0);
  EXPECT_LE(std::abs(offset), 1.0 / 256);
  for (uint64_t later : {1'000u, 30'000u, 200'000u}) {
    Ticks({start + later});
    EXPECT_NEAR(clock.Elapsed(), later * 0.001 + offset, 1e-9) << later;
  }
}

TEST_F(DemoClockTest, InRangeIncludesBothBounds) {
  DemoClock clock;
  Ticks({0});
  clock.Start();
  Ticks({30'000});
  const double t = clock.Elapsed();
  EXPECT_TRUE(clock.InRange(t, t + 45));
  EXPECT_TRUE(clock.InRange(t - 45, t));
  EXPECT_FALSE(clock.InRange(t + 0.001, t + 45));
  EXPECT_FALSE(clock.InRange(t - 45, t - 0.001));
}

TEST_F(DemoClockTest, InRangeWithEqualBoundsIsOpenOnlyWhileBothReadingsMatchThem) {
  DemoClock clock;
  Ticks({0});
  clock.Start();
  Ticks({44'000});
  const double t = clock.Elapsed();
  EXPECT_TRUE(clock.InRange(t, t));
  Ticks({44'000, 44'001});
  EXPECT_FALSE(clock.InRange(t, t));
}

TEST_F(DemoClockTest, InRangeLetsTheSecondReadingDecideTheUpperBound) {
  DemoClock clock;
  Ticks({0});
  clock.Start();
  // Inside the range at the first reading, past its end at the second.
  Ticks({74'990, 75'010});
  reads_ = 0;
  EXPECT_FALSE(clock.InRange(30, 75));
  EXPECT_EQ(reads_, 2);
  // The same first reading with the clock standing still is inside.
  Ticks({74'990});
  EXPECT_TRUE(clock.InRange(30, 75));
}

TEST_F(DemoClockTest, InRangeBelowTheLowerBoundReadsTheClockOnce) {
  DemoClock clock;
  Ticks({0});
  clock.Start();
  // Below the range at the first reading; a second reading would be inside.
  Ticks({29'990, 30'010});
  reads_ = 0;
  EXPECT_FALSE(clock.InRange(30, 75));
  EXPECT_EQ(reads_, 1);
}

}  // namespace
