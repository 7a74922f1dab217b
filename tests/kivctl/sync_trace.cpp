// Preloaded into kivctl by the durability test: passes every rename and sync
// on to the C library and appends one line for each to the file named by
// KIV_SYNC_TRACE, so the test sees in which order a save renamed its file and
// forced what to the disk. It changes nothing the program does.
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

std::string pathOfDescriptor(int fd) {
  char path[PATH_MAX] = {};
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), path, sizeof path - 1);
  return length < 0 ? std::string() : std::string(path, static_cast<std::size_t>(length));
}

std::string pathAt(int folder, const char* name) {
  if (name[0] == '/' || folder == AT_FDCWD) return name;
  return pathOfDescriptor(folder) + "/" + name;
}

void note(const std::string& line) {
  const char* trace = std::getenv("KIV_SYNC_TRACE");
  if (trace == nullptr) return;
  const int fd = ::open(trace, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  const std::string text = line + "\n";
  [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
  ::close(fd);
}

void noteSync(int fd) {
  struct stat status {};
  const bool folder = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
  note(std::string(folder ? "sync folder " : "sync file ") + pathOfDescriptor(fd));
}

}  // namespace

extern "C" {

int rename(const char* from, const char* to) {
  const int result = next<int (*)(const char*, const char*)>("rename")(from, to);
  if (result == 0) note(std::string("rename ") + to);
  return result;
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  const int result =
      next<int (*)(int, const char*, int, const char*)>("renameat")(fromFolder, from, toFolder, to);
  if (result == 0) note("rename " + pathAt(toFolder, to));
  return result;
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
  const int result = next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(
      fromFolder, from, toFolder, to, flags);
  if (result == 0) note("rename " + pathAt(toFolder, to));
  return result;
}

int fsync(int fd) {
  const int result = next<int (*)(int)>("fsync")(fd);
  if (result == 0) noteSync(fd);
  return result;
}

int fdatasync(int fd) {
  const int result = next<int (*)(int)>("fdatasync")(fd);
  if (result == 0) noteSync(fd);
  return result;
}

}  // extern "C"
