#include "platform/console.h"

#include <unistd.h>

namespace vl {

// A POSIX program always has the standard streams its starter gave it; the
// desktop's launcher chooses the data folder itself (dist/vantaloop-desktop).
bool ConnectToConsole() { return true; }

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace vl
