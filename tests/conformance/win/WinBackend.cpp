// The Win32 desktop as a conformance backend ("win"), in this process: the
// system's own windows (under Wine, on the display the run gives it). Input
// goes in through SendInput, as a person's would; the window manager's acts
// are the system menu's commands; what the screen shows is read back from
// the screen.
#include "platform/win/desktop/WinDesktop.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/win/Dib.h"
#include "platform/win/Utf16.h"
#include "tests/conformance/Backend.h"

namespace conformance {

namespace {

class WinBackend : public Backend {
 public:
  WinBackend() { platform::UseDesktop(&desktop_); }
  ~WinBackend() override { platform::UseDesktop(nullptr); }

  platform::Desktop& Desktop() override { return desktop_; }
  // The system is its own window manager: it iconifies, maximizes and keeps
  // windows above with no other program running.
  Traits Is() const override { return {}; }

  // The gesture is played at the release, from another thread and at a
  // person's pace: a move or sizing loop started by the press runs modally
  // on this thread, taking the rest of the gesture as it comes, and the
  // system routes each event by the capture in force when it arrives.
  void Press(int x, int y) override {
    gesture_.push_back({MOUSEEVENTF_MOVE, x, y});
    gesture_.push_back({MOUSEEVENTF_LEFTDOWN, x, y});
  }
  void MoveTo(int x, int y) override { gesture_.push_back({MOUSEEVENTF_MOVE, x, y}); }
  void Release(int x, int y) override {
    gesture_.push_back({MOUSEEVENTF_LEFTUP, x, y});
    // A press soon after the last one would make a double-click: the cases
    // give separate gestures.
    const ULONGLONG apart = lastPress_ + GetDoubleClickTime() + 50;
    if (GetTickCount64() < apart) Idle(static_cast<int>(apart - GetTickCount64()));
    std::atomic<bool> played = false;
    std::thread player([&, steps = std::move(gesture_)] {
      for (const Step& step : steps) {
        Send(step.flags, step.x, step.y);
        Sleep(40);
      }
      played = true;
    });
    gesture_.clear();
    Until([&] { return played.load(); }, 10000);
    player.join();
    lastPress_ = GetTickCount64();
    Idle(50);
  }
  bool Until(const std::function<bool()>& condition, int timeoutMs) override {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
      Pump();
      if (condition()) return true;
      if (GetTickCount64() >= end) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  void Idle(int ms) override {
    Until([] { return false; }, ms);
  }

  void UserMinimize(HWND hwnd) override { PostMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0); }
  void UserMaximize(HWND hwnd) override { PostMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0); }
  void UserClose(HWND hwnd) override { PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); }
  void UserMove(HWND hwnd, int x, int y) override {
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  RECT Placed(HWND hwnd) override {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
  }
  std::optional<std::uint32_t> PixelAt(int x, int y) override {
    // Nothing of ours there: outside the window, its region, or iconified.
    HWND under = WindowFromPoint(POINT{x, y});
    DWORD process = 0;
    if (under) GetWindowThreadProcessId(under, &process);
    if (process != GetCurrentProcessId()) return std::nullopt;
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    if (pixel == CLR_INVALID) return std::nullopt;
    return (GetRValue(pixel) << 16) | (GetGValue(pixel) << 8) | GetBValue(pixel);
  }
  bool KeptAbove(HWND hwnd) override {
    return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  }
  std::string Title(HWND hwnd) override {
    wchar_t text[256] = {};
    const int n = GetWindowTextW(hwnd, text, 256);
    return platform::win::Utf8(text, static_cast<std::size_t>(std::max(n, 0)));
  }
  bool ShowsIcon(HWND hwnd, int size, std::uint32_t pixel) override {
    auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return false;
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    BITMAPINFO header = platform::win::TopDownDib(bm.bmWidth, bm.bmHeight);
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(bm.bmWidth) *
                                    static_cast<std::size_t>(std::max<LONG>(bm.bmHeight, 1)));
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bm.bmHeight),
                               bits.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return rows == size && bm.bmWidth == size && bits[0] == pixel;
  }

 private:
  struct Step {
    DWORD flags;
    int x;
    int y;
  };

  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // Absolute coordinates over the primary monitor, 0 to 65535.
  static void Send(DWORD flags, int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((x * 65535 + w / 2) / std::max(w - 1, 1));
    input.mi.dy = static_cast<LONG>((y * 65535 + h / 2) / std::max(h - 1, 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
  }
  platform::win::WinDesktop desktop_;
  std::vector<Step> gesture_;
  ULONGLONG lastPress_ = 0;
};

const bool registered = Register("win", [] { return std::make_unique<WinBackend>(); });

}  // namespace
}  // namespace conformance
