// The top-level windows of one desktop, under their handles. Handles count
// up from FirstMintedHandle, so that none is 0 and none is given twice in a
// run: a handle the host kept after the window went names nothing.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/win32.h"

namespace platform {

// Above 32 bits, where no handle of the system's own windows lies (Windows
// keeps window handles to 32 significant bits, sign-extended), so that the
// windows of a desktop without real ones can be told apart there.
constexpr std::intptr_t FirstMintedHandle =
    sizeof(std::intptr_t) > 4 ? static_cast<std::intptr_t>(std::int64_t{1} << 32) : 0x100;

inline bool IsMintedHandle(HWND hwnd) {
  return reinterpret_cast<std::intptr_t>(hwnd) >= FirstMintedHandle;
}

template <class Window>
class WindowTable {
 public:
  HWND Add(std::unique_ptr<Window> window) {
    const std::intptr_t id = next_++;
    windows_[id] = std::move(window);
    return reinterpret_cast<HWND>(id);
  }
  // Null for a handle that names no window.
  Window* Get(HWND hwnd) const {
    auto it = windows_.find(reinterpret_cast<std::intptr_t>(hwnd));
    return it == windows_.end() ? nullptr : it->second.get();
  }
  // Ends the window and what it owns (its region).
  void Remove(HWND hwnd) { windows_.erase(reinterpret_cast<std::intptr_t>(hwnd)); }
  bool Empty() const { return windows_.empty(); }
  // The oldest window, or null.
  Window* First() const { return windows_.empty() ? nullptr : windows_.begin()->second.get(); }
  // Handles in the order the windows were made.
  std::vector<HWND> Handles() const {
    std::vector<HWND> handles;
    for (const auto& [id, window] : windows_) handles.push_back(reinterpret_cast<HWND>(id));
    return handles;
  }

 private:
  std::map<std::intptr_t, std::unique_ptr<Window>> windows_;
  std::intptr_t next_ = FirstMintedHandle;
};

}  // namespace platform
