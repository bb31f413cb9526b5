#include "tools/capture/join.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/app.h"
#include "platform/data_path.h"
#include "tools/capture/part_record.h"
#include "tools/capture/video_pipe.h"
#include "tools/common/frame_clock.h"
#include "tools/common/tool_cli.h"

namespace {

// Runs `command` through the shell; its standard output, and whether it exited with 0.
bool Run(const std::string& command, std::string& output) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, got);
  const int status = pclose(pipe);
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The record in `part`'s metadata; "" when it has one, otherwise why not.
std::string ReadRecord(const std::string& part, PartRecord& record) {
  std::string comment;
  if (!Run("ffprobe -v error -show_entries format_tags=comment -of default=nw=1:nk=1 " +
               Quoted(part) + " 2>/dev/null",
           comment))
    return "cannot read " + part + " as a video";
  while (!comment.empty() && comment.back() == '\n') comment.pop_back();
  if (!ParsePartRecord(comment, record))
    return part + " is not a part of a chunked capture: it holds no part record";
  return "";
}

// The concat demuxer's list of `parts`, by absolute path, written to a new temporary file
// whose name it returns ("" when it cannot be written).
std::string WriteList(const std::vector<std::string>& parts) {
  char name[] = "/tmp/emberhall-join-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) return "";
  close(fd);
  std::ofstream list(name);
  for (const std::string& part : parts) {
    list << "file '";
    for (char c : std::filesystem::absolute(part).string())
      list << (c == '\'' ? std::string("'\\''") : std::string(1, c));
    list << "'\n";
  }
  list.close();
  if (list) return name;
  std::remove(name);
  return "";
}

}  // namespace

int RunJoin(const std::string& output, const std::vector<std::string>& parts) {
  if (FindProgram("ffmpeg").empty() || FindProgram("ffprobe").empty())
    return Fail("ffmpeg and ffprobe are not installed; install them (sudo apt-get install ffmpeg)");
  std::vector<PartRecord> records(parts.size());
  for (size_t i = 0; i < parts.size(); ++i)
    if (const std::string why = ReadRecord(parts[i], records[i]); !why.empty()) return Fail(why);
  if (const std::string why = CheckParts(records, parts); !why.empty()) return Fail(why);

  FrameRate fps = kToolFrameRate;
  ParseFrameRate(records[0].fps, fps);
  const FrameSpan range = records[0].range;
  const std::string track = ResolveDataPath(kSoundTrackPath);
  const std::string list = WriteList(parts);
  if (list.empty()) return Fail("cannot write the list of parts in /tmp");
  const std::string sound =
      track.empty() ? " -map 0:v"
                    : SoundArguments(track, double(range.begin * fps.den) / double(fps.num),
                                     double(range.Count() * fps.den) / double(fps.num));
  std::string ignored;
  const bool joined =
      Run("ffmpeg -nostdin -loglevel error -y -f concat -safe 0 -i " + Quoted(list) + sound +
              " -c:v copy -map_metadata -1 -movflags +faststart " + Quoted(output),
          ignored);
  std::remove(list.c_str());
  if (!joined) {
    std::fprintf(stderr, "emberhall-capture: ffmpeg could not join the parts into %s\n",
                 output.c_str());
    return 1;
  }
  if (!track.empty()) return 0;
  std::fprintf(stderr,
               "emberhall-capture: no sound track in Data, so %s has no sound (join where the "
               "capture's Data is)\n",
               output.c_str());
  return 3;
}
