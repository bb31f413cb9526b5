// Watches one folder for files written, replaced, renamed in, made or removed (inotify),
// without ever blocking: Poll, once a frame, hands over the names changed once the folder
// has been quiet for a short while (an editor's or generator's burst of writes is one change).
#pragma once

#include <chrono>
#include <set>
#include <string>
#include <vector>

class DataWatch {
 public:
  // Watches `folder`; a folder that cannot be watched reports nothing, and Problem says why.
  explicit DataWatch(const std::string& folder);
  ~DataWatch();
  DataWatch(const DataWatch&) = delete;
  DataWatch& operator=(const DataWatch&) = delete;

  // The names changed since the last report, once none has changed for the quiet time;
  // otherwise empty.
  std::vector<std::string> Poll();
  // Why the folder is not watched ("cannot watch Data: No such file or directory"); "" while
  // it is.
  const std::string& Problem() const { return problem_; }

 private:
  using Clock = std::chrono::steady_clock;
  int fd_ = -1;
  std::string problem_;
  std::set<std::string> changed_;
  Clock::time_point last_;
};
