// The schedule's sections: each time the set of steps with open windows changes, a section
// starts there, and nowhere else.
#include "tools/common/schedule_sections.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "core/tool_switches.h"
#include "tests/demo_data.h"
#include "timeline/timeline.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"

namespace {

TEST(ScheduleSections, StartWhereTheOpenStepsChange) {
  DemoDataDir data(false);
  DemoSession session(1000);
  g_renderSwitches.noDisplayWait = true;
  ASSERT_TRUE(session.Start());
  const std::vector<double> starts = ScheduleSections(session);
  ASSERT_GT(starts.size(), 1u);
  EXPECT_EQ(starts.front(), 0);

  // The frames at 60 fps whose open windows differ from the frame before's: an opening
  // shows in the frame at the window's start, a closing in the frame after its end's.
  ASSERT_TRUE(session.Restart());
  g_renderSwitches.skipDrawing = true;
  std::set<std::pair<double, double>> open, before;
  double t = 0;
  g_coreSwitches.rangeObserver = [&](double from, double to) {
    if (from <= t && t <= to) open.insert({from, to});
  };
  std::set<int64_t> changes;
  for (int64_t n = 0; n <= FrameAt(kDemoEndSeconds, 60); ++n) {
    open.clear();
    session.SetDemoTime(FrameMilliseconds(n, 60));
    t = double(FrameMilliseconds(n, 60)) / 1000;
    ASSERT_TRUE(session.RunFrame());
    if (n > 0 && open != before) changes.insert(n);
    before = open;
  }
  ASSERT_FALSE(changes.empty());
  for (const int64_t n : changes) {
    bool started = false;
    for (const double s : starts) started |= FrameAt(s, 60) == n || FrameAt(s, 60) == n - 1;
    EXPECT_TRUE(started) << "the open steps change at frame " << n << " and no section starts";
  }
  for (size_t i = 1; i < starts.size(); ++i) {
    const int64_t n = FrameAt(starts[i], 60);
    EXPECT_TRUE(changes.count(n) || changes.count(n + 1))
        << "a section starts at " << starts[i] << " s where nothing changes";
    EXPECT_GT(starts[i], starts[i - 1]);
  }
}

}  // namespace
