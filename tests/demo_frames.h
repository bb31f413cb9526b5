// Running the demo's frames under a manual clock and reading back what each drew.
//
// DemoFixture: the demo started by a session (tools/common/demo_session.h) on a tiny data
// set in a temporary directory, with the uptime clock at 1000 s at load (so demo time 0 is
// exact). The tests move both clocks freely, so the fixture sets the tick counter itself
// (ticks_) over the session's. Frame(t) draws one frame at demo time t and returns, for
// each texture (named by the file it came from and the order it was loaded in, e.g.
// "Data\Tex2.bmp#1"), how many draws used it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/demo_data.h"
#include "tests/gl_test.h"
#include "tools/common/demo_session.h"

class DemoFixture : public DeviceTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Sets the uptime clock so that the demo clock reads `t`.
  void SetDemoTime(double t);
  // Renders one frame at demo time t, recording its calls into `frameCalls_`.
  std::map<std::string, int> Frame(double t);
  // Draw counts per texture label of a list of recorded calls.
  std::map<std::string, int> DrawsByTexture(const std::vector<std::string>& calls) const;

  std::unique_ptr<DemoDataDir> data_;
  std::unique_ptr<DemoSession> session_;
  uint64_t ticks_ = 0;
  CallRecorder loadCalls_;
  std::vector<std::string> frameCalls_;
  std::map<std::string, std::string> textureLabels_;  // "tex7" -> "Data\cube.bmp#0"
};

// Count of calls that begin with `prefix`.
size_t CountCalls(const std::vector<std::string>& calls, const std::string& prefix);
// The 16 matrix entries of a recorded SetTransform call, row by row.
std::vector<float> MatrixOf(const std::string& setTransformCall);
