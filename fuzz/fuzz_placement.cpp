// Arbitrary bytes as a stored placement value: reading never fails without
// saying why, never gives a negative size, and a placement written back as
// the store writes it reads the same.
// Code under test: app/FormPlacement.cpp
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/FormPlacement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string value(reinterpret_cast<const char*>(data), size);
  std::string error;
  const std::optional<app::Placement> placement = app::ParsePlacement(value, &error);
  if (!placement) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (placement->Height < 0 || placement->Width < 0) __builtin_trap();

  // The store writes seven significant digits, which hold every field a
  // window on a screen can have; beyond them the written value is rounded.
  const int fields[] = {placement->Top, placement->Left, placement->Height, placement->Width};
  for (int field : fields) {
    if (std::abs(static_cast<long long>(field)) >= 10000000) return 0;
  }
  const std::string written = app::FormatSingle(static_cast<float>(placement->Top)) + "," +
                              app::FormatSingle(static_cast<float>(placement->Left)) + "," +
                              app::FormatSingle(static_cast<float>(placement->Height)) + "," +
                              app::FormatSingle(static_cast<float>(placement->Width));
  const std::optional<app::Placement> again = app::ParsePlacement(written);
  if (!again || again->Top != placement->Top || again->Left != placement->Left ||
      again->Height != placement->Height || again->Width != placement->Width) {
    __builtin_trap();
  }
  return 0;
}
