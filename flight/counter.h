// mem.txt, the counter: one decimal number and a newline, the number of the
// newest saved flight. The next save takes the number after it, and the
// start-up loads the files below it.
#pragma once

#include <cstdint>

namespace vl {

constexpr const char* kCounterFile = "mem.txt";

enum class CounterState { kNoFile, kNoNumber, kNumber };

// What mem.txt holds. No file (or not a plain file) is kNoFile; `number` is
// set (else 0) only when the file starts with a number. The game never
// writes a leading zero, so "010" is ten. A value too large for the range
// reads as the range's end.
CounterState ReadCounter(long long& number);

// How many files, numbered from 0, the start-up loads for this counter.
int32_t FlightsLoadedAtStart(CounterState state, long long number);

// The number the next flight is saved under: the one after mem.txt's, 0
// without the file, 1 when it holds no number. A value that cannot be
// advanced to a file number (below -1, or at the top of the range) counts
// as no number.
int32_t NextFlightNumber();

// Moves mem.txt up to `number`; a larger number already there stays, so the
// counter never moves down. Called under the save lock. mem.txt is replaced
// as a whole, never rewritten in place: a reader sees the old number or the
// new one, and a link in its place is replaced. False when it could not.
bool RaiseCounter(int32_t number);

}  // namespace vl
