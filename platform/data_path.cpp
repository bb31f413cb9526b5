#include "platform/data_path.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/tool_switches.h"

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// The entry of `dir` called `name`, compared without case; "" when none.
std::string FindEntry(const std::string& dir, const std::string& name) {
  const std::string base = dir.empty() ? "." : dir;
  if (Exists(dir.empty() ? name : dir + "/" + name)) return name;
  DIR* handle = opendir(base.c_str());
  if (!handle) return "";
  std::string found;
  while (dirent* entry = readdir(handle)) {
    if (strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  closedir(handle);
  return found;
}

// The existing path `path` names, or "".
std::string Resolve(const char* path) {
  if (!path || !*path) return "";
  std::string unixPath(path);
  for (char& c : unixPath)
    if (c == '\\') c = '/';

  std::string resolved;
  size_t start = 0;
  if (unixPath[0] == '/') {
    resolved = "/";
    start = 1;
  }
  while (start <= unixPath.size()) {
    size_t end = unixPath.find('/', start);
    if (end == std::string::npos) end = unixPath.size();
    const std::string component = unixPath.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == ".") continue;
    const std::string dir = resolved == "/" ? "/" : resolved;
    const std::string entry = component == ".." ? ".." : FindEntry(dir, component);
    if (entry.empty()) return "";
    resolved = resolved.empty() ? entry : (resolved == "/" ? "/" + entry : resolved + "/" + entry);
  }
  return resolved;
}

}  // namespace

std::string ResolveDataPath(const char* path) {
  std::string resolved = Resolve(path);
  if (g_platformSwitches.lookupObserver && path) g_platformSwitches.lookupObserver(path, resolved);
  return resolved;
}

std::string DataFolderProblem(const char* folder) {
  std::error_code error;
  const std::string here = std::filesystem::current_path(error).string();
  const std::string resolved = Resolve(folder);
  if (resolved.empty()) return std::string("no ") + folder + " folder in " + here;
  const std::string shown = resolved[0] == '/' ? resolved : here + "/" + resolved;
  struct stat info {};
  if (stat(resolved.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    return shown + " is not a folder";
  if (access(resolved.c_str(), R_OK | X_OK) != 0)
    return "cannot read " + shown + " (" + std::strerror(errno) + ")";
  return "";
}

bool ReadDataFile(const char* path, std::string& contents) {
  contents.clear();
  const std::string resolved = ResolveDataPath(path);
  if (resolved.empty()) return false;
  FILE* file = std::fopen(resolved.c_str(), "rb");
  if (!file) return false;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, n);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  if (!ok) contents.clear();
  return ok;
}
