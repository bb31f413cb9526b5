#include "tools/studio/data_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Long enough to take a burst of writes as one, short enough to show the change in time.
constexpr auto kQuiet = std::chrono::milliseconds(150);

}  // namespace

DataWatch::DataWatch(const std::string& folder) {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  constexpr uint32_t kChanges =
      IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ATTRIB;
  if (fd_ >= 0 && inotify_add_watch(fd_, folder.c_str(), kChanges) >= 0) return;
  problem_ = "cannot watch " + folder + ": " + std::strerror(errno);
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

DataWatch::~DataWatch() {
  if (fd_ >= 0) close(fd_);
}

std::vector<std::string> DataWatch::Poll() {
  if (fd_ < 0) return {};
  alignas(inotify_event) char buffer[4096];
  ssize_t length;
  while ((length = read(fd_, buffer, sizeof buffer)) > 0) {
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0) changed_.insert(event->name);
      at += ssize_t(sizeof(inotify_event) + event->len);
    }
    last_ = Clock::now();
  }
  if (changed_.empty() || Clock::now() - last_ < kQuiet) return {};
  std::vector<std::string> names(changed_.begin(), changed_.end());
  changed_.clear();
  return names;
}
