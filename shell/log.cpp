#include "shell/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace vl {

namespace {
constexpr int kFloodLimit = 500;

char logFileName[512] = "";
bool logStarted = false;
bool logEnabled = false;
int logLineCount = 0;

// Appends text to the log file. A log that cannot be opened (a read-only
// folder, say) loses the line; the game goes on.
void Append(const char* text) {
  std::FILE* f = std::fopen(logFileName, "a");
  if (!f) return;
  std::fprintf(f, "%s", text);
  std::fclose(f);
}
}  // namespace

void LogStart(const char* fileName) {
  std::snprintf(logFileName, sizeof logFileName, "%s", fileName);
  if (std::FILE* f = std::fopen(logFileName, "w")) std::fclose(f);
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
