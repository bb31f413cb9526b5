#include "tools/capture/video_pipe.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace {

// Quotes `text` for the shell.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string FindProgram(const char* program) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

VideoPipe::~VideoPipe() {
  Close();
}

bool VideoPipe::Open(const std::string& path, int width, int height, double fps,
                     const std::string& audioPath, double audioStart) {
  std::ostringstream command;
  command.precision(17);
  command << "ffmpeg -nostdin -loglevel error -y -f rawvideo -pix_fmt rgba -s " << width << 'x'
          << height << " -r " << fps << " -i pipe:0";
  if (!audioPath.empty())
    command << " -stream_loop -1 -i " << Quoted(audioPath) << " -map 0:v -map 1:a"
            << " -af atrim=start=" << audioStart << ",asetpts=PTS-STARTPTS"
            << " -c:a aac -b:a 192k -shortest";
  command << " -c:v libx264 -preset superfast -crf 20 -pix_fmt yuv420p -movflags +faststart "
          << Quoted(path);
  pipe_ = popen(command.str().c_str(), "w");
  frameBytes_ = size_t(width) * size_t(height) * 4;
  // Room for a few frames in the pipe lets the demo render the next frame while ffmpeg
  // encodes this one; where the system refuses, the default size only costs speed.
  if (pipe_) fcntl(fileno(pipe_), F_SETPIPE_SZ, int(4 * frameBytes_));
  return pipe_ != nullptr;
}

bool VideoPipe::Write(const uint8_t* rgba) {
  return pipe_ && std::fwrite(rgba, 1, frameBytes_, pipe_) == frameBytes_;
}

bool VideoPipe::Close() {
  if (!pipe_) return true;
  const int status = pclose(pipe_);
  pipe_ = nullptr;
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
