// The schedule: which steps draw at which demo times, the cull writes, the end, and the
// forest moves' hand-overs. Steps are told apart by the textures their draws use.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "tests/demo_frames.h"
#include "timeline/forest_sequence.h"

namespace {

using Draws = std::map<std::string, int>;

// The draws each step makes with the test data set, by texture.
const Draws kGrey = {{"Data\\gray.bmp#1", 1}, {"Data\\gray.bmp#2", 1}};  // step 2
const Draws kEchoes = {{"Data\\gray.bmp#0", 3}};                         // step 3
const Draws kPresents = {{"Data\\presents.bmp#0", 1}};                   // step 4
const Draws kTitle = {{"Data\\brindlequay.bmp#0", 1}};                   // step 5
const Draws kCubes = {{"Data\\cube.bmp#0", 2},
                      {"Data\\cube2.bmp#0", 6},  // step 8
                      {"Data\\cube3.bmp#0", 36},
                      {"Data\\cube4.bmp#0", 216}};
const Draws kSwirl = {{"Data\\Tex3.bmp#0", 1}};                            // steps 9, 15
const Draws kRoom = {{"Data\\Gray.bmp#0", 1},   {"Data\\Gray.bmp#1", 24},  // steps 10, 11
                     {"Data\\Gray.bmp#2", 1},   {"Data\\StenAl.bmp#0", 36},
                     {"Data\\StenAl.bmp#1", 1}, {"Data\\bricks.bmp#0", 144},
                     {"Data\\rum.bmp#0", 2}};
const Draws kWavesA = {{"Data\\Tex2.bmp#0", 1}};            // steps 14, 16
const Draws kWavesB = {{"Data\\Tex2.bmp#1", 1}};            // steps 14, 17
const Draws kWhere = {{"Data\\where.bmp#0", 1}};            // step 19
const Draws kFinish = {{"Data\\finish.bmp#0", 1}};          // step 20
const Draws kCode = {{"Data\\code.bmp#0", 1}};              // step 21
const Draws kGreets = {{"Data\\greets.bmp#0", 1}};          // step 22
const Draws kForestTrees = {{"Data\\granstam.bmp#0", 67}};  // step 7

Draws Sum(std::initializer_list<Draws> parts) {
  Draws total;
  for (const Draws& part : parts)
    for (const auto& [texture, count] : part) total[texture] += count;
  return total;
}

// The draws of a frame restricted to the textures `expected` or the frame name.
Draws Only(const Draws& frame, const Draws& expected) {
  Draws kept;
  for (const auto& [texture, count] : frame)
    if (expected.count(texture)) kept[texture] = count;
  return kept;
}

class TimelineTest : public DemoFixture {};

TEST_F(TimelineTest, EachTimeDrawsExactlyTheStepsWhoseWindowsContainIt) {
  const struct {
    double t;
    Draws expected;
  } cases[] = {
      {0, Sum({kSwirl})},
      {14, Sum({kSwirl, kWavesA, kWavesB})},
      {29.99, Sum({kWavesA, kWavesB})},
      {30, Sum({kGrey, kEchoes, kWavesA, kWavesB})},
      {44, Sum({kGrey, kEchoes, kPresents, kTitle, kWavesA, kWavesB})},
      {65, Sum({kGrey, kPresents, kTitle, kWhere})},
      {135, Sum({kCubes, kWavesA, kWavesB})},
      {140, Sum({kCubes})},
      {145, Sum({kCubes, kSwirl, kFinish})},
      {155, Sum({kSwirl, kRoom, kFinish})},
      {170, Sum({kRoom, kRoom})},
      {180, Sum({kSwirl, kRoom, kCode})},
      {185, Sum({kSwirl, kCode, kGreets})},
      {195, Sum({kSwirl, kCode, kGreets})},
      {200, Sum({kSwirl, kGreets})},
      {200.001, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Frame(c.t), c.expected) << "at t = " << c.t;
}

TEST_F(TimelineTest, ForestWindowDrawsTheGladeWithTheOtherStepsOfItsTime) {
  const Draws at75 = Frame(75);
  EXPECT_EQ(Only(at75, Sum({kGrey, kWhere, kForestTrees})), Sum({kGrey, kWhere, kForestTrees}));
  EXPECT_EQ(at75.count("Data\\gray.bmp#0"), 0u) << "no echoes after 44 s";

  const Draws at114 = Frame(114);
  EXPECT_EQ(Only(at114, Sum({kForestTrees, kWavesA, kWavesB, kGrey})),
            Sum({kForestTrees, kWavesA, kWavesB}));

  const Draws at124 = Frame(124);
  EXPECT_EQ(Only(at124, Sum({kForestTrees, kCubes, kWavesA, kWavesB})),
            Sum({kForestTrees, kCubes, kWavesA, kWavesB}));
}

TEST_F(TimelineTest, StepEighteenLeavesCullingAtZeroUnlessAPictureFollows) {
  for (double t : {0.0, 20.0, 40.0, 100.0, 130.0, 160.0}) {
    Frame(t);
    std::string lastCull;
    for (const std::string& call : frameCalls_)
      if (call.rfind("SetRenderState(22, ", 0) == 0) lastCull = call;
    EXPECT_EQ(lastCull, "SetRenderState(22, 0)") << "at t = " << t;
  }
  Frame(150);  // the finish picture is drawn after step 18 and leaves culling off
  std::vector<std::string> culls;
  for (const std::string& call : frameCalls_)
    if (call.rfind("SetRenderState(22, ", 0) == 0) culls.push_back(call);
  ASSERT_GE(culls.size(), 3u);
  EXPECT_EQ(culls[culls.size() - 3], "SetRenderState(22, 0)");  // step 18
  EXPECT_EQ(culls.back(), "SetRenderState(22, 1)");
}

TEST_F(TimelineTest, FrameAtTheEndIsPresentedAndPostsTheQuitOnlyPastIt) {
  MSG msg{};
  Frame(200);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "t = 200 does not quit";
  Frame(200.001);
  EXPECT_EQ(frameCalls_.back(), "Present()");
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
}

TEST_F(TimelineTest, EveryFrameStartsWithTheBracketAndTheDefaultCamera) {
  Frame(20);
  ASSERT_GE(frameCalls_.size(), 4u);
  EXPECT_EQ(frameCalls_[0], "Clear(0, 3, 4278850590, 1, 0)");
  EXPECT_EQ(frameCalls_[1], "BeginScene()");
  EXPECT_EQ(frameCalls_[2].rfind("SetTransform(2, ", 0), 0u);
  EXPECT_EQ(frameCalls_[3].rfind("SetTransform(3, ", 0), 0u);
  EXPECT_EQ(frameCalls_[frameCalls_.size() - 2], "EndScene()");
}

TEST_F(TimelineTest, EchoesDrawOneRandomNumberPerFrame) {
  // The first draws are 41 and 18467: swing amplitudes 0.3 + 1/40 and 0.3 + 7/40, seen
  // in the echoes' rotation about y with the uptime clock fixed.
  std::vector<float> ySpins;
  for (int frame = 0; frame < 2; ++frame) {
    Frame(35);
    for (const std::string& call : frameCalls_)
      if (call.rfind("SetTransform(256, ", 0) == 0) {
        ySpins.push_back(MatrixOf(call)[8]);  // row 2, column 0: sin(angle) * scale
        break;
      }
  }
  ASSERT_EQ(ySpins.size(), 2u);
  const double T = 1035.0;
  const double a0 = 0.3 + (41 % 10) / 40.0, a1 = 0.3 + (18467 % 10) / 40.0;
  // World = T * S(2) * RotY(ay) * RotZ(az): row 2, column 0 is 2 sin(ay) cos(az).
  const double tilt = std::cos(std::sin(2 * T) * 0.1);
  EXPECT_NEAR(ySpins[0], 2.0 * std::sin(std::sin(2 * T) * a0 + 3.1415) * tilt, 1e-3);
  EXPECT_NEAR(ySpins[1], 2.0 * std::sin(std::sin(2 * T) * a1 + 3.1415) * tilt, 1e-3);
}

// --- The forest moves ------------------------------------------------------------------

TEST_F(TimelineTest, FirstForestFrameStartsMoveOneAtItsOwnTime) {
  Frame(75.5);
  EXPECT_EQ(g_forestPhase, 1);
  EXPECT_FLOAT_EQ(g_forestPhaseStart, 75.5f);
}

TEST_F(TimelineTest, HandOverNeedsMoreThanTheDurationAndStartsNextFrame) {
  Frame(75.5);
  Frame(85.5);  // d = 10 exactly
  EXPECT_EQ(g_forestPhase, 1);
  Frame(85.502);
  EXPECT_EQ(g_forestPhase, 2);
  EXPECT_EQ(g_forestPhaseStart, 0.0f) << "the new move takes its start in the next frame";
  Frame(85.6);
  EXPECT_FLOAT_EQ(g_forestPhaseStart, 85.6f);
}

TEST_F(TimelineTest, AtMostOneHandOverPerFrame) {
  Frame(75.5);
  Frame(123);  // long past every duration
  EXPECT_EQ(g_forestPhase, 2);
  Frame(123.5);
  Frame(124);
  EXPECT_EQ(g_forestPhase, 2) << "d is only 0.5 s into move 2";
}

TEST_F(TimelineTest, MovesFollowEachOtherWithTheirCameras) {
  Frame(76);
  EXPECT_EQ(Frame(76).count("Data\\hatt.bmp#0"), 0u) << "no figure in move 1";
  double t = 76;
  while (g_forestPhase < 3 && t < 124) Frame(t += 0.5);
  ASSERT_EQ(g_forestPhase, 3);
  EXPECT_EQ(Frame(t += 0.5).count("Data\\hatt.bmp#0"), 1u) << "the figure joins in move 3";
  while (g_forestPhase < 5 && t < 124) Frame(t += 0.5);
  EXPECT_EQ(g_forestPhase, 5);
}

}  // namespace
