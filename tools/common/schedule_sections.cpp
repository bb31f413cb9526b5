#include "tools/common/schedule_sections.h"

#include <set>

#include "core/tool_switches.h"
#include "timeline/timeline.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"

std::vector<double> ScheduleSections(DemoSession& session) {
  std::set<double> edges;
  g_coreSwitches.rangeObserver = [&edges](double from, double to) {
    edges.insert(from);
    edges.insert(to);
  };
  session.FastForward(0, FrameAt(kDemoEndSeconds, kToolFrameRate) + 1, kToolFrameRate);
  g_coreSwitches.rangeObserver = nullptr;
  if (edges.empty()) return {};
  std::vector<double> starts = {0};
  for (const double edge : edges)
    if (edge > 0 && edge < kDemoEndSeconds) starts.push_back(edge);
  return starts;
}

namespace {
// Half a frame at 60 fps: times closer than this are the same point of the frame grid.
constexpr double kSlack = 0.5 / 60;
}  // namespace

double NextSection(const std::vector<double>& starts, double seconds) {
  for (double start : starts)
    if (start > seconds + kSlack) return start;
  return starts.back();
}

double PreviousSection(const std::vector<double>& starts, double seconds) {
  double previous = starts.front();
  for (double start : starts)
    if (start < seconds - kSlack) previous = start;
  return previous;
}
