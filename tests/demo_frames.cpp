#include "tests/demo_frames.h"

#include <cmath>
#include <sstream>

#include "platform/tick.h"
#include "render/tool_hooks.h"
#include "timeline/forest_sequence.h"
#include "timeline/random.h"
#include "timeline/timeline.h"

namespace {
constexpr uint64_t kStartTicks = 1000000;  // 1000 s of uptime: exact as a float
}

void DemoFixture::SetUp() {
  DeviceTest::SetUp();
  data_ = std::make_unique<DemoDataDir>();
  ticks_ = kStartTicks;
  SetTickSource([this] { return ticks_; });
  SRand(1);
  g_forestPhase = 1;
  g_forestPhaseStart = 0.0f;
  SetCallRecorder(&loadCalls_);
  LoadDemo();
  SetCallRecorder(nullptr);

  std::map<std::string, int> seen;
  const std::string prefix = "D3DXCreateTextureFromFileA(";
  for (const std::string& call : loadCalls_.Calls()) {
    if (call.rfind(prefix, 0) != 0) continue;
    const size_t comma = call.rfind(", ");
    const std::string path = call.substr(prefix.size(), comma - prefix.size());
    const std::string name = call.substr(comma + 2, call.size() - comma - 3);
    textureLabels_[name] = path + "#" + std::to_string(seen[path]++);
  }
}

void DemoFixture::TearDown() {
  SetTickSource(nullptr);
  DeviceTest::TearDown();
  data_.reset();
}

void DemoFixture::SetDemoTime(double t) {
  ticks_ = kStartTicks + uint64_t(std::llround(t * 1000));
}

std::map<std::string, int> DemoFixture::Frame(double t) {
  SetDemoTime(t);
  CallRecorder recorder;
  SetCallRecorder(&recorder);
  RenderFrame();
  SetCallRecorder(nullptr);
  frameCalls_ = recorder.Calls();
  return DrawsByTexture(frameCalls_);
}

std::map<std::string, int> DemoFixture::DrawsByTexture(
    const std::vector<std::string>& calls) const {
  std::map<std::string, int> draws;
  std::string texture = "null";
  for (const std::string& call : calls) {
    if (call.rfind("SetTexture(0, ", 0) == 0) {
      const std::string name = call.substr(14, call.size() - 15);
      const auto label = textureLabels_.find(name);
      texture = label == textureLabels_.end() ? name : label->second;
    } else if (call.rfind("DrawPrimitive(", 0) == 0 ||
               call.rfind("DrawIndexedPrimitive(", 0) == 0) {
      ++draws[texture];
    }
  }
  return draws;
}

size_t CountCalls(const std::vector<std::string>& calls, const std::string& prefix) {
  size_t count = 0;
  for (const std::string& call : calls) count += call.rfind(prefix, 0) == 0;
  return count;
}

std::vector<float> MatrixOf(const std::string& call) {
  std::vector<float> values;
  std::istringstream in(call.substr(call.find(',') + 1));
  float value;
  char separator;
  while (in >> value) {
    values.push_back(value);
    in >> separator;
  }
  return values;
}
