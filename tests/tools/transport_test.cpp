// The studios' transport, headless: the loop never spins whatever order I, O and L come in,
// the ends hold, sections step to the end and back, keys that change only the bar never
// reload, and the time's text is cut to hundredths.
#include "tools/common/transport.h"

#include <gtest/gtest.h>

#include <vector>

#include "tools/common/frame_clock.h"

namespace {

using Kind = TransportCommand::Kind;
const std::vector<double> kSections = {0, 5, 40.5, 120, 180};

// A driver that carries out commands the way the studios do, counting the reloads.
struct Driver {
  explicit Driver(double at, bool playing) : transport(kSections, at, playing) {
    Carry(transport.StartCommand());
    reloads = 0;
  }
  void Carry(const TransportCommand& command) {
    if (command.kind == Kind::kSeek) {
      ++reloads;
      transport.Shown(clock);
    }
  }
  // Presses `key`; how many reloads it took.
  int Press(WPARAM key, bool shift = false) {
    const int before = reloads;
    Carry(transport.Press(key, shift, clock));
    return reloads - before;
  }
  // Plays on for `milliseconds` of the clock in frames of 16 ms; the reloads on the way.
  int PlayFor(double milliseconds) {
    const int before = reloads;
    for (const double end = clock + milliseconds; clock < end;) {
      clock += 16;
      Carry(transport.Tick(clock));
    }
    return reloads - before;
  }
  Transport transport;
  double clock = 1000;
  int reloads = 0;
};

TEST(Transport, TheLoopNeverReloadsMoreThanOncePerKeyInAnyOrder) {
  // Every order of I, O and L at two times, playing on a second after each key.
  const std::vector<std::vector<WPARAM>> orders = {{'I', 'O', 'L'}, {'O', 'I', 'L'},
                                                   {'L', 'I', 'O'}, {'L', 'O', 'I'},
                                                   {'I', 'L', 'O'}, {'O', 'L', 'I'}};
  for (const auto& order : orders) {
    Driver driver(170, true);
    for (WPARAM key : order) {
      EXPECT_EQ(driver.Press(key), 0) << char(key);
      const int reloads = driver.PlayFor(1000);
      EXPECT_LE(reloads, 1) << "after " << char(key);
    }
    const Transport& t = driver.transport;
    if (t.LoopOn()) {
      EXPECT_LT(t.LoopIn(), t.LoopOut());
    }
    EXPECT_LE(driver.PlayFor(3000), 3) << "a loop of at least a second returns at most 3 times";
  }
}

TEST(Transport, InAfterOutTurnsTheLoopOffAndSaysSo) {
  Driver driver(170, false);
  driver.Press('I');
  driver.Press(VK_RIGHT);
  driver.Press('O');
  driver.Press('L');
  ASSERT_TRUE(driver.transport.LoopOn());
  driver.Press(VK_RIGHT);
  driver.Press('I');  // now after the out point
  EXPECT_FALSE(driver.transport.LoopOn());
  EXPECT_EQ(driver.transport.LoopOut(), -1);
  EXPECT_NE(driver.transport.Message(driver.clock).find("LOOP OFF"), std::string::npos);
  EXPECT_EQ(driver.Press('L'), 0);
  EXPECT_FALSE(driver.transport.LoopOn()) << "a loop without an out point stays off";
}

TEST(Transport, ALoopShorterThanAFrameIsRefused) {
  Transport transport(kSections, 0, false);
  EXPECT_FALSE(transport.SetLoop(10, 10.005));
  EXPECT_FALSE(transport.LoopOn());
  EXPECT_TRUE(transport.SetLoop(10, 10 + 1.0 / 60));
  Driver driver(50, false);
  driver.Press('I');
  driver.Press('O');  // the same frame
  EXPECT_EQ(driver.transport.LoopIn(), -1);
  EXPECT_EQ(driver.Press('L'), 0);
  EXPECT_FALSE(driver.transport.LoopOn());
}

TEST(Transport, PlayingReturnsFromTheOutPointToTheIn) {
  Driver driver(0, true);
  ASSERT_TRUE(driver.transport.SetLoop(10, 12));
  driver.Carry(driver.transport.SeekTo(11, driver.clock));
  EXPECT_EQ(driver.PlayFor(1100), 1);
  EXPECT_LT(driver.transport.Seconds(), 11);
  driver.Carry(driver.transport.SeekTo(13, driver.clock));
  EXPECT_EQ(driver.PlayFor(1000), 0) << "from past the out point playing goes on";
}

TEST(Transport, TheEndsHold) {
  Driver driver(199.5, true);
  driver.PlayFor(1000);
  EXPECT_FALSE(driver.transport.Playing());
  EXPECT_EQ(driver.transport.Milliseconds(), 200000);
  EXPECT_EQ(driver.Press(VK_RIGHT), 0) << "past the end is the end, already shown";
  EXPECT_EQ(driver.Press(VK_SPACE), 1) << "Space at the end plays from the start";
  EXPECT_EQ(driver.transport.Milliseconds(), 0);
  EXPECT_TRUE(driver.transport.Playing());
  EXPECT_EQ(driver.Press(VK_LEFT, true), 0) << "before 0 is 0";
  EXPECT_EQ(driver.Press(VK_HOME), 0);
}

TEST(Transport, SectionsStepToTheEndAndBack) {
  Driver driver(0, false);
  std::vector<double> forward;
  for (int i = 0; i < 7; ++i) {
    driver.Press(VK_NEXT);
    forward.push_back(driver.transport.Seconds());
  }
  EXPECT_EQ(forward, (std::vector<double>{5, 40.5, 120, 180, 200, 200, 200}));
  driver.Press(VK_PRIOR);
  EXPECT_EQ(driver.transport.Seconds(), 180);
  driver.Carry(driver.transport.SeekTo(130, driver.clock));
  driver.Press(VK_PRIOR);
  EXPECT_EQ(driver.transport.Seconds(), 120) << "from inside a section, its start";
}

TEST(Transport, KeysThatChangeOnlyTheBarNeverReload) {
  Driver driver(190, false);
  for (WPARAM key : {VK_TAB, WPARAM('I'), WPARAM('O'), WPARAM('L'), VK_TAB}) {
    const TransportCommand command = driver.transport.Press(key, false, driver.clock);
    EXPECT_EQ(command.kind, Kind::kBar) << key;
  }
  EXPECT_EQ(driver.transport.Press(VK_SPACE, false, driver.clock).kind, Kind::kBar);
  EXPECT_EQ(driver.transport.Press(VK_SPACE, false, driver.clock).kind, Kind::kBar);
  EXPECT_EQ(driver.transport.Press('R', false, driver.clock).kind, Kind::kSeek);
  EXPECT_EQ(driver.transport.Press(VK_ESCAPE, false, driver.clock).kind, Kind::kQuit);
}

TEST(Transport, FramesStepOnTheGridAndPauseFirst) {
  Driver driver(10, true);
  driver.PlayFor(100);
  EXPECT_EQ(driver.Press(VK_OEM_PERIOD), 1);
  EXPECT_FALSE(driver.transport.Playing());
  const int64_t at = driver.transport.Milliseconds();
  EXPECT_EQ(driver.Press(VK_OEM_COMMA), 1);
  EXPECT_EQ(FrameAt(driver.transport.Seconds(), kToolFrameRate),
            FrameAt(double(at) * 0.001, kToolFrameRate) - 1);
  Driver start(0, false);
  EXPECT_EQ(start.Press(VK_OEM_COMMA), 0) << "no frame before 0";
}

TEST(Transport, TimeTextIsCutToHundredths) {
  EXPECT_EQ(Transport::FormatTime(0), "0:00.00");
  EXPECT_EQ(Transport::FormatTime(17), "0:00.01");
  EXPECT_EQ(Transport::FormatTime(59999), "0:59.99");
  EXPECT_EQ(Transport::FormatTime(60000), "1:00.00");
  EXPECT_EQ(Transport::FormatTime(200000), "3:20.00");
  Transport transport(kSections, 1.0 / 60 * 5, false);
  EXPECT_EQ(transport.Text(), "0:00.08") << "frame 5 is 83 ms";
}

}  // namespace
