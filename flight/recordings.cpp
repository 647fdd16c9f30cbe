#include "flight/recordings.h"

namespace vl {

void EndOfFlightSave() {}
void LoadRecordings() {}

}  // namespace vl
