#include "platform/gdi/HandleTable.h"

namespace gdi {

HandleTable& HandleTable::Instance() {
  // Never destroyed: surfaces held by static objects may still give their
  // handles back while the process exits.
  static HandleTable* table = new HandleTable();
  return *table;
}

HandleTable::HandleTable() {
  GdiObject* stock = nullptr;
  stockBitmap_ = reinterpret_cast<HBITMAP>(Create(Kind::Bitmap, stock));
  stock->pixels = Surface(1, 1, 0xFF000000u);
  stock->stock = true;
  --live_[static_cast<int>(Kind::Bitmap)];
}

std::uintptr_t HandleTable::Create(Kind kind, GdiObject*& object) {
  std::size_t index;
  if (!freeSlots_.empty()) {
    index = freeSlots_.back();
    freeSlots_.pop_back();
  } else {
    if (slots_.size() >= IndexMask) {
      object = nullptr;
      return 0;
    }
    index = slots_.size();
    slots_.push_back(std::make_unique<GdiObject>());
    generations_.push_back(1);
  }
  object = slots_[index].get();
  *object = GdiObject{};
  object->kind = kind;
  object->live = true;
  object->handle = (static_cast<std::uintptr_t>(generations_[index]) << IndexBits) | (index + 1);
  ++live_[static_cast<int>(kind)];
  return object->handle;
}

void HandleTable::Destroy(std::uintptr_t handle) {
  const std::uintptr_t index = (handle & IndexMask) - 1;
  if (index >= slots_.size()) return;
  GdiObject* object = slots_[index].get();
  if (!object->live || object->handle != handle) return;
  --live_[static_cast<int>(object->kind)];
  // Drop the pixels now rather than when the slot is reused.
  *object = GdiObject{};
  ++generations_[index];
  freeSlots_.push_back(index);
}

}  // namespace gdi
