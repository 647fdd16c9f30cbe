// printf-style formatting into a std::string of whatever length it needs.
#pragma once

#include <string>

namespace vl {

std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace vl
