// The record in each part of a chunked capture, and the join's checks of the parts.
#include "tools/capture/part_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Part k of 3 of frames 2400 to 2640 at 60 fps.
PartRecord Part(int k) {
  PartRecord part;
  part.k = k;
  part.n = 3;
  const int64_t starts[] = {2400, 2460, 2580, 2641};
  part.frames = {starts[k - 1], starts[k]};
  part.range = {2400, 2641};
  part.fps = "60";
  part.options = "size 0x0 scale 1 upscale 0 uptime 1000 lossless";
  part.build = "emberhall-capture 1.0.0 0123abcd";
  part.probe = "6d338781";
  return part;
}

// Why the parts, named a.mp4, b.mp4, ... in the order given, are refused ("" when not).
std::string Refusal(const std::vector<PartRecord>& parts) {
  std::vector<std::string> names;
  for (size_t i = 0; i < parts.size(); ++i) names.push_back(std::string(1, char('a' + i)) + ".mp4");
  return CheckParts(parts, names);
}

TEST(PartRecord, ReadsBackWhatItWrites) {
  PartRecord read;
  ASSERT_TRUE(ParsePartRecord(Part(2).Text(), read));
  EXPECT_EQ(read.Text(), Part(2).Text());
  EXPECT_EQ(read.frames.begin, 2460);
  EXPECT_EQ(read.range.end, 2641);
  for (const std::string& bad : {std::string(""), std::string("a comment of someone else's"),
                                 Part(2).Text().substr(0, 40), "x;" + Part(2).Text()})
    EXPECT_FALSE(ParsePartRecord(bad, read)) << bad;
}

TEST(CheckParts, TakesEveryPartOnceInOrder) {
  EXPECT_EQ(Refusal({Part(1), Part(2), Part(3)}), "");
}

TEST(CheckParts, RefusesAMissingPartNamingWhereItIsMissing) {
  EXPECT_EQ(Refusal({Part(1), Part(3)}), "part 2/3 is missing between a.mp4 and b.mp4 (part 3/3)");
  EXPECT_EQ(Refusal({Part(2), Part(3)}), "part 1/3 is missing before a.mp4 (part 2/3)");
  EXPECT_EQ(Refusal({Part(1), Part(2)}), "part 3/3 is missing after b.mp4");
}

TEST(CheckParts, RefusesARepeatedOrMisplacedPartByName) {
  EXPECT_EQ(Refusal({Part(1), Part(2), Part(2), Part(3)}),
            "c.mp4 repeats part 2/3, which b.mp4 is");
  EXPECT_EQ(Refusal({Part(1), Part(3), Part(2)}),
            "b.mp4 (part 3/3) is out of order: it comes before c.mp4 (part 2/3); give the parts "
            "in order");
}

TEST(CheckParts, RefusesAPartOfAnotherCaptureSayingWhatDiffers) {
  PartRecord options = Part(2), fps = Part(2), range = Part(2), build = Part(2), probe = Part(2);
  options.options = "size 0x0 scale 1 upscale 0 uptime 1000";
  fps.fps = "50";
  range.range.end = 2642;
  build.build = "emberhall-capture 1.0.0 89abcdef";
  probe.probe = "00c0ffee";
  const struct {
    PartRecord part;
    const char* says;
  } cases[] = {{options, "other options"},
               {fps, "other options"},
               {range, "another range or split"},
               {build, "another build"},
               {probe, "another probe checksum (00c0ffee, not 6d338781): its machine's GL"}};
  for (const auto& c : cases) {
    const std::string refusal = Refusal({Part(1), c.part, Part(3)});
    EXPECT_EQ(refusal.rfind("b.mp4 is not a part of the same capture as a.mp4: ", 0), 0u)
        << refusal;
    EXPECT_NE(refusal.find(c.says), std::string::npos) << refusal;
  }
}

}  // namespace
