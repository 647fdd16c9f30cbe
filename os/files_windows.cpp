// The game's file operations on Windows. Paths arrive in UTF-8 and go to the
// system as UTF-16, so folder and file names beyond ASCII work whatever the
// code page. Every file is binary: a recording's bytes, mem.txt and the log
// are the same as on any other system.

// FILE_RENAME_INFO's flags, for renames that replace a file still open.
#define _WIN32_WINNT 0x0A00
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "os/files.h"
#include "os/temp_names.h"

namespace vl::os {

ClaimTools claimToolsForTest = ClaimTools::kAll;
void (*beforeReplaceForTest)() = nullptr;
void (*beforeLookedRenameForTest)() = nullptr;  // Windows claims in one step

namespace {

// The UTF-16 form of a UTF-8 name; empty (no file has that name) when it is
// not valid UTF-8.
std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), n, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(n - 1));
  return utf8;
}

// A plain file: a file on a disk, neither a folder nor a link of any kind
// (symbolic links and junctions are reparse points), nor a device such as
// NUL or COM1.
bool PlainAttributes(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool PlainHandle(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
  return GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
         PlainAttributes(info.dwFileAttributes);
}

// A C stream over an open handle; closes the handle when there is none.
std::FILE* Stream(HANDLE h, int flags, const char* mode) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    return nullptr;
  }
  std::FILE* f = _fdopen(fd, mode);
  if (!f) _close(fd);
  return f;
}

HANDLE HandleOf(std::FILE* f) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f))); }

bool Exists(DWORD error) { return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS; }

// Virus scanners, indexers and backup tools open new files for a moment, and
// while they do a rename or delete fails with a sharing or access error.
// Such a step is tried again for up to about a second.
template <typename Step>
bool Retried(Step step) {
  for (int attempt = 0;; ++attempt) {
    if (step()) return true;
    const DWORD error = GetLastError();
    const bool passing = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                         error == ERROR_LOCK_VIOLATION;
    if (!passing || attempt >= 20) {
      SetLastError(error);
      return false;
    }
    Sleep(50);
  }
}

// A link (a reparse point) whose target does not exist is no file: it may
// be replaced.
bool RemoveDanglingLink(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  const HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return false;
  }
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
}

// The name in one step, never replacing: a hard link, or on drives without
// hard links (FAT, exFAT, many network shares) a move that does not replace.
Claim ClaimOnce(const std::wstring& temp, const std::wstring& target) {
  if (claimToolsForTest == ClaimTools::kAll) {
    if (CreateHardLinkW(target.c_str(), temp.c_str(), nullptr)) {
      Retried([&] { return DeleteFileW(temp.c_str()) != 0; });
      return Claim::kDone;
    }
    if (Exists(GetLastError())) return Claim::kTaken;
  }
  if (claimToolsForTest == ClaimTools::kNone) {
    return GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES ? Claim::kTaken : Claim::kFailed;
  }
  if (Retried([&] { return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0; })) {
    return Claim::kDone;
  }
  return Exists(GetLastError()) ? Claim::kTaken : Claim::kFailed;
}

// Puts `from` in the place of `to` even while another copy has `to` open for
// reading: with POSIX semantics (Windows 10 and later, on NTFS) the old file
// lives on for its readers without its name. False where the system or the
// drive has no such rename; the caller then renames the classic way.
bool ReplaceOpenFile(const std::wstring& from, const std::wstring& to) {
  const DWORD full = GetFullPathNameW(to.c_str(), 0, nullptr, nullptr);
  if (full == 0) return false;
  std::wstring target(full, L'\0');
  if (GetFullPathNameW(to.c_str(), full, target.data(), nullptr) + 1 != full) return false;
  target.resize(full - 1);
  const HANDLE h = CreateFileW(from.c_str(), DELETE | GENERIC_WRITE | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const size_t bytes = sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t);
  auto* info = static_cast<FILE_RENAME_INFO*>(std::calloc(1, bytes));
  bool done = false;
  if (info) {
    info->Flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    info->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), info->FileName);
    // FileRenameInfoEx, which mingw's headers name only for newer targets.
    const auto renameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
    done = SetFileInformationByHandle(h, renameInfoEx, info, static_cast<DWORD>(bytes)) != 0;
    std::free(info);
  }
  // On disk under its new name before the call returns, as a write-through
  // move would be.
  if (done) FlushFileBuffers(h);
  CloseHandle(h);
  return done;
}

bool ProcessRunning(long pid) {
  if (pid <= 0) return false;
  if (static_cast<DWORD>(pid) == GetCurrentProcessId()) return true;
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;  // it exists, but is not ours to ask
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

}  // namespace

std::FILE* OpenForReading(const std::string& path) {
  const std::wstring name = Wide(path);
  // Looked at before opening: opening a device runs its driver.
  if (name.empty() || !PlainAttributes(GetFileAttributesW(name.c_str()))) return nullptr;
  // Another copy of the game may replace mem.txt or the log meanwhile: the
  // file is opened sharing delete access, so that it can.
  const HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  BY_HANDLE_FILE_INFORMATION info;
  if (!PlainHandle(h, info)) {
    CloseHandle(h);
    return nullptr;
  }
  return Stream(h, _O_RDONLY, "rb");
}

