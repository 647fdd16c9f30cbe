// The file operations the game asks of the operating system, the same on
// every system it runs on: reading the data folder's files without ever
// blocking, writing new files that are complete on disk before they get
// their names, and keeping two copies of the game out of each other's way.
//
// Paths are UTF-8 text with '/' between folders.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vl::os {

// A plain file opened for binary reading. Anything else under the name (a
// folder, a FIFO, a device, a link to one of them) counts as missing:
// nullptr. The type is checked before the file is opened, and opening never
// blocks.
std::FILE* OpenForReading(const std::string& path);

// The bytes of an open file from the current position to its end, or -1.
long long BytesLeft(std::FILE* f);

// The plain file `path` opened for appending, never through a link and never
// a file that has other names as well (a hard link into another folder);
// nullptr otherwise.
std::FILE* OpenForAppending(const std::string& path);

// Creates a new, empty file beside `target` for binary writing, under a name
// of its own: `target` + ".<process>.<serial>.tmp", stored in `temp`. An
// existing name is never opened and a link never followed, so nothing
// planted under such a name is written into. nullptr when no file can be
// made there.
std::FILE* CreateTemp(const std::string& target, std::string& temp);

// Pushes everything written to `f` through the system's caches onto the
// disk and closes it. False when a write, the flush or the close failed.
bool Finish(std::FILE* f);

enum class Claim {
  kDone,      // the file has the name now; its temporary name is gone
  kTaken,     // something else has the name; nothing changed
  kFailed,    // the system would not give the name; nothing changed
  kNeedsLock  // only a look-then-rename would do, and another copy may be
              // claiming; nothing changed
};

// Gives the finished temporary file `temp` the name `target` without ever
// replacing what has that name: an existing file, or a link to one, makes
// the name taken. A link that leads nowhere is replaced. On file systems
// without hard links and without renames that refuse to replace, the name
// can only be looked at and then renamed to, which is safe only while no
// other copy of the game claims names in the folder: only when `alone` (the
// caller holds the SaveLock, or the system has no lock to give). `temp`
// stays unless kDone.
Claim ClaimName(const std::string& temp, const std::string& target, bool alone);

// Puts `temp` in the place of `target` in one step, replacing whatever is
// there (a link is replaced, not followed). False leaves both as they were.
bool MoveOver(const std::string& temp, const std::string& target);

void RemoveFile(const std::string& path);

// What a name stands for, looked at without following a link.
enum class FileKind { kMissing, kPlain, kOther };
FileKind KindOf(const std::string& path);
// Whether both names lead to one existing file or folder.
bool SameFile(const std::string& a, const std::string& b);
// Gives the open new file `f` the permissions of the plain file `existing`
// (and its owner, where the system lets this process), so that a file put
// in the place of another keeps them. Where the system has no such
// permissions, nothing changes.
void TakePermissionsOf(const std::string& existing, std::FILE* f);

// Makes `path` a folder when nothing has that name. True when it is a
// folder afterwards.
bool MakeFolder(const std::string& path);

// Makes the names just made in `folder` durable, where the system can.
void SyncFolder(const std::string& folder);

// Taken by one copy of the game at a time for the few steps of a save: a
// lock on the folder `folder` (where a system cannot lock a folder, on a
// lock file inside it). Waits up to `waitMs` for another copy to finish. A
// lock that cannot be taken is simply not held: the save goes on all the
// same.
class SaveLock {
 public:
  SaveLock(const std::string& folder, int waitMs);
  ~SaveLock();
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;
  bool Held() const { return handle_ != kNone; }
  // Another copy of the game held the lock for the whole wait (rather than
  // the system offering no lock at all).
  bool Busy() const { return busy_; }

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t handle_ = kNone;
  bool busy_ = false;
};

// The temporary files (names as CreateTemp makes them) in `folder` whose
// names start with `prefix` and whose writing process is no longer running:
// what saves cut off by a crash or a kill left behind. Paths as
// `folder` + "/" + name.
std::vector<std::string> LeftoverTemps(const std::string& folder, const std::string& prefix);

// From now on a write that would pass a file-size limit fails, and is
// reported like a full disk, instead of ending the program.
void KeepRunningAtFileSizeLimit();

// Tests make the claim behave as on file systems that lack its tools:
// kCheckThenRename as with neither hard links nor no-replace renames (exFAT
// through FUSE), kNone as where no rename works at all.
enum class ClaimTools { kAll, kCheckThenRename, kNone };
extern ClaimTools claimToolsForTest;
// Tests slow down MoveOver with this, called before it replaces.
extern void (*beforeReplaceForTest)();
// Tests hold a claim up between its look and its rename with this, where
// the file system leaves no other way to claim a name.
extern void (*beforeLookedRenameForTest)();

}  // namespace vl::os
