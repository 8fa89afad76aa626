#include "platform/headless/HeadlessDesktop.h"

#include <algorithm>

#include "platform/MonitorShowing.h"
#include "platform/gdi/Gdi.h"

namespace platform {

namespace {

int WidthOf(const RECT& r) { return r.right - r.left; }
int HeightOf(const RECT& r) { return r.bottom - r.top; }

bool Contains(const RECT& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

HeadlessDesktop::HeadlessDesktop(int screenWidth, int screenHeight)
    : screenWidth_(screenWidth), screenHeight_(screenHeight) {
  monitors_.push_back(RECT{0, 0, screenWidth, screenHeight});
}

HeadlessDesktop::~HeadlessDesktop() = default;

void HeadlessDesktop::SetScreen(int width, int height) {
  screenWidth_ = width;
  screenHeight_ = height;
  monitors_.assign(1, RECT{0, 0, width, height});
}

void HeadlessDesktop::SetMonitors(const std::vector<RECT>& monitors) { monitors_ = monitors; }

void HeadlessDesktop::SetWorkArea(const RECT& area) {
  workArea_ = area;
  workAreaSet_ = true;
}

void HeadlessDesktop::QueueMove(int x, int y) { input_.push_back({PointerKind::Move, 0, x, y}); }
void HeadlessDesktop::QueuePress(int x, int y, int button) {
  input_.push_back({PointerKind::Down, button, x, y});
}
void HeadlessDesktop::QueueRelease(int x, int y, int button) {
  input_.push_back({PointerKind::Up, button, x, y});
}
void HeadlessDesktop::QueueDoubleClick(int x, int y, int button) {
  input_.push_back({PointerKind::DoubleClick, button, x, y});
  input_.push_back({PointerKind::Up, button, x, y});
}
void HeadlessDesktop::QueueClick(int x, int y, int button) {
  QueueMove(x, y);
  QueuePress(x, y, button);
  QueueRelease(x, y, button);
}
void HeadlessDesktop::QueueDrag(int x0, int y0, int x1, int y1, int steps) {
  QueueMove(x0, y0);
  QueuePress(x0, y0);
  steps = std::max(steps, 1);
  for (int i = 1; i <= steps; ++i) {
    QueueMove(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
  }
  QueueRelease(x1, y1);
}

void HeadlessDesktop::Record(std::string call) {
  // Benchmarks and previews run for long: keep the recent part of the log.
  constexpr std::size_t Kept = 1024;
  if (calls_.size() >= 2 * Kept) calls_.erase(calls_.begin(), calls_.end() - Kept);
  calls_.push_back(std::move(call));
}

void HeadlessDesktop::Pump() {
  while (!input_.empty()) {
    Input input = input_.front();
    input_.pop_front();
    Deliver(input);
  }
}

HeadlessDesktop::Window* HeadlessDesktop::Get(HWND hwnd) { return windows_.Get(hwnd); }

const HeadlessDesktop::Window* HeadlessDesktop::Find(HWND hwnd) const { return windows_.Get(hwnd); }

std::optional<HeadlessDesktop::WebView> HeadlessDesktop::FindWebView(WebViewId view) const {
  const WebViewEntry* entry = WebViews().Find(view);
  if (!entry) return std::nullopt;
  WebView found{*entry, {}};
  if (auto it = locations_.find(view); it != locations_.end()) found.locations = it->second;
  return found;
}

std::vector<HWND> HeadlessDesktop::Windows() const { return windows_.Handles(); }

HWND HeadlessDesktop::WindowAt(int x, int y) const {
  // Topmost windows first, then the newest: the stacking a window manager
  // would show.
  HWND found = nullptr;
  bool foundTopmost = false;
  for (HWND hwnd : windows_.Handles()) {
    const Window& window = *windows_.Get(hwnd);
    if (!window.visible || window.state == 1 || !Contains(window.bounds, x, y)) continue;
    if (window.region &&
        !gdi::RegionContains(window.region, x - window.bounds.left, y - window.bounds.top)) {
      continue;
    }
    if (!found || window.topmost || !foundTopmost) {
      found = hwnd;
      foundTopmost = window.topmost;
    }
  }
  return found;
}

void HeadlessDesktop::Deliver(const Input& input) {
  pointerX_ = input.x;
  pointerY_ = input.y;
  HWND target = capture_ ? capture_ : WindowAt(input.x, input.y);
  if (input.kind == PointerKind::Down || input.kind == PointerKind::DoubleClick) {
    buttons_ |= input.button;
    capture_ = target;
  } else if (input.kind == PointerKind::Up) {
    buttons_ &= ~input.button;
  }
  Window* window = target ? Get(target) : nullptr;
  if (window && window->sink) {
    PointerEvent event;
    event.kind = input.kind;
    event.button = input.kind == PointerKind::Move ? buttons_ : input.button;
    event.x = input.x - window->bounds.left;
    event.y = input.y - window->bounds.top;
    window->sink->OnPointer(event);
  }
  if (buttons_ == 0) capture_ = nullptr;
}

void HeadlessDesktop::BeginMoveSizeImpl(HWND hwnd, WPARAM hitCode) {
  Record("BeginMoveSize " + std::to_string(hitCode));
  // A loop starts only from a press under way.
  if (buttons_ == 0) return;
  RunLoop(hwnd, hitCode);
}

void HeadlessDesktop::RunLoop(HWND hwnd, WPARAM hitCode) {
  Window* window = Get(hwnd);
  // The loop owns the pointer now: the press no longer belongs to a control.
  capture_ = nullptr;
  if (window->sink) window->sink->OnCaptureReleased();
  const int startX = pointerX_;
  const int startY = pointerY_;
  const RECT start = window->bounds;
  while (!input_.empty()) {
    Input input = input_.front();
    input_.pop_front();
    pointerX_ = input.x;
    pointerY_ = input.y;
    if (input.kind == PointerKind::Up) break;
    if (input.kind != PointerKind::Move) continue;
    window = Get(hwnd);
    if (!window) return;
    const int dx = input.x - startX;
    const int dy = input.y - startY;
    const int minW = std::max(window->minWidth, 1);
    const int minH = std::max(window->minHeight, 1);
    RECT next = start;
    switch (hitCode) {
      case HTCAPTION:
        next = RECT{start.left + dx, start.top + dy, start.right + dx, start.bottom + dy};
        break;
      case HTLEFT:
        next.left = std::min(start.left + dx, start.right - minW);
        break;
      case HTRIGHT:
        next.right = std::max(start.right + dx, start.left + minW);
        break;
      case HTBOTTOM:
        next.bottom = std::max(start.bottom + dy, start.top + minH);
        break;
      case HTBOTTOMLEFT:
        next.left = std::min(start.left + dx, start.right - minW);
        next.bottom = std::max(start.bottom + dy, start.top + minH);
        break;
      case HTBOTTOMRIGHT:
        next.right = std::max(start.right + dx, start.left + minW);
        next.bottom = std::max(start.bottom + dy, start.top + minH);
        break;
      default:
        return;
    }
    const RECT& now = window->bounds;
    if (next.left == now.left && next.top == now.top && next.right == now.right &&
        next.bottom == now.bottom) {
      continue;
    }
    window->bounds = next;
    if (window->sink) {
      window->sink->OnBoundsChanged(next.left, next.top, WidthOf(next), HeightOf(next));
    }
  }
  buttons_ = 0;
  capture_ = nullptr;
}

void HeadlessDesktop::ReleaseCaptureImpl() {
  Record("ReleaseCapture");
  HWND holder = capture_;
  capture_ = nullptr;
  if (Window* window = holder ? Get(holder) : nullptr; window && window->sink) {
    window->sink->OnCaptureReleased();
  }
}

void HeadlessDesktop::UserMinimize(HWND hwnd) {
  Window* window = Get(hwnd);
  if (!window || !window->sink) return;
  window->state = 1;
  window->sink->OnStateChanged(1, window->bounds);
}

void HeadlessDesktop::UserRestore(HWND hwnd) {
  Window* window = Get(hwnd);
  if (!window || !window->sink) return;
  window->state = 0;
  window->sink->OnStateChanged(0, window->bounds);
}

void HeadlessDesktop::UserMaximize(HWND hwnd) {
  Window* window = Get(hwnd);
  if (!window || !window->sink) return;
  RECT area{};
  if (!QueryWorkArea(MonitorShowing(monitors_, window->bounds), area)) {
    area = monitors_.empty() ? RECT{} : monitors_.front();
  }
  window->state = 2;
  window->bounds = area;
  window->sink->OnStateChanged(2, area);
}

void HeadlessDesktop::UserResize(HWND hwnd, const RECT& bounds) {
  Window* window = Get(hwnd);
  if (!window || !window->sink) return;
  RECT next = bounds;
  next.right = std::max(next.right, next.left + window->minWidth);
  next.bottom = std::max(next.bottom, next.top + window->minHeight);
  window->bounds = next;
  window->sink->OnBoundsChanged(next.left, next.top, WidthOf(next), HeightOf(next));
}

void HeadlessDesktop::UserClose(HWND hwnd) {
  Window* window = Get(hwnd);
  if (window && window->sink) window->sink->OnCloseRequested();
}

HWND HeadlessDesktop::CreateTopLevelImpl(WindowSink& sink, const RECT& bounds) {
  auto window = std::make_unique<Window>();
  window->sink = &sink;
  window->bounds = bounds;
  return windows_.Add(std::move(window));
}

void HeadlessDesktop::DestroyTopLevelImpl(HWND hwnd) {
  if (capture_ == hwnd) capture_ = nullptr;
  windows_.Remove(hwnd);
}

void HeadlessDesktop::SetBoundsImpl(HWND hwnd, const RECT& bounds) {
  ++boundsRequests_;
  Get(hwnd)->bounds = bounds;
}

void HeadlessDesktop::ShowImpl(HWND hwnd, bool visible) { Get(hwnd)->visible = visible; }

void HeadlessDesktop::SetStateImpl(HWND hwnd, int windowState) {
  Record("SetState " + std::to_string(windowState));
  Get(hwnd)->state = windowState;
}

void HeadlessDesktop::SetTitleImpl(HWND hwnd, const std::string& utf8) { Get(hwnd)->title = utf8; }

void HeadlessDesktop::SetIconImpl(HWND hwnd, const std::vector<IconImage>& images) {
  Get(hwnd)->icon = images;
}

void HeadlessDesktop::SetMinimumSizeImpl(HWND hwnd, int width, int height) {
  Window* window = Get(hwnd);
  window->minWidth = width;
  window->minHeight = height;
}

void HeadlessDesktop::SetCursorImpl(HWND hwnd, Cursor cursor) { Get(hwnd)->cursor = cursor; }

void HeadlessDesktop::InvalidateImpl(HWND) { ++invalidations_; }

bool HeadlessDesktop::SetRegionImpl(HWND hwnd, HRGN region) {
  Record(region ? "SetWindowRgn region" : "SetWindowRgn none");
  Get(hwnd)->region.Reset(region);
  return true;
}

void HeadlessDesktop::SetTopmostImpl(HWND hwnd, bool topmost) {
  Record(topmost ? "SetWindowPos topmost" : "SetWindowPos notopmost");
  Get(hwnd)->topmost = topmost;
}

RECT HeadlessDesktop::PlacedImpl(HWND hwnd) { return Get(hwnd)->bounds; }

bool HeadlessDesktop::WorkAreaImpl(int monitor, RECT& area) {
  Record("WorkArea");
  return QueryWorkArea(monitor, area);
}

bool HeadlessDesktop::QueryWorkArea(int monitor, RECT& area) {
  if (failWorkArea_) return false;
  if (workAreaSet_) {
    area = workArea_;
    return true;
  }
  if (monitors_.empty()) return false;
  // For no window (-1) the primary monitor's, the first one.
  area = monitors_[monitor >= 0 && static_cast<std::size_t>(monitor) < monitors_.size()
                       ? static_cast<std::size_t>(monitor)
                       : 0];
  return true;
}

bool HeadlessDesktop::CreateWebViewImpl(WebViewId, HWND) { return true; }

void HeadlessDesktop::DestroyWebViewImpl(WebViewId view) { locations_.erase(view); }

void HeadlessDesktop::NavigateImpl(WebViewId view, const std::string& location) {
  locations_[view].push_back(location);
}

int HeadlessDesktop::RunImpl() {
  Pump();
  return status_;
}

void HeadlessDesktop::QuitImpl(int status) {
  quit_ = true;
  status_ = status;
}

gdi::Surface HeadlessDesktop::Capture(HWND hwnd) {
  Window* window = Get(hwnd);
  if (!window) return {};
  gdi::Surface pixels(WidthOf(window->bounds), HeightOf(window->bounds));
  if (window->sink) window->sink->Render(pixels);
  for (WebViewId id : WebViews().Of(hwnd)) {
    const WebViewEntry& view = *WebViews().Find(id);
    if (!view.visible) continue;
    gdi::FillRect(pixels, view.bounds.left, view.bounds.top, WidthOf(view.bounds),
                  HeightOf(view.bounds), WebViewPlaceholder);
  }
  if (window->region) {
    std::vector<gdi::Span> spans = gdi::RegionSpans(window->region, pixels.width, pixels.height);
    gdi::Surface shaped(pixels.width, pixels.height, 0);
    for (const gdi::Span& span : spans) {
      gdi::CopyRect(shaped, span.x0, span.y, span.x1 - span.x0, 1, pixels, span.x0, span.y);
    }
    return shaped;
  }
  return pixels;
}

bool HeadlessDesktop::Screenshot(HWND hwnd, const std::string& pngPath) {
  gdi::Surface pixels = Capture(hwnd);
  return pixels.width > 0 && pixels.height > 0 && gdi::WritePng(pixels, pngPath);
}

}  // namespace platform

