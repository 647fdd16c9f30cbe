// Opening the files of the data folder safely. The game reads and writes
// only plain files there: a FIFO, a device or a folder under a file's name
// counts as missing, and opening never blocks (a FIFO with no writer would
// otherwise hold up the game).
#pragma once

#include <cstdio>

namespace vl {

// Opens `path` with the given open(2) flags (O_RDONLY, O_WRONLY, O_CREAT,
// O_NOFOLLOW, ...) and `mode` for a new file. Returns the descriptor, or -1
// when it cannot be opened or is not a plain file.
int OpenPlainFile(const char* path, int flags, unsigned mode = 0666);

// A plain file opened for binary reading; nullptr as above.
std::FILE* OpenPlainFileForReading(const char* path);

}  // namespace vl
