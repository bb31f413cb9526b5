#include "tools/capture/disk_space.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cstdio>
#include <filesystem>
#include <map>

namespace {

constexpr double kPngBytesPerPixel = 1.5;
constexpr double kLosslessBytesPerPixel = 1.0;
constexpr uint64_t kTraceBytesPerFrame = 48000;

// The folder that holds `path`, or `path` when it is one.
std::string Folder(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return path;
  const std::string parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? "." : parent;
}

std::string Gigabytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f GB", double(bytes) / 1e9);
  return text;
}

}  // namespace

std::vector<PlannedOutput> PlannedOutputs(const CaptureOptions& options) {
  const FrameSpan written = WrittenFrames(options);
  const double frames = double(written.Count());
  const double seconds = frames * double(options.fps.den) / double(options.fps.num);
  const double pixels = double(options.width ? options.width : kDemoFrameWidth) *
                        double(options.height ? options.height : kDemoFrameHeight);
  std::vector<PlannedOutput> outputs;
  if (!options.videoPath.empty()) {
    // The bit rate VideoPipe asks for at its peak, and the sound's 192 kbit/s.
    const double bits = options.lossless
                            ? pixels * kLosslessBytesPerPixel * 8 * options.fps.PerSecond()
                            : pixels * 7.5 * (options.fps.PerSecond() > 30 ? 1.5 : 1) + 192e3;
    outputs.push_back({options.videoPath, uint64_t(bits / 8 * seconds)});
  }
  const bool pngRange = !options.pngDir.empty() && options.pngRange;
  const double stills = double(options.at.size());
  const double ranged = !options.videoPath.empty() || pngRange ? frames : 0;
  if (!options.pngDir.empty() || !options.at.empty())
    outputs.push_back({options.pngDir.empty() ? "." : options.pngDir,
                       uint64_t(pixels * kPngBytesPerPixel * (stills + (pngRange ? frames : 0)))});
  if (!options.tracePath.empty())
    outputs.push_back({options.tracePath, uint64_t(kTraceBytesPerFrame * (ranged + stills))});
  return outputs;
}

std::string CheckFreeSpace(const std::vector<PlannedOutput>& outputs) {
  std::map<dev_t, uint64_t> planned;  // by file system
  for (const PlannedOutput& output : outputs) {
    // A device or a pipe (/dev/null, a FIFO) takes the bytes without a disk behind it.
    std::error_code error;
    const auto type = std::filesystem::status(output.path, error).type();
    if (type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::regular &&
        type != std::filesystem::file_type::directory)
      continue;
    const std::string folder = Folder(output.path);
    struct stat info {};
    struct statvfs space {};
    if (stat(folder.c_str(), &info) != 0 || statvfs(folder.c_str(), &space) != 0) continue;
    const uint64_t needed = planned[info.st_dev] += output.bytes;
    const uint64_t free = uint64_t(space.f_bavail) * uint64_t(space.f_frsize);
    if (needed > free)
      return "not enough room for " + output.path + ": the capture needs about " +
             Gigabytes(needed) + " on its disk, which has " + Gigabytes(free) +
             " free; free some, write elsewhere, or capture a shorter range (--from, --to)";
  }
  return "";
}
