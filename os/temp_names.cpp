#include "os/temp_names.h"

#include <cstdlib>

namespace vl::os {

long TempWriter(const std::string& name) {
  constexpr size_t kSuffix = 4;  // ".tmp"
  if (name.size() <= kSuffix || name.compare(name.size() - kSuffix, kSuffix, ".tmp") != 0) return -1;
  const std::string stem = name.substr(0, name.size() - kSuffix);
  const size_t serialDot = stem.rfind('.');
  if (serialDot == std::string::npos || serialDot == 0) return -1;
  const size_t pidDot = stem.rfind('.', serialDot - 1);
  if (pidDot == std::string::npos) return -1;
  const std::string pid = stem.substr(pidDot + 1, serialDot - pidDot - 1);
  const std::string serial = stem.substr(serialDot + 1);
  const auto digits = [](const std::string& s) {
    return !s.empty() && s.size() < 12 && s.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!digits(pid) || !digits(serial)) return -1;
  return std::strtol(pid.c_str(), nullptr, 10);
}

}  // namespace vl::os
