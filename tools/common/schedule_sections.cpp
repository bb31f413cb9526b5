#include "tools/common/schedule_sections.h"

#include <set>

#include "platform/tool_switches.h"
#include "timeline/timeline.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"

std::vector<double> ScheduleSections(DemoSession& session) {
  constexpr double kFps = 60;
  std::set<double> edges;
  g_platformSwitches.windowObserver = [&edges](double from, double to) {
    edges.insert(from);
    edges.insert(to);
  };
  session.FastForward(0, FrameAt(kDemoEndSeconds, kFps) + 1, kFps);
  g_platformSwitches.windowObserver = nullptr;
  if (edges.empty()) return {};
  std::vector<double> starts = {0};
  for (const double edge : edges)
    if (edge > 0 && edge < kDemoEndSeconds) starts.push_back(edge);
  return starts;
}
