// Polygon regions, rasterised on demand for a window size. Each pixel row is
// sampled along its top edge (y), and pixel x belongs to the region when the
// point (x, y), its top-left corner, lies inside the polygon or on an edge
// where the polygon starts, under the region's fill rule: a run between
// crossings at a and b covers [ceil(a), ceil(b)). Edges count from their
// upper end and not their lower one, so a vertex on a sample line is met
// once. These are the rules of the system's own regions: a rectangle
// (0,0)-(W,H) covers exactly W x H pixels, and the main window's outline
// loses 3, 2 and 1 pixels from its first rows at the top left corner (3
// across, 3 down) and 3, 2 and 1 at the top right (3 across, 4 down).
#include <algorithm>
#include <cmath>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/HandleTable.h"

namespace gdi {

namespace {

// Keeps the crossing arithmetic exact in doubles (products stay well below
// 2^53); real outlines are far smaller.
constexpr long long MaxCoordinate = 1 << 24;

long long Clamp(LONG v) {
  return std::clamp<long long>(v, -MaxCoordinate, MaxCoordinate);
}

struct Crossing {
  double x;
  int direction;
};

// The runs [x0, x1) of pixel row y inside the polygon, clipped to
// [left, right).
void RowSpans(const std::vector<POINT>& points, int fillMode, int y, long long left,
              long long right, std::vector<Span>& out) {
  std::vector<Crossing> crossings;
  const std::size_t n = points.size();
  // Twice the sample line's y, so that everything stays in integers until
  // the one division.
  const long long cy2 = 2LL * y;
  for (std::size_t i = 0; i < n; ++i) {
    const POINT& a = points[i];
    const POINT& b = points[(i + 1) % n];
    const long long ax = Clamp(a.x), ay = Clamp(a.y), bx = Clamp(b.x), by = Clamp(b.y);
    if (ay == by) continue;
    const bool down = ay < by;
    const long long lo = down ? ay : by, hi = down ? by : ay;
    if (cy2 < 2 * lo || cy2 >= 2 * hi) continue;
    // x = ax + (cy - ay) * (bx - ax) / (by - ay), computed as one exact
    // quotient so that a centre on the edge compares equal.
    const long long num = 2 * ax * (by - ay) + (cy2 - 2 * ay) * (bx - ax);
    const long long den = 2 * (by - ay);
    crossings.push_back({static_cast<double>(num) / static_cast<double>(den), down ? 1 : -1});
  }
  std::sort(crossings.begin(), crossings.end(),
            [](const Crossing& p, const Crossing& q) { return p.x < q.x; });

  auto insideAt = [fillMode](int winding) {
    return fillMode == ALTERNATE ? (winding & 1) != 0 : winding != 0;
  };
  int winding = 0;
  double start = 0;
  // Crossings at the same x are taken together: two edges that meet there
  // and cancel (a bridge drawn out and back) leave no seam.
  for (std::size_t i = 0; i < crossings.size();) {
    const double x = crossings[i].x;
    const bool wasInside = insideAt(winding);
    for (; i < crossings.size() && crossings[i].x == x; ++i) {
      winding += fillMode == ALTERNATE ? 1 : crossings[i].direction;
    }
    const bool inside = insideAt(winding);
    if (!wasInside && inside) start = x;
    if (wasInside && !inside) {
      // Pixels whose left edge lies in [start, x).
      const long long x0 = std::max(left, static_cast<long long>(std::ceil(start)));
      const long long x1 = std::min(right, static_cast<long long>(std::ceil(x)));
      if (x0 < x1) out.push_back({y, static_cast<int>(x0), static_cast<int>(x1)});
    }
  }
}

GdiObject* FindRegion(HRGN region) {
  return HandleTable::Instance().Find(region, Kind::Region);
}

// Whether every edge that crosses row y is upright: then its crossings, and
// so its runs, stay the same down to the next row a vertex lies on.
bool OnlyUprightEdgesCross(const std::vector<POINT>& points, int y) {
  const std::size_t n = points.size();
  for (std::size_t i = 0; i < n; ++i) {
    const POINT& a = points[i];
    const POINT& b = points[(i + 1) % n];
    const long long ay = Clamp(a.y), by = Clamp(b.y);
    if (ay == by) continue;
    if (y < std::min(ay, by) || y >= std::max(ay, by)) continue;
    if (Clamp(a.x) != Clamp(b.x)) return false;
  }
  return true;
}

}  // namespace

// A window's outline is asked for at every size of a live resize, and most
// of its rows lie between the same upright edges: such a band is worked out
// once, for its first row.
std::vector<Span> RegionSpans(HRGN region, int width, int height) {
  std::vector<Span> spans;
  const GdiObject* object = FindRegion(region);
  if (!object) return spans;
  const std::vector<POINT>& points = object->points;
  std::vector<long long> vertexRows;
  for (const POINT& p : points) vertexRows.push_back(Clamp(p.y));
  std::sort(vertexRows.begin(), vertexRows.end());
  for (int y = 0; y < height;) {
    const std::size_t first = spans.size();
    RowSpans(points, object->fillMode, y, 0, width, spans);
    const auto next = std::upper_bound(vertexRows.begin(), vertexRows.end(), y);
    const int end =
        next == vertexRows.end() ? height : static_cast<int>(std::min<long long>(*next, height));
    if (end - y <= 1 || !OnlyUprightEdgesCross(points, y)) {
      ++y;
      continue;
    }
    const std::size_t last = spans.size();
    for (int row = y + 1; row < end; ++row) {
      for (std::size_t i = first; i < last; ++i) spans.push_back({row, spans[i].x0, spans[i].x1});
    }
    y = end;
  }
  return spans;
}

bool RegionContains(HRGN region, int x, int y) {
  const GdiObject* object = FindRegion(region);
  if (!object) return false;
  std::vector<Span> spans;
  RowSpans(object->points, object->fillMode, y, x, static_cast<long long>(x) + 1, spans);
  return !spans.empty();
}

std::vector<POINT> RegionPoints(HRGN region) {
  const GdiObject* object = FindRegion(region);
  return object ? object->points : std::vector<POINT>{};
}

}  // namespace gdi

HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode) {
  if (!pptl || cPoint < 2 || (iMode != WINDING && iMode != ALTERNATE)) return nullptr;
  gdi::GdiObject* region = nullptr;
  const auto handle = gdi::HandleTable::Instance().Create(gdi::Kind::Region, region);
  if (!region) return nullptr;
  region->points.assign(pptl, pptl + cPoint);
  region->fillMode = iMode;
  return reinterpret_cast<HRGN>(handle);
}