long long BytesLeft(std::FILE* f) {
  LARGE_INTEGER size;
  const long long here = _ftelli64(f);
  if (here < 0 || !GetFileSizeEx(HandleOf(f), &size) || size.QuadPart < here) return -1;
  return size.QuadPart - here;
}

std::FILE* OpenForAppending(const std::string& path) {
  const std::wstring name = Wide(path);
  if (name.empty() || !PlainAttributes(GetFileAttributesW(name.c_str()))) return nullptr;
  // Should a link take the file's place meanwhile, the link itself is
  // opened, never what it points to, and then refused.
  const HANDLE h = CreateFileW(name.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  BY_HANDLE_FILE_INFORMATION info;
  if (!PlainHandle(h, info) || info.nNumberOfLinks != 1) {
    CloseHandle(h);
    return nullptr;
  }
  return Stream(h, _O_WRONLY | _O_APPEND, "ab");
}

std::FILE* CreateTemp(const std::string& target, std::string& temp) {
  static unsigned serial = 0;
  const std::string stem = target + "." + std::to_string(GetCurrentProcessId()) + ".";
  for (int attempt = 0; attempt < 1000; ++attempt) {
    temp = stem + std::to_string(++serial) + ".tmp";
    // CREATE_NEW never opens what exists, a link included.
    const HANDLE h = CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      std::FILE* f = Stream(h, _O_WRONLY, "wb");
      if (!f) DeleteFileW(Wide(temp).c_str());
      return f;
    }
    if (!Exists(GetLastError())) return nullptr;
  }
  return nullptr;
}

bool Finish(std::FILE* f) {
  bool ok = std::fflush(f) == 0 && FlushFileBuffers(HandleOf(f));
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

// A move that does not replace is one step on every Windows drive, so the
// claim never needs the save lock here.
Claim ClaimName(const std::string& temp, const std::string& target, bool /*alone*/) {
  const std::wstring wideTemp = Wide(temp), wideTarget = Wide(target);
  if (wideTemp.empty() || wideTarget.empty()) return Claim::kFailed;
  Claim claim = ClaimOnce(wideTemp, wideTarget);
  if (claim == Claim::kTaken && RemoveDanglingLink(wideTarget)) claim = ClaimOnce(wideTemp, wideTarget);
  return claim;
}

bool MoveOver(const std::string& temp, const std::string& target) {
  if (beforeReplaceForTest) beforeReplaceForTest();
  const std::wstring from = Wide(temp), to = Wide(target);
  if (from.empty() || to.empty()) return false;
  // A folder in the way refuses like a file in use would; no waiting for it.
  const DWORD inTheWay = GetFileAttributesW(to.c_str());
  if (inTheWay != INVALID_FILE_ATTRIBUTES && (inTheWay & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (ReplaceOpenFile(from, to)) return true;
  // The new name is on disk when the call returns (MOVEFILE_WRITE_THROUGH).
  return Retried([&] {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  });
}

void RemoveFile(const std::string& path) {
  const std::wstring name = Wide(path);
  if (!name.empty()) Retried([&] { return DeleteFileW(name.c_str()) != 0; });
}

FileKind KindOf(const std::string& path) {
  const std::wstring name = Wide(path);
  if (name.empty()) return FileKind::kOther;
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileKind::kMissing : FileKind::kOther;
  }
  return PlainAttributes(attributes) ? FileKind::kPlain : FileKind::kOther;
}

bool SameFile(const std::string& a, const std::string& b) {
  const auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const std::wstring name = Wide(path);
    if (name.empty()) return false;
    const HANDLE h = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return known;
  };
  BY_HANDLE_FILE_INFORMATION ia, ib;
  return identity(a, ia) && identity(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

// A new file inherits its folder's access rules, as the file it replaces did.
void TakePermissionsOf(const std::string&, std::FILE*) {}

bool MakeFolder(const std::string& path) {
  const std::wstring name = Wide(path);
  if (name.empty()) return false;
  CreateDirectoryW(name.c_str(), nullptr);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows puts a new name on disk with the move itself (write-through); a
// folder cannot be flushed as such.
void SyncFolder(const std::string&) {}

SaveLock::SaveLock(const std::string& folder, int waitMs) {
  // A lock file that no one else may open while it is held, gone again when
  // it is closed (also when the game is ended by force).
  const std::wstring name = Wide(folder + "/saving.lock");
  if (name.empty()) return;
  for (int waited = 0;; waited += 5) {
    const HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<intptr_t>(h);
      return;
    }
    // Held by another copy, or being deleted as that copy lets go. Access
    // denied while no lock file is there is a folder that takes no files:
    // waiting would not help.
    const DWORD error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION ||
                      (error == ERROR_ACCESS_DENIED && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!held) return;
    if (waited >= waitMs) {
      busy_ = true;
      return;
    }
    Sleep(5);
  }
}

SaveLock::~SaveLock() {
  if (Held()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::vector<std::string> LeftoverTemps(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> found;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(Wide(folder + "/*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::string name = Utf8(entry.cFileName);
    if (name.compare(0, prefix.size(), prefix) != 0 || !PlainAttributes(entry.dwFileAttributes)) continue;
    const long writer = TempWriter(name);
    if (writer >= 0 && !ProcessRunning(writer)) found.push_back(folder + "/" + name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

// Windows has no file-size signal: a write past a quota simply fails.
void KeepRunningAtFileSizeLimit() {}

}  // namespace vl::os
