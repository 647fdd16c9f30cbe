#include "shell/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/plain_file.h"

namespace vl {

namespace {
constexpr int kFloodLimit = 500;

char logFileName[512] = "";
bool logStarted = false;
bool logEnabled = false;
int logLineCount = 0;

// The log is written only as a plain file of the data folder: never through
// a link (a link planted there could point anywhere), never blocking on a
// FIFO. Returns -1 when that is not possible.
int OpenLog(int flags) { return OpenPlainFile(logFileName, O_WRONLY | O_NOFOLLOW | flags); }

// Appends text to the log file. A log that cannot be opened (a read-only
// folder, say) loses the line; the game goes on.
void Append(const char* text) {
  const int fd = OpenLog(O_APPEND);
  if (fd < 0) return;
  const size_t size = std::strlen(text);
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::write(fd, text + done, size - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
}
}  // namespace

void LogStart(const char* fileName) {
  std::snprintf(logFileName, sizeof logFileName, "%s", fileName);
  // A link in the log's place is replaced by the log itself, not written
  // through; anything else that is no plain file leaves the run without a log.
  struct stat st;
  if (::lstat(logFileName, &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(logFileName);
  const int fd = OpenLog(O_CREAT | O_TRUNC);
  if (fd >= 0) ::close(fd);
  logEnabled = true;
  logStarted = true;
  logLineCount = 0;
}

void LogWrite(const char* format, ...) {
  if (!logEnabled) return;
  ++logLineCount;
  if (logLineCount == kFloodLimit) {
    Append("---- Log flood prevention\n\n");
  } else if (logLineCount < kFloodLimit) {
    char line[1024 + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, 1024, format, args);
    va_end(args);
    std::strcat(line, "\n");
    Append(line);
  }
}

void LogResume() {
  if (!logStarted) return;
  logEnabled = true;
  if (logLineCount > kFloodLimit - 3) logLineCount = kFloodLimit - 3;
}

void LogSuspend() {
  if (!logStarted) return;
  logEnabled = false;
  logLineCount = 0;
}

void LogResetForTest() {
  logFileName[0] = '\0';
  logStarted = false;
  logEnabled = false;
  logLineCount = 0;
}

}  // namespace vl
