#include "platform/gtk/ShapeRectangles.h"

#include <algorithm>

namespace platform::gtk {

namespace {

struct Row {
  int y;
  std::vector<std::pair<int, int>> runs;  // x0, x1 (exclusive)
};

std::vector<Row> Rows(const std::vector<gdi::Span>& spans) {
  std::vector<gdi::Span> sorted = spans;
  std::sort(sorted.begin(), sorted.end(), [](const gdi::Span& a, const gdi::Span& b) {
    return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
  });
  std::vector<Row> rows;
  for (const gdi::Span& span : sorted) {
    if (span.x1 <= span.x0) continue;
    if (rows.empty() || rows.back().y != span.y) rows.push_back({span.y, {}});
    auto& runs = rows.back().runs;
    // Overlapping or touching spans of one row become one run.
    if (!runs.empty() && span.x0 <= runs.back().second) {
      runs.back().second = std::max(runs.back().second, span.x1);
    } else {
      runs.emplace_back(span.x0, span.x1);
    }
  }
  return rows;
}

}  // namespace

std::vector<ShapeRect> ShapeRectangles(const std::vector<gdi::Span>& spans, int scale) {
  std::vector<ShapeRect> result;
  std::vector<Row> rows = Rows(spans);
  std::size_t bandStart = 0;  // index in result of the current band's first rectangle
  const Row* previous = nullptr;
  for (const Row& row : rows) {
    bool extends = previous != nullptr && previous->y + 1 == row.y && previous->runs == row.runs;
    if (extends) {
      for (std::size_t i = bandStart; i < result.size(); ++i) ++result[i].height;
    } else {
      bandStart = result.size();
      for (const auto& [x0, x1] : row.runs) result.push_back({x0, row.y, x1 - x0, 1});
    }
    previous = &row;
  }
  if (scale > 1) {
    for (ShapeRect& r : result) r = {r.x * scale, r.y * scale, r.width * scale, r.height * scale};
  }
  return result;
}

}  // namespace platform::gtk
