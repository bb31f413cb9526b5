#include "tools/studio/sections.h"

#include <map>
#include <utility>

#include "timeline/timeline.h"
#include "timeline/tool_switches.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"

namespace {

constexpr double kFps = 60;
// Half a frame: times closer than this are the same point of the grid.
constexpr double kSlack = 0.5 / kFps;

}  // namespace

std::vector<double> FindSectionStarts(DemoSession& session) {
  // Each frame's set of open steps, as the step windows open in it.
  std::map<std::pair<double, double>, bool> open;
  bool changed = false;
  g_timelineSwitches.rangeObserver = [&](double from, double to, bool isOpen) {
    auto [it, added] = open.try_emplace({from, to}, isOpen);
    if (it->second != isOpen) changed = true;
    it->second = isOpen;
    if (added && isOpen) changed = true;
  };
  std::vector<double> starts{0};
  const int64_t end = FrameAt(kDemoEndSeconds, kFps) + 1;
  g_renderSwitches.skipDrawing = true;
  for (int64_t n = 0; n < end; ++n) {
    changed = false;
    session.SetDemoTime(FrameMilliseconds(n, kFps));
    if (!session.RunFrame()) break;
    if (changed && n > 0) starts.push_back(double(FrameMilliseconds(n, kFps)) * 0.001);
  }
  g_renderSwitches.skipDrawing = false;
  g_timelineSwitches.rangeObserver = nullptr;
  return starts;
}

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
