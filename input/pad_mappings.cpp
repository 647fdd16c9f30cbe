#include "input/pad_mappings.h"

#include <algorithm>
#include <cctype>

namespace vl {

namespace {

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool AllDigits(std::string_view s, bool hex = false) {
  return std::all_of(s.begin(), s.end(), [hex](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (hex ? std::isxdigit(u) : std::isdigit(u)) != 0;
  });
}

// Reads a number of 1 to 5 digits, no more than `max`, from the front of `s`.
bool TakeNumber(std::string_view& s, int max) {
  size_t n = 0;
  int value = 0;
  while (n < s.size() && n < 6 && std::isdigit(static_cast<unsigned char>(s[n]))) value = value * 10 + (s[n++] - '0');
  if (n == 0 || n > 5 || value > max) return false;
  s.remove_prefix(n);
  return true;
}

// What a pad's button or axis is read from: "a2", "b11", "h0.4", with an
// optional half-axis sign before and an inversion mark after.
bool IsInput(std::string_view v) {
  if (!v.empty() && (v.front() == '+' || v.front() == '-')) v.remove_prefix(1);
  if (!v.empty() && v.back() == '~') v.remove_suffix(1);
  if (v.empty()) return false;
  const char kind = v.front();
  v.remove_prefix(1);
  if (kind == 'a' || kind == 'b') return TakeNumber(v, kMaxPadInputIndex) && v.empty();
  if (kind != 'h' || !TakeNumber(v, kMaxPadInputIndex) || v.empty() || v.front() != '.') return false;
  v.remove_prefix(1);
  return TakeNumber(v, 15) && v.empty();  // the hat's direction bits
}

constexpr const char* kButtons[] = {"a", "b", "x", "y", "back", "guide", "start", "leftstick", "rightstick",
                                    "leftshoulder", "rightshoulder", "dpup", "dpdown", "dpleft", "dpright",
                                    "misc1", "paddle1", "paddle2", "paddle3", "paddle4", "touchpad"};
constexpr const char* kAxes[] = {"leftx", "lefty", "rightx", "righty", "lefttrigger", "righttrigger"};

bool IsSafeField(std::string field) {
  // SDL reads the fields with their spaces taken out.
  field.erase(std::remove_if(field.begin(), field.end(), [](char c) { return c == ' ' || c == '\r'; }),
              field.end());
  if (field.empty()) return true;  // ",," or the comma at the end
  const size_t colon = field.find(':');
  if (colon == std::string::npos) return false;
  std::string_view key = std::string_view(field).substr(0, colon);
  const std::string_view value = std::string_view(field).substr(colon + 1);
  if (SameText(key, "platform") || SameText(key, "hint")) return !value.empty();
  if (SameText(key, "crc")) return !value.empty() && value.size() <= 4 && AllDigits(value, true);
  if (SameText(key, "sdk>=") || SameText(key, "sdk<=")) return !value.empty() && value.size() <= 9 && AllDigits(value);
  const bool half = !key.empty() && (key.front() == '+' || key.front() == '-');
  if (half) key.remove_prefix(1);
  const auto named = [key](const char* name) { return SameText(key, name); };
  const bool axis = std::any_of(std::begin(kAxes), std::end(kAxes), named);
  const bool button = !half && std::any_of(std::begin(kButtons), std::end(kButtons), named);
  return (axis || button) && IsInput(value);
}

// The platform a line is for, found as SDL's file reader finds it: the
// text between the first "platform:" and the comma after it.
bool ForPlatform(std::string_view line, const char* platform) {
  constexpr std::string_view kField = "platform:";
  const size_t at = line.find(kField);
  if (at == std::string_view::npos) return false;
  const size_t start = at + kField.size();
  const size_t comma = line.find(',', start);
  return comma != std::string_view::npos && SameText(line.substr(start, comma - start), platform);
}

}  // namespace

bool IsSafePadMapping(std::string_view line) {
  const size_t first = line.find(',');
  if (first == std::string_view::npos) return false;
  const std::string_view guid = line.substr(0, first);
  if (!(guid.size() == 32 && AllDigits(guid, true)) && !SameText(guid, "default") && !SameText(guid, "xinput"))
    return false;
  const size_t second = line.find(',', first + 1);  // the name lies between
  if (second == std::string_view::npos) return false;
  for (size_t start = second + 1; start <= line.size();) {
    const size_t end = std::min(line.find(',', start), line.size());
    if (!IsSafeField(std::string(line.substr(start, end - start)))) return false;
    start = end + 1;
  }
  return true;
}

PadMappingLines SortPadMappings(std::string_view text, const char* platform) {
  PadMappingLines out;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string_view::npos || line[start] == '#') continue;
    if (platform && !ForPlatform(line, platform)) continue;  // SDL would not take it either
    if (!IsSafePadMapping(line)) {
      ++out.broken;
    } else if (out.kept.size() >= static_cast<size_t>(kMaxPadMappings)) {
      ++out.beyondLimit;
    } else {
      out.kept.emplace_back(line);
    }
  }
  return out;
}

}  // namespace vl
