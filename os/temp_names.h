// The names of the temporary files that CreateTemp makes:
// "<target>.<process>.<serial>.tmp", the same on every system.
#pragma once

#include <string>

namespace vl::os {

// The number of the process that made the temporary file `name`, or -1 when
// `name` is not such a name.
long TempWriter(const std::string& name);

}  // namespace vl::os
