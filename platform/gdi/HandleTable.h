// The process-wide table behind every GDI handle. Internal to platform/gdi:
// the rest of the program sees handles and the functions of win32.h and
// Gdi.h only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace gdi {

enum class DcType { Screen, Memory, Target };

struct GdiObject {
  Kind kind = Kind::DC;
  bool live = false;
  // The handle value this slot answers to now; stale handles carry an older
  // generation and so never match.
  std::uintptr_t handle = 0;

  // Device contexts. `surface` caches where the DC draws, so that a blit
  // resolves a DC with one lookup.
  DcType dcType = DcType::Screen;
  HBITMAP selected = nullptr;
  Surface* surface = nullptr;

  // Bitmaps.
  Surface pixels;
  HDC selectedInto = nullptr;
  bool stock = false;

  // Regions.
  std::vector<POINT> points;
  int fillMode = WINDING;
};

// Handles are index + 1 in the low bits and the slot's generation above,
// so 0 is never a live handle and a handle of a deleted object fails
// safely even after its slot has been reused. Everything runs on the
// user-interface thread, so there is no locking.
class HandleTable {
 public:
  static HandleTable& Instance();

  // A new live object of the kind, and its handle.
  std::uintptr_t Create(Kind kind, GdiObject*& object);
  void Destroy(std::uintptr_t handle);

  // The live object of that kind behind the handle, or null for 0, garbage,
  // a stale handle or a handle of another kind.
  GdiObject* Find(const void* handle, Kind kind) {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    const std::uintptr_t index = (value & IndexMask) - 1;
    if (index >= slots_.size()) return nullptr;
    GdiObject* object = slots_[index].get();
    if (object->handle != value || !object->live || object->kind != kind) return nullptr;
    return object;
  }

  // The shared 1x1 bitmap that every new memory DC starts with. Not
  // counted, never deleted, and selectable into any number of DCs.
  HBITMAP StockBitmap() const { return stockBitmap_; }

  int Live(Kind kind) const { return live_[static_cast<int>(kind)]; }

 private:
  static constexpr int IndexBits = 24;
  static constexpr std::uintptr_t IndexMask = (std::uintptr_t{1} << IndexBits) - 1;

  HandleTable();

  std::vector<std::unique_ptr<GdiObject>> slots_;
  std::vector<std::uint32_t> generations_;
  std::vector<std::size_t> freeSlots_;
  int live_[3] = {0, 0, 0};
  HBITMAP stockBitmap_ = nullptr;
};

}  // namespace gdi
