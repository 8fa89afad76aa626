// A window's region as every desktop holds it. From SetWindowRgn on the
// desktop owns the region: it is deleted when another replaces it and when
// the window goes.
#pragma once

#include <utility>

#include "platform/win32.h"

namespace platform {

class OwnedRegion {
 public:
  OwnedRegion() = default;
  explicit OwnedRegion(HRGN region) : region_(region) {}
  ~OwnedRegion() { Reset(nullptr); }
  OwnedRegion(const OwnedRegion&) = delete;
  OwnedRegion& operator=(const OwnedRegion&) = delete;
  OwnedRegion(OwnedRegion&& other) noexcept : region_(std::exchange(other.region_, nullptr)) {}
  OwnedRegion& operator=(OwnedRegion&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.region_, nullptr));
    return *this;
  }

  // Takes the region over. The region held already, given again, stays.
  void Reset(HRGN region) {
    if (region_ != nullptr && region_ != region) DeleteObject(region_);
    region_ = region;
  }
  operator HRGN() const { return region_; }

 private:
  HRGN region_ = nullptr;
};

}  // namespace platform
