#include "platform/gtk/ResizeTrace.h"

namespace platform::gtk {

std::optional<ResizeTrace::Size> ResizeTrace::Configured(Size size, std::int64_t nowUs) {
  if (last_ == size) return std::nullopt;
  last_ = size;
  std::optional<Size> skipped = waiting_;
  waiting_ = size;
  since_ = nowUs;
  return skipped;
}

std::optional<double> ResizeTrace::Painted(Size size, std::int64_t nowUs) {
  if (waiting_ != size) return std::nullopt;
  waiting_.reset();
  return static_cast<double>(nowUs - since_) / 1000.0;
}

}  // namespace platform::gtk
