// Error messages for the player: always written to stderr, and shown in a
// dialog where there is a desktop to show it on.
#pragma once

namespace vl {

// Set VANTALOOP_NO_DIALOGS=1 to keep every message on stderr only (tests and
// unattended runs must never wait for a dialog).
void ShowErrorMessage(const char* caption, const char* text);

}  // namespace vl
