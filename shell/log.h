// The start-up and shutdown log: plain lines appended to one text file,
// each line opened, written and closed on its own so it is on disk as soon
// as the call returns. A flood limit keeps any one phase from writing more
// than 499 lines, and the main loop runs with logging switched off.
#pragma once

namespace vl {

// Names the log file, empties it and switches logging on.
void LogStart(const char* fileName);
// Appends one printf-style line (at most 1023 characters).
void LogWrite(const char* format, ...)
#if defined(__MINGW32__)  // formatted by mingw's C99 printf, not msvcrt's
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// Switches logging back on after a quiet phase, leaving room for two lines
// even when the flood limit was reached.
void LogResume();
// Starts a quiet phase: logging off, line count back to zero.
void LogSuspend();

// Back to the state before LogStart, for tests.
void LogResetForTest();

}  // namespace vl
