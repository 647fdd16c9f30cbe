#include "flight/flight_list.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "shell/text_format.h"
#include "shell/tick.h"

namespace vl {

namespace {

// Minutes, seconds and milliseconds: frames of 16 ms come out exact.
std::string Duration(int32_t frames) {
  const long long ms = static_cast<long long>(frames) * kTickMs;
  return FormatText("%lld:%02lld.%03lld", ms / 60000, ms / 1000 % 60, ms % 1000);
}

std::string Remarks(const FlightSummary& f) {
  if (f.problem.empty()) return f.note;
  return f.note.empty() ? f.problem : f.problem + "; " + f.note;
}

std::string Summary(const SavedFlights& s) {
  const size_t count = s.flights.size();
  std::string text =
      count == 0 ? "no saved flights" : FormatText("%zu flight%s", count, count == 1 ? "" : "s");
  if (count > 0) text += FormatText(": %d damaged, %d missing", s.Damaged(), s.Missing());
  text += s.Ghosts() == 1 ? "; 1 flies as a ghost" : FormatText("; %d fly as ghosts", s.Ghosts());
  text += " at the next start";
  switch (s.counterState) {
    case CounterState::kNoFile:
      return text + " (no mem.txt)";
    case CounterState::kNoNumber:
      return text + " (mem.txt holds no number)";
    case CounterState::kNumber:
      return text + FormatText(" (mem.txt holds %lld)", s.counter);
  }
  return text;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (static_cast<unsigned char>(ch) < 0x20) {
      out += FormatText("\\u%04x", ch);
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

}  // namespace

std::string FlightTable(const SavedFlights& s) {
  constexpr size_t kColumns = 8;
  using Row = std::array<std::string, kColumns>;
  std::vector<Row> rows = {
      {"flight", "frames", "duration", "distance", "lowest", "highest", "ghost", "remarks"}};
  for (const FlightSummary& f : s.flights) {
    Row row = {std::to_string(f.number),        "-",       "-", "-", "-", "-",
               f.ghostNextStart ? "yes" : "no", Remarks(f)};
    if (f.present) {
      row[1] = std::to_string(f.frames);
      row[2] = Duration(f.frames);
      row[3] = FormatText("%.1f", f.distance);
    }
    if (f.hasAltitude) {
      row[4] = FormatText("%.2f", static_cast<double>(f.lowest));
      row[5] = FormatText("%.2f", static_cast<double>(f.highest));
    }
    rows.push_back(row);
  }
  // Numbers line up on the right, words on the left; the last column is
  // not padded.
  std::array<size_t, kColumns> width{};
  for (const Row& row : rows)
    for (size_t c = 0; c < kColumns; ++c) width[c] = std::max(width[c], row[c].size());
  std::string out;
  if (!s.flights.empty()) {
    for (const Row& row : rows) {
      std::string line;
      for (size_t c = 0; c < kColumns; ++c) {
        const std::string pad(width[c] - row[c].size(), ' ');
        line += c == 0 ? "" : "  ";
        line += c < 6 ? pad + row[c] : c + 1 < kColumns ? row[c] + pad : row[c];
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
  }
  return out + Summary(s) + "\n";
}

std::string FlightJson(const SavedFlights& s) {
  std::string out = "{\"counter\": ";
  out += s.counterState == CounterState::kNumber ? std::to_string(s.counter) : "null";
  out += ", \"ghosts_next_start\": " + std::to_string(s.Ghosts()) + ", \"flights\": [";
  for (size_t i = 0; i < s.flights.size(); ++i) {
    const FlightSummary& f = s.flights[i];
    const std::string path = RecordingPath(f.number);
    out += i == 0 ? "\n  " : ",\n  ";
    out += FormatText("{\"number\": %d, \"file\": ", f.number) + JsonString(path);
    out += FormatText(", \"present\": %s, \"frames\": %d, \"duration_ms\": %lld, \"distance\": %.3f",
                      f.present ? "true" : "false", f.frames, static_cast<long long>(f.frames) * kTickMs,
                      f.distance);
    if (f.hasAltitude) {
      out += FormatText(", \"lowest\": %.6g, \"highest\": %.6g", static_cast<double>(f.lowest),
                        static_cast<double>(f.highest));
    } else {
      out += ", \"lowest\": null, \"highest\": null";
    }
    out +=
        ", \"problem\": " + JsonString(f.problem) + ", \"ghost\": " + (f.ghostNextStart ? "true" : "false");
    out += ", \"note\": " + JsonString(f.note) + "}";
  }
  return out + (s.flights.empty() ? "]}\n" : "\n]}\n");
}

int PrintFlightList(bool json, std::FILE* out) {
  const SavedFlights flights = ReadSavedFlights();
  const std::string text = json ? FlightJson(flights) : FlightTable(flights);
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0) return 0;
  const int error = errno;
  std::fprintf(stderr, "vantaloop: could not write the list of flights%s%s\n", error ? ": " : "",
               error ? std::strerror(error) : "");
  return 1;
}

}  // namespace vl
