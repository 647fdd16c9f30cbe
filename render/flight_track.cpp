#include "render/flight_track.h"

#include <cmath>

namespace vl {

namespace {

using Point = std::pair<double, double>;

// Ramer-Douglas-Peucker: keeps the first and last point, and of the points
// between them the one farthest from the straight line joining them while
// it lies farther than the tolerance, then the same on each side.
std::vector<Point> Thin(const std::vector<Point>& points) {
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
    if (worst > kTrackTolerance) {
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
  std::vector<Point> run;
  const auto endRun = [&] {
    if (!run.empty()) track.runs.push_back(Thin(run));
    run.clear();
  };
  for (int32_t i = 0; i < flight.frameCount; ++i) {
    const Vec3& p = flight.frames[i].position;
    if (std::isfinite(p.x) && std::isfinite(p.z) && std::isfinite(p.y)) {
      run.push_back({p.x, p.z});
    } else {
      endRun();
    }
  }
  endRun();
  return track;
}

}  // namespace vl
