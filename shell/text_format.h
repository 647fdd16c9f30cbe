// printf-style formatting into a std::string of whatever length it needs.
#pragma once

#include <string>

namespace vl {

std::string FormatText(const char* format, ...)
#if defined(__MINGW32__)  // formatted by mingw's C99 printf, not msvcrt's
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace vl
