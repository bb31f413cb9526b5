#include "tools/capture/video_pipe.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

bool VideoPipe::Open(const std::string& path, int width, int height, FrameRate fps,
                     const std::string& audioPath, double audioStart) {
  const int64_t gop = std::max<int64_t>(1, fps.num / fps.den);
  const int64_t kbits =
      int64_t(double(width) * double(height) * 5 * (fps.PerSecond() > 30 ? 1.5 : 1) / 1000);
  std::ostringstream command;
  command.precision(17);
  command << "ffmpeg -nostdin -loglevel error -y -f rawvideo -pix_fmt yuv420p -s " << width << 'x'
          << height << " -framerate " << fps.Text() << " -i pipe:0";
  if (!audioPath.empty())
    command << " -stream_loop -1 -i " << Quoted(audioPath) << " -map 0:v -map 1:a"
            << " -af atrim=start=" << audioStart << ",asetpts=PTS-STARTPTS,aresample=48000"
            << " -c:a aac -b:a 192k -ar 48000 -shortest";
  command << " -c:v libx264 -preset superfast -b:v " << kbits << "k -maxrate " << kbits * 3 / 2
          << "k -bufsize " << kbits * 2 << "k -g " << gop << " -keyint_min " << gop
          << " -sc_threshold 0 -flags +cgop -colorspace bt709 -color_primaries bt709"
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
