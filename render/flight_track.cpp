#include "render/flight_track.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

using Point = std::pair<double, double>;

// Ramer-Douglas-Peucker: keeps the first and last point, and of the points
// between them the one farthest from the straight line joining them while
// it lies farther than the tolerance, then the same on each side. A long
// span that must be split is split at its middle instead: any point of it
// would do, since every point left out still lies within the tolerance of
// its final chord, and the middle keeps a scribble from costing the square
// of its length.
std::vector<Point> Thin(const std::vector<Point>& points, double tolerance) {
  constexpr size_t kLongSpan = 32;
  if (points.size() < 3) return points;
  std::vector<bool> keep(points.size(), false);
  keep.front() = keep.back() = true;
  std::vector<std::pair<size_t, size_t>> spans = {{0, points.size() - 1}};
  while (!spans.empty()) {
    const auto [a, b] = spans.back();
    spans.pop_back();
    const double dx = points[b].first - points[a].first, dy = points[b].second - points[a].second;
    const double length = std::hypot(dx, dy);
    double worst = 0;
    size_t at = a;
    for (size_t i = a + 1; i < b; ++i) {
      const double px = points[i].first - points[a].first, py = points[i].second - points[a].second;
      // Distance to the chord, or to its start when both ends coincide.
      const double d = length > 0 ? std::abs(dx * py - dy * px) / length : std::hypot(px, py);
      if (d > worst) {
        worst = d;
        at = i;
      }
    }
    if (worst > tolerance) {
      if (b - a > kLongSpan) at = a + (b - a) / 2;
      keep[at] = true;
      spans.push_back({a, at});
      spans.push_back({at, b});
    }
  }
  std::vector<Point> out;
  for (size_t i = 0; i < points.size(); ++i)
    if (keep[i]) out.push_back(points[i]);
  return out;
}

}  // namespace

FlightTrack TrackOf(const FlightSummary& summary, const Recording& flight) {
  FlightTrack track;
  track.number = summary.number;
  track.damaged = !summary.problem.empty();
  std::vector<std::vector<Point>> whole(1);
  for (int32_t i = 0; i < flight.frameCount; ++i) {
    const Vec3& p = flight.frames[i].position;
    if (std::isfinite(p.x) && std::isfinite(p.z) && std::isfinite(p.y)) {
      whole.back().push_back({p.x, p.z});
    } else if (!whole.back().empty()) {
      whole.emplace_back();
    }
  }
  if (whole.back().empty()) whole.pop_back();
  // Past the flight's own size a wider tolerance keeps nothing more away.
  double reach = 0;
  if (!whole.empty()) {
    auto [x0, z0] = whole.front().front();
    auto [x1, z1] = whole.front().front();
    for (const std::vector<Point>& run : whole) {
      for (const auto& [x, z] : run) {
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        z0 = std::min(z0, z), z1 = std::max(z1, z);
      }
    }
    reach = std::hypot(x1 - x0, z1 - z0);
  }
  // Each wider round thins what the last one kept: the line then strays
  // from the flight by at most twice the last tolerance.
  for (double tolerance = kTrackTolerance;; tolerance *= 2) {
    size_t points = 0;
    for (std::vector<Point>& run : whole) {
      run = Thin(run, tolerance);
      points += run.size();
    }
    if (points <= kMostTrackPoints || tolerance > reach) break;
  }
  track.runs = std::move(whole);
  return track;
}

}  // namespace vl
