#include "render/flight_map.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

#include "flight/ghosts.h"
#include "os/files.h"
#include "render/city.h"
#include "shell/text_format.h"

namespace vl {

namespace {

using Point = std::pair<double, double>;

// The ghost tint of a flight's table entry as an SVG colour.
std::string ColourOf(int32_t number) {
  const Vec3 c = GhostColour(number + 1);
  const auto level = [](float v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
  };
  return FormatText("#%02x%02x%02x", level(c.x), level(c.y), level(c.z));
}

// A rectangle of the ground, x0..x1 by z0..z1, in world units.
struct Area {
  double x0, z0, x1, z1;
};

std::vector<Area> CityFootprints() {
  std::vector<Area> areas;
  for (int a = -kBlockReach; a <= kBlockReach; ++a) {
    for (int b = -kBlockReach; b <= kBlockReach; ++b) {
      const double cx = kBlockSpacing * static_cast<float>(a), cz = kBlockSpacing * static_cast<float>(b);
      const CityBox& g = kGroundSlab;
      areas.push_back(
          {cx + g.corner.x, cz + g.corner.z, cx + g.corner.x + g.size.x, cz + g.corner.z + g.size.z});
      // The tower group, widened as it is drawn. Boxes stacked on the same
      // footprint are outlined once.
      std::vector<Area> seen;
      for (const CityBox& t : kTowerGroup) {
        const Area area{cx + t.corner.x * kTowerScale.x, cz + t.corner.z * kTowerScale.z,
                        cx + (t.corner.x + t.size.x) * kTowerScale.x,
                        cz + (t.corner.z + t.size.z) * kTowerScale.z};
        const bool again = std::any_of(seen.begin(), seen.end(), [&](const Area& s) {
          return s.x0 == area.x0 && s.z0 == area.z0 && s.x1 == area.x1 && s.z1 == area.z1;
        });
        if (again) continue;
        seen.push_back(area);
        areas.push_back(area);
      }
    }
  }
  return areas;
}

// The largest of 1, 2 or 5 times a power of ten that is at most `most`.
double RoundLength(double most) {
  const double power = std::pow(10.0, std::floor(std::log10(most)));
  for (const double step : {5.0, 2.0, 1.0})
    if (step * power <= most) return step * power;
  return power;
}

}  // namespace

std::string FlightMapSvg(const std::vector<FlightTrack>& tracks) {
  const std::vector<Area> city = CityFootprints();
  // The ground shown: the city and every flight, with a margin.
  Area view = city.front();
  for (const Area& a : city)
    view = {std::min(view.x0, a.x0), std::min(view.z0, a.z0), std::max(view.x1, a.x1),
            std::max(view.z1, a.z1)};
  for (const FlightTrack& t : tracks)
    for (const auto& run : t.runs)
      for (const auto& [x, z] : run)
        view = {std::min(view.x0, x), std::min(view.z0, z), std::max(view.x1, x), std::max(view.z1, z)};
  const double pad = 0.04 * std::max(view.x1 - view.x0, view.z1 - view.z0);
  view = {view.x0 - pad, view.z0 - pad, view.x1 + pad, view.z1 + pad};

  // Pixels: the longer side of the view is 900 px. Seen from above with +z
  // up, +x runs to the left.
  constexpr double kSide = 900, kMargin = 20, kTop = 44, kLegend = 190;
  const double scale = kSide / std::max(view.x1 - view.x0, view.z1 - view.z0);
  const double mapW = (view.x1 - view.x0) * scale, mapH = (view.z1 - view.z0) * scale;
  const auto px = [&](double x) { return kMargin + (view.x1 - x) * scale; };
  const auto py = [&](double z) { return kTop + (view.z1 - z) * scale; };
  const double legendX = kMargin + mapW + kMargin;
  const double width = legendX + kLegend;
  const double height = std::max(kTop + mapH + 56, kTop + 54 + 18.0 * static_cast<double>(tracks.size()));

  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += FormatText(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\" "
      "font-family=\"sans-serif\" font-size=\"13\">\n",
      width, height, width, height);
  svg += "<title>vantaloop: saved flights seen from above</title>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#16191e\"/>\n";
  svg += FormatText(
      "<text x=\"%.0f\" y=\"28\" fill=\"#d8dde4\" font-size=\"16\">Saved flights seen from above "
      "(+z up, +x to the left)</text>\n",
      kMargin);
  svg += FormatText(
      "<clipPath id=\"ground\"><rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\"/></clipPath>\n",
      kMargin, kTop, mapW, mapH);

  // The overhead plates, faintly: one tile of the grid repeated. The plate
  // at corner x spans x .. x + size, which on the map lies at the right
  // end of the tile that begins at x + step.
  const int lastPlate = kPlateFirst + (kPlateEnd - 1 - kPlateFirst) / kPlateStep * kPlateStep;
  const double step = kPlateStep, gapX = step - kPlateSize.x, gapZ = step - kPlateSize.z;
  svg += FormatText(
      "<pattern id=\"plates\" patternUnits=\"userSpaceOnUse\" x=\"%.2f\" y=\"%.2f\" width=\"%.3f\" "
      "height=\"%.3f\"><rect x=\"%.3f\" y=\"%.3f\" width=\"%.3f\" height=\"%.3f\" fill=\"#9fb4cc\" "
      "fill-opacity=\"0.13\"/></pattern>\n",
      px(lastPlate + step), py(lastPlate + step), step * scale, step * scale, gapX * scale, gapZ * scale,
      kPlateSize.x * scale, kPlateSize.z * scale);
  svg += "<g clip-path=\"url(#ground)\">\n";
  svg += FormatText("<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"url(#plates)\"/>\n",
                    px(lastPlate + kPlateSize.x), py(lastPlate + kPlateSize.z),
                    (lastPlate + kPlateSize.x - kPlateFirst) * scale,
                    (lastPlate + kPlateSize.z - kPlateFirst) * scale);

  // The blocks, their towers and beams.
  svg += "<g fill=\"none\" stroke=\"#7b8594\" stroke-width=\"1\">\n";
  for (const Area& a : city)
    svg += FormatText("<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\"/>\n", px(a.x1), py(a.z1),
                      (a.x1 - a.x0) * scale, (a.z1 - a.z0) * scale);
  svg += "</g>\n";

  // The flights, then their starts (rings) and ends (squares) on top.
  for (const FlightTrack& t : tracks) {
    std::string d;
    for (const auto& run : t.runs) {
      for (size_t i = 0; i < run.size(); ++i)
        // After the first line, the points of a run follow without
        // repeating L: "M x y L x y x y ...".
        d += FormatText("%s%.1f %.1f", i == 0 ? (d.empty() ? "M" : " M") : i == 1 ? " L" : " ",
                        px(run[i].first), py(run[i].second));
      if (run.size() == 1) d += " h0";  // a flight standing still still shows its end caps
    }
    if (d.empty()) continue;
    svg += FormatText("<path id=\"flight-%d\" class=\"flight\" d=\"", t.number) + d +
           FormatText(
               "\" fill=\"none\" stroke=\"%s\" stroke-width=\"1.6\" stroke-linejoin=\"round\" "
               "stroke-linecap=\"round\"/>\n",
               ColourOf(t.number).c_str());
  }
  for (const FlightTrack& t : tracks) {
    if (t.runs.empty()) continue;
    const Point start = t.runs.front().front(), end = t.runs.back().back();
    const std::string colour = ColourOf(t.number);
    svg += FormatText(
        "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"4.5\" fill=\"none\" stroke=\"%s\" stroke-width=\"1.6\"/>\n",
        px(start.first), py(start.second), colour.c_str());
    svg += FormatText("<rect x=\"%.1f\" y=\"%.1f\" width=\"7\" height=\"7\" fill=\"%s\"/>\n",
                      px(end.first) - 3.5, py(end.second) - 3.5, colour.c_str());
  }
  svg += "</g>\n";
  svg += FormatText(
      "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" stroke=\"#3a414b\"/>\n",
      kMargin, kTop, mapW, mapH);

  // The scale, in world units, under the map.
  const double length = RoundLength((view.x1 - view.x0) / 4);
  const double barY = kTop + mapH + 26, barEnd = kMargin + length * scale;
  svg += FormatText(
      "<path d=\"M%.1f %.1f v6 H%.1f v-6\" fill=\"none\" stroke=\"#d8dde4\" stroke-width=\"1.5\"/>\n",
      kMargin, barY - 6, barEnd);
  svg += FormatText("<text x=\"%.1f\" y=\"%.1f\" fill=\"#d8dde4\">%g world units</text>\n", barEnd + 8,
                    barY + 4, length);

  // The legend: which colour is which flight.
  svg += FormatText(
      "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"4.5\" fill=\"none\" stroke=\"#d8dde4\" stroke-width=\"1.6\"/>"
      "<text x=\"%.1f\" y=\"%.1f\" fill=\"#d8dde4\">start</text>"
      "<rect x=\"%.1f\" y=\"%.1f\" width=\"7\" height=\"7\" fill=\"#d8dde4\"/>"
      "<text x=\"%.1f\" y=\"%.1f\" fill=\"#d8dde4\">end</text>\n",
      legendX + 5, kTop + 7.5, legendX + 16, kTop + 12, legendX + 64.5, kTop + 4, legendX + 78, kTop + 12);
  double y = kTop + 40;
  for (const FlightTrack& t : tracks) {
    if (t.runs.empty()) continue;
    svg += FormatText("<path d=\"M%.1f %.1f h24\" stroke=\"%s\" stroke-width=\"3\"/>", legendX, y - 4,
                      ColourOf(t.number).c_str());
    svg += FormatText("<text x=\"%.1f\" y=\"%.1f\" fill=\"#d8dde4\">flight %d%s</text>\n", legendX + 32, y,
                      t.number, t.damaged ? " (damaged)" : "");
    y += 18;
  }
  if (y == kTop + 40)
    svg += FormatText("<text x=\"%.1f\" y=\"%.1f\" fill=\"#d8dde4\">no saved flights</text>\n", legendX, y);
  return svg + "</svg>\n";
}

std::string MapTargetProblem(const std::string& path) {
  const os::FileKind kind = os::KindOf(path);
  if (kind == os::FileKind::kOther) return "it is not a plain file";
  // The data folder's own files, under whatever spelling or link leads to
  // them: a name in this folder or in recordings/ is judged by its folder,
  // as the file may not be there yet.
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (os::SameFile(folder, "recordings")) return "it is in the data folder's recordings/";
  const bool own = std::any_of(std::begin(kDataFolderFiles), std::end(kDataFolderFiles), [&](const char* file) {
    return (os::SameFile(folder, ".") && name == file) || os::SameFile(path, file);
  });
  return own ? "it is one of the data folder's own files" : "";
}

int WriteFlightMap(const std::string& path) {
  const std::string problem = MapTargetProblem(path);
  if (!problem.empty()) {
    std::fprintf(stderr, "vantaloop: the map is not written to %s: %s\n", path.c_str(), problem.c_str());
    return 1;
  }
  std::vector<FlightTrack> tracks;
  ReadSavedFlights([&](const FlightSummary& f, const Recording& r) {
    if (r.frameCount > 0) tracks.push_back(TrackOf(f, r));
  });
  const std::string svg = FlightMapSvg(tracks);
  // Written through the game's file module: a name beyond ASCII is the
  // name on every system, and the map appears whole or not at all.
  std::string temp;
  errno = 0;
  std::FILE* out = os::CreateTemp(path, temp);
  if (out) {
    os::TakePermissionsOf(path, out);
    errno = 0;
  }
  bool ok = out && std::fwrite(svg.data(), 1, svg.size(), out) == svg.size();
  if (out && !os::Finish(out)) ok = false;
  ok = ok && os::MoveOver(temp, path);
  if (!ok) {
    const int error = errno;  // what failed first, before the clean-up
    if (out) os::RemoveFile(temp);
    std::fprintf(stderr, "vantaloop: could not write the map to %s%s%s\n", path.c_str(), error ? ": " : "",
                 error ? std::strerror(error) : "");
    return 1;
  }
  std::printf("vantaloop: the map of %zu flight%s is in %s\n", tracks.size(), tracks.size() == 1 ? "" : "s",
              path.c_str());
  return 0;
}

}  // namespace vl
