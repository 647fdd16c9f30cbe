// The game's file operations on Linux and other POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "os/files.h"
#include "os/temp_names.h"

namespace vl::os {

ClaimTools claimToolsForTest = ClaimTools::kAll;
void (*beforeReplaceForTest)() = nullptr;
void (*beforeLookedRenameForTest)() = nullptr;

namespace {

constexpr int kNoTtyNoInherit = O_NOCTTY | O_CLOEXEC;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::FILE* Stream(int fd, const char* mode) {
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, mode);
  if (!f) ::close(fd);
  return f;
}

// A link whose target does not exist is no file: it may be replaced.
bool RemoveDanglingLink(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
  if (::stat(path.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR && errno != ELOOP)) return false;
  return ::unlink(path.c_str()) == 0;
}

// The name in one step, never replacing: a hard link, or where the file
// system has none (FAT, exFAT, some network shares), a rename that refuses
// to replace. Neither there either (exFAT through FUSE): look, then rename.
Claim ClaimOnce(const std::string& temp, const std::string& target, bool alone) {
  if (claimToolsForTest == ClaimTools::kAll) {
    if (::link(temp.c_str(), target.c_str()) == 0) {
      ::unlink(temp.c_str());
      return Claim::kDone;
    }
    if (errno == EEXIST) return Claim::kTaken;
#if defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return Claim::kDone;
    if (errno == EEXIST) return Claim::kTaken;
#endif
  }
  struct stat st;
  if (::lstat(target.c_str(), &st) == 0) return Claim::kTaken;
  if (errno != ENOENT) return Claim::kFailed;
  if (claimToolsForTest == ClaimTools::kNone) return Claim::kFailed;
  // Between the look and the rename another copy could take the name, and
  // the rename would then replace its flight.
  if (!alone) return Claim::kNeedsLock;
  if (beforeLookedRenameForTest) beforeLookedRenameForTest();
  return ::rename(temp.c_str(), target.c_str()) == 0 ? Claim::kDone : Claim::kFailed;
}

bool ProcessRunning(long pid) {
  if (pid <= 0) return false;
  if (pid == static_cast<long>(::getpid())) return true;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

std::FILE* OpenForReading(const std::string& path) {
  // Looked at before opening: opening a device runs its driver, and a FIFO
  // with no writer would block.
  struct stat before;
  if (::stat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode)) return nullptr;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | kNoTtyNoInherit);
  if (fd < 0) return nullptr;
  struct stat after;
  if (::fstat(fd, &after) != 0 || !S_ISREG(after.st_mode) || !SameFile(before, after)) {
    ::close(fd);
    return nullptr;
  }
  return Stream(fd, "rb");
}

long long BytesLeft(std::FILE* f) {
  struct stat st;
  const off_t here = ::ftello(f);
  if (here < 0 || ::fstat(::fileno(f), &st) != 0 || st.st_size < here) return -1;
  return static_cast<long long>(st.st_size - here);
}

std::FILE* OpenForAppending(const std::string& path) {
  struct stat before;
  if (::lstat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode) || before.st_nlink != 1) return nullptr;
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | kNoTtyNoInherit);
  if (fd < 0) return nullptr;
  struct stat after;
  if (::fstat(fd, &after) != 0 || !S_ISREG(after.st_mode) || after.st_nlink != 1 || !SameFile(before, after)) {
    ::close(fd);
    return nullptr;
  }
  return Stream(fd, "ab");
}

std::FILE* CreateTemp(const std::string& target, std::string& temp) {
  static unsigned serial = 0;
  const std::string stem = target + "." + std::to_string(::getpid()) + ".";
  for (int attempt = 0; attempt < 1000; ++attempt) {
    temp = stem + std::to_string(++serial) + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | kNoTtyNoInherit, 0666);
    if (fd >= 0) {
      std::FILE* f = Stream(fd, "wb");
      if (!f) ::unlink(temp.c_str());
      return f;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool Finish(std::FILE* f) {
  bool ok = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

Claim ClaimName(const std::string& temp, const std::string& target, bool alone) {
  Claim claim = ClaimOnce(temp, target, alone);
  if (claim == Claim::kTaken && RemoveDanglingLink(target)) claim = ClaimOnce(temp, target, alone);
  if (claim == Claim::kDone) SyncFolder(FolderOf(target));
  return claim;
}

bool MoveOver(const std::string& temp, const std::string& target) {
  if (beforeReplaceForTest) beforeReplaceForTest();
  if (::rename(temp.c_str(), target.c_str()) != 0) return false;
  SyncFolder(FolderOf(target));
  return true;
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

FileKind KindOf(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? FileKind::kMissing : FileKind::kOther;
  return S_ISREG(st.st_mode) ? FileKind::kPlain : FileKind::kOther;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && SameFile(sa, sb);
}

void TakePermissionsOf(const std::string& existing, std::FILE* f) {
  struct stat st;
  if (::lstat(existing.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  // The owner first: changing it may clear the set-id bits the mode brings.
  if (::fchown(::fileno(f), st.st_uid, st.st_gid) != 0) {
    // Only the file's owner or root may give it away; it stays this user's.
  }
  ::fchmod(::fileno(f), st.st_mode & 07777);
}

bool MakeFolder(const std::string& path) {
  ::mkdir(path.c_str(), 0777);
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | kNoTtyNoInherit);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

SaveLock::SaveLock(const std::string& folder, int waitMs) {
  // The folder itself is locked, so that no lock file is left in it.
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | kNoTtyNoInherit);
  if (fd < 0) return;
  for (int waited = 0;; waited += 5) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      handle_ = fd;
      return;
    }
    if (errno != EWOULDBLOCK) break;
    if (waited >= waitMs) {
      busy_ = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::close(fd);
}

SaveLock::~SaveLock() {
  if (Held()) ::close(static_cast<int>(handle_));  // closing lets go of the lock
}

std::vector<std::string> LeftoverTemps(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> found;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const long writer = TempWriter(name);
    if (writer < 0 || ProcessRunning(writer)) continue;
    const std::string path = folder + "/" + name;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) found.push_back(path);
  }
  ::closedir(dir);
  return found;
}

void KeepRunningAtFileSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace vl::os
