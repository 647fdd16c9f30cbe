#include "platform/console.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace vl {

namespace {
bool Usable(DWORD which) {
  const HANDLE h = GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

UINT consoleCodePage = 0;
void RestoreCodePage() { SetConsoleOutputCP(consoleCodePage); }
}  // namespace

bool ConnectToConsole() {
  // Output redirected to a file or a pipe (a script, a test) already works.
  if (Usable(STD_OUTPUT_HANDLE) || Usable(STD_ERROR_HANDLE)) return true;
  // Started from a command prompt: write into its console. Its prompt is
  // back already, since it does not wait for a windowed program.
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  if (!std::freopen("CONOUT$", "w", stdout) || !std::freopen("CONOUT$", "w", stderr)) return true;
  // The game's text is UTF-8 (folder names may be beyond ASCII); the
  // console gets its own code page back when the game ends.
  consoleCodePage = GetConsoleOutputCP();
  if (consoleCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) std::atexit(RestoreCodePage);
  return true;
}

bool StderrIsTerminal() { return GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR; }

}  // namespace vl
