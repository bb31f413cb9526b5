#include "tools/capture/video_pipe.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "tools/capture/yuv420.h"

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
  command << "ffmpeg -nostdin -loglevel error -y -f rawvideo -pix_fmt yuv420p -s " << width << 'x'
          << height << " -r " << fps << " -i pipe:0";
  if (!audioPath.empty())
    command << " -stream_loop -1 -i " << Quoted(audioPath) << " -map 0:v -map 1:a"
            << " -af atrim=start=" << audioStart << ",asetpts=PTS-STARTPTS"
            << " -c:a aac -b:a 192k -shortest";
  command << " -c:v libx264 -preset superfast -crf 20 -colorspace bt709 -color_primaries bt709"
          << " -color_trc bt709 -color_range tv -movflags +faststart " << Quoted(path);
  pipe_ = popen(command.str().c_str(), "w");
  width_ = width;
  height_ = height;
  yuv_.resize(size_t(width) * size_t(height) * 3 / 2);
  return pipe_ != nullptr;
}

bool VideoPipe::Write(const uint8_t* rgba) {
  if (!pipe_) return false;
  RgbaToYuv420(rgba, width_, height_, yuv_.data());
  return std::fwrite(yuv_.data(), 1, yuv_.size(), pipe_) == yuv_.size();
}

bool VideoPipe::Close() {
  if (!pipe_) return true;
  const int status = pclose(pipe_);
  pipe_ = nullptr;
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
