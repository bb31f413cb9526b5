#include "tools/capture/video_pipe.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "tools/capture/yuv420.h"

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int64_t KeyframeInterval(FrameRate fps) {
  return std::max<int64_t>(1, fps.num / fps.den);
}

std::string SoundArguments(const std::string& path, double start, double seconds) {
  std::ostringstream arguments;
  arguments.precision(17);
  arguments << " -stream_loop -1 -i " << Quoted(path)
            << " -map 0:v -map 1:a -af atrim=start=" << start << ":duration=" << seconds
            << ",asetpts=PTS-STARTPTS,aresample=48000"
            << " -c:a aac -b:a 192k -ar 48000";
  return arguments.str();
}

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

bool VideoPipe::Open(const std::string& path, const VideoFormat& format, const std::string& sound) {
  if (FindProgram("ffmpeg").empty()) return false;
  const int64_t gop = KeyframeInterval(format.fps);
  std::ostringstream command;
  command << "ffmpeg -nostdin -loglevel error -y -f rawvideo -pix_fmt yuv420p -s " << format.width
          << 'x' << format.height << " -framerate " << format.fps.Text() << " -i pipe:0" << sound
          << " -c:v libx264 -preset superfast";
  if (format.lossless) {
    command << " -qp 0";
  } else {
    const int64_t kbits = int64_t(double(format.width) * double(format.height) * 5 *
                                  (format.fps.PerSecond() > 30 ? 1.5 : 1) / 1000);
    command << " -b:v " << kbits << "k -maxrate " << kbits * 3 / 2 << "k -bufsize " << kbits * 2
            << 'k';
  }
  command << " -g " << gop << " -keyint_min " << gop
          << " -sc_threshold 0 -flags +cgop -colorspace bt709 -color_primaries bt709"
          << " -color_trc bt709 -color_range tv";
  if (!format.comment.empty()) command << " -metadata comment=" << Quoted(format.comment);
  command << " -movflags +faststart " << Quoted(path);
  pipe_ = popen(command.str().c_str(), "w");
  width_ = format.width;
  height_ = format.height;
  yuv_.resize(size_t(width_) * size_t(height_) * 3 / 2);
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
