// Keeping a flight: the save when the player leaves with Escape, and the
// start-up's check that the data folder can take one. Two copies of the game
// saving into one folder take turns, a save never replaces a saved flight,
// and what a save cut off by a crash left behind is cleared away.
#pragma once

#include <cstdint>
#include <string>

namespace vl {

// Saves the live flight when the player leaves with Escape: only a flight
// of more than 600 recorded frames, under the number after the one in
// mem.txt, or the next free number after it when that file exists already
// (an existing recording is never replaced). The file is complete on disk
// before mem.txt names the number used.
void EndOfFlightSave();

// What became of a save.
struct SavedFlight {
  int32_t number = 0;      // the file number tried last, the one used when named
  bool written = false;    // the whole flight is on disk under `temp`
  bool named = false;      // ... and now has the name of file `number`
  bool needsLock = false;  // ... or not, as naming it here needs the save lock
  std::string temp;        // where the flight is while it has no name
};
// Writes the live flight to disk once, then gives it the name of recording
// file `first`, or of the next free number after it. An existing file is
// never replaced. A flight written but not named stays under `temp`.
// `alone`: no other copy of the game is saving (the save lock is held, or
// the system has none), so that a name may be looked at and then taken.
SavedFlight SaveRecording(int32_t first, bool alone);

// A flight file the player brings in from elsewhere (another machine, a
// download), already written whole under the temporary name `temp`, made
// with os::CreateTemp beside recording file 0: named as a save names a
// flight, under the number after mem.txt's or the next free one, and
// counted in mem.txt. Returns the number, or -1 with `why` when the file
// holds no whole flight or could not be named (it is removed then).
int32_t AddFlightFile(const std::string& temp, std::string& why);

// Tests hold the end-of-flight save up, as a stalled disk or a stopped
// process would: between looking at the flight's name and renaming to it
// (where the file system has no other way to claim a name), or right before
// mem.txt moves on.
extern void (*duringClaimForTest)();
extern void (*beforeCounterForTest)();

// Start-up: makes the recordings folder when it is missing and tries
// whether the data folder and the recordings folder take new files. Returns
// what the player must know when flights cannot be saved (the message that
// goes with kFlightsNotKept), else nothing.
// Also names the whole flights that saves cut off by a crash left under
// temporary names, and clears away the rest of what they left.
std::string CheckFlightsCanBeKept();
constexpr const char* kFlightsNotKept = "Flights cannot be saved";

}  // namespace vl
