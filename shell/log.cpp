#include "shell/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <string>

#include "os/files.h"

namespace vl {

namespace {
constexpr int kFloodLimit = 500;

char logFileName[512] = "";
bool logStarted = false;
bool logEnabled = false;
int logLineCount = 0;

// Appends text to the log file. The log is written only as the plain file
// the game made at the start: never through a link or into a file that has
// other names too, never blocking. A log that cannot be opened (a read-only
// folder, say) loses the line; the game goes on.
void Append(const char* text) {
  std::FILE* f = os::OpenForAppending(logFileName);
  if (!f) return;
  std::fputs(text, f);
  std::fclose(f);
}
}  // namespace

void LogStart(const char* fileName) {
  std::snprintf(logFileName, sizeof logFileName, "%s", fileName);
  // Every run's log is a new, empty file of its own that takes the name: a
  // link or a hard link in its place is replaced, never written through.
  // Where no such file can be made, the run goes unlogged rather than
  // adding to an old log.
  std::string temp;
  std::FILE* f = os::CreateTemp(logFileName, temp);
  const bool made = f && std::fclose(f) == 0 && os::MoveOver(temp, logFileName);
  if (f && !made) os::RemoveFile(temp);
  if (!made) logFileName[0] = '\0';
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
