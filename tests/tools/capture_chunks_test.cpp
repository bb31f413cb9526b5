// Chunked captures joined, lossless video, stills-only PNG folders and the free-space check,
// with the capture tool run as its users run it.
#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <filesystem>
#include <string>

#include "tests/demo_data.h"
#include "tests/program_run.h"
#include "tests/test_files.h"

namespace {

ProgramResult Capture(const std::string& arguments) {
  return RunProgram(std::string(EMBERHALL_CAPTURE) + " --quiet " + arguments);
}

std::string Probe(const std::string& arguments) {
  return RunProgram("ffprobe -v error " + arguments).output;
}

// The per-frame checksums ffmpeg's framemd5 gives for stream `stream` (v or a) of `file`,
// decoded; "" when there is none.
std::string FrameChecksums(const std::string& file, const char* stream) {
  const std::string output =
      RunProgram("ffmpeg -nostdin -v error -i " + file + " -map 0:" + stream + " -f framemd5 -")
          .output;
  const size_t first = output.find("\n0,");
  return first == std::string::npos ? "" : output.substr(first + 1);
}

// The default data set, with its sound track.
class CaptureChunksTest : public ::testing::Test {
 protected:
  CaptureChunksTest() { std::filesystem::create_directory_symlink(EMBERHALL_DEFAULT_DATA, "Data"); }
  DemoDataDir dir_{false};
};

// The range in one pass and as 3 parts joined: the same packets at the same times, the same
// decoded pictures, the same sound.
TEST_F(CaptureChunksTest, LosslessPartsJoinToTheOnePassVideo) {
  const std::string range = "--lossless --from 40 --to 44 --fps 30 --size 320x240 ";
  ASSERT_EQ(Capture(range + "--video single.mp4").status, 0);
  for (const char* k : {"1", "2", "3"})
    ASSERT_EQ(Capture(range + "--video part" + k + ".mp4 --chunk " + k + "/3").status, 0) << k;
  const ProgramResult join = Capture("--join joined.mp4 part1.mp4 part2.mp4 part3.mp4");
  ASSERT_EQ(join.status, 0) << join.output;

  EXPECT_EQ(Probe("-select_streams v -show_entries stream=nb_frames -of csv=p=0 part2.mp4"), "60\n")
      << "part 2 of 4 intervals of 30 frames and a frame";
  for (const char* stream : {"v", "a"}) {
    const std::string packets = "-select_streams " + std::string(stream) +
                                " -show_entries packet=pts,dts,duration,flags -of csv=p=0 ";
    const std::string single = Probe(packets + "single.mp4");
    EXPECT_EQ(Probe(packets + "joined.mp4"), single) << stream;
    EXPECT_GT(single.size(), 100u) << stream;
  }
  const std::string pictures = FrameChecksums("single.mp4", "v");
  EXPECT_EQ(std::count(pictures.begin(), pictures.end(), '\n'), 121);
  EXPECT_EQ(FrameChecksums("joined.mp4", "v"), pictures);
  EXPECT_EQ(FrameChecksums("joined.mp4", "a"), FrameChecksums("single.mp4", "a"));
}

// Each refusal names the part that is wrong; a part's index can come from a Slurm array.
TEST_F(CaptureChunksTest, JoinRefusesPartsThatDoNotMakeTheRange) {
  const std::string range = "--from 40 --to 42 --fps 10 --size 160x120 ";
  ASSERT_EQ(Capture(range + "--video a.mp4 --chunk 1/2").status, 0);
  ASSERT_EQ(RunProgram("SLURM_ARRAY_TASK_ID=2 SLURM_ARRAY_TASK_MIN=1 SLURM_ARRAY_TASK_COUNT=2 " +
                       std::string(EMBERHALL_CAPTURE) + " --quiet " + range + "--video b.mp4")
                .status,
            0);
  ASSERT_EQ(Capture(range + "--video other.mp4 --chunk 2/2 --uptime 5").status, 0);
  // The record as a machine whose GL draws other pixels would write it.
  std::string record = Probe("-show_entries format_tags=comment -of csv=p=0 b.mp4");
  record.replace(record.find("probe=") + 6, 8, "00c0ffee");
  record.pop_back();
  ASSERT_EQ(RunProgram("ffmpeg -nostdin -v error -i b.mp4 -c copy -metadata comment='" + record +
                       "' probe.mp4")
                .status,
            0);

  const struct {
    const char* parts;
    const char* says;
  } cases[] = {
      {"a.mp4", "part 2/2 is missing after a.mp4"},
      {"a.mp4 b.mp4 b.mp4", "b.mp4 repeats part 2/2, which b.mp4 is"},
      {"b.mp4 a.mp4", "b.mp4 (part 2/2) is out of order"},
      {"a.mp4 other.mp4", "other.mp4 is not a part of the same capture as a.mp4: other options"},
      {"a.mp4 probe.mp4", "probe.mp4 is not a part of the same capture as a.mp4: another probe"},
      {"a.mp4 Data/solen.mp3", "Data/solen.mp3 is not a part of a chunked capture"},
  };
  for (const auto& c : cases) {
    const ProgramResult join = Capture(std::string("--join out.mp4 ") + c.parts);
    EXPECT_EQ(join.status, 2) << c.parts;
    EXPECT_NE(join.output.find(c.says), std::string::npos) << join.output;
    EXPECT_FALSE(std::filesystem::exists("out.mp4")) << c.parts;
  }
  EXPECT_EQ(Capture("--join out.mp4 a.mp4 b.mp4").status, 0);
}

// Without ffmpeg on PATH, a video capture and a join say so before anything is rendered.
TEST_F(CaptureChunksTest, MissingFfmpegIsSaidBeforeTheFirstFrame) {
  for (const char* arguments : {" --video v.mp4 --from 40 --to 41", " --join v.mp4 a.mp4"}) {
    const ProgramResult result =
        RunProgram("PATH=/nonexistent " + std::string(EMBERHALL_CAPTURE) + arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.output.find("ffmpeg"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("not installed"), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists("v.mp4"));
  }
}

TEST_F(CaptureChunksTest, PngFolderWithStillsHoldsJustTheStills) {
  ASSERT_EQ(Capture("--png stills --at 50").status, 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("stills"), {}), 1);
  EXPECT_TRUE(std::filesystem::exists("stills/frame-003000.png"));
  ASSERT_EQ(Capture("--png range --at 50 --from 49.9 --to 50 --fps 20").status, 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("range"), {}), 3)
      << "a range asked for is written too";
}

// The whole demo as 8K PNG files needs about 600 GB: refused before the first frame.
TEST_F(CaptureChunksTest, ARangeLargerThanTheFreeSpaceIsRefusedBeforeItStarts) {
  struct statvfs space {};
  ASSERT_EQ(statvfs(".", &space), 0);
  if (double(space.f_bavail) * double(space.f_frsize) > 5e11)
    GTEST_SKIP() << "this disk holds the whole demo in 8K";
  const ProgramResult result = Capture("--png big --size 7680x4320");
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.output.find("not enough room for big: the capture needs about "),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("GB free"), std::string::npos) << result.output;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("big"), {}), 0);
}

}  // namespace
