// Pad mappings in SDL's text format, checked before SDL sees them.
//
// A mapping line is "GUID,name,field:value,...". SDL trusts the numbers in
// it: an axis, button or hat index of 2^31 or more turns negative inside
// SDL and crashes the game when a matching pad is read. And SDL's time to
// add mappings grows with the square of their number. So every line is
// checked here (known fields only, indexes within what a device can have),
// and only a bounded number of lines from one source is handed on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vl {

// The most lines of one source handed to SDL. SDL's own database holds a
// few hundred for a platform, a full community file about as many again;
// 2000 take SDL a few hundredths of a second to add.
constexpr int kMaxPadMappings = 2000;

// The highest axis, button or hat index of any device SDL can open (its
// counts are 16-bit).
constexpr int kMaxPadInputIndex = 65535;

// Whether SDL can take the line safely: a GUID (32 hex digits, "default" or
// "xinput"), a name, then only fields SDL knows, each with a well-formed
// value in range.
bool IsSafePadMapping(std::string_view line);

// The lines of one source, sorted out.
struct PadMappingLines {
  std::vector<std::string> kept;  // in the source's order, for SDL
  int broken = 0;                 // failed IsSafePadMapping
  int beyondLimit = 0;            // good lines after the first kMaxPadMappings
};

// Sorts the lines of `text`. With a `platform`, only lines whose platform
// field names it are taken, as SDL's own file reader does; without one
// (the SDL_GAMECONTROLLERCONFIG variable) every line is. Blank lines and
// comments are passed over without counting.
PadMappingLines SortPadMappings(std::string_view text, const char* platform);

}  // namespace vl
