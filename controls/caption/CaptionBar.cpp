#include "controls/caption/CaptionBar.h"

#include <string>
#include <utility>

#include "controls/caption/CaptionGeometry.h"
#include "controls/caption/CompositionStep.h"
#include "host/Control.h"
#include "skin/SkinFile.h"

namespace caption {

namespace {

void LoadPicture(const host::PropertyBag& skin, clsBitmap* surface, const char* key) {
  if (!surface) throw host::Error(std::string("no surface for ") + key);
  surface->LoadResource(skin::Picture(skin, key));
}

void Blit(HDC target, const clsBitmap* surface, std::int32_t x) {
  if (!surface || !surface->hdc()) return;  // an empty piece draws nothing
  BitBlt(target, x, 0, surface->Width(), surface->Height(), surface->hdc(), 0, 0, SRCCOPY);
}

}  // namespace

CaptionBar::CaptionBar() = default;
CaptionBar::~CaptionBar() = default;

void CaptionBar::NewPieces() {
  left_ = std::make_unique<clsBitmap>();
  middle_ = std::make_unique<clsBitmap>();
  right_ = std::make_unique<clsBitmap>();
}

void CaptionBar::LoadPieces(const host::PropertyBag& skin) {
  Step(true, [&] { LoadPicture(skin, left_.get(), "TOPLEFT"); });
  Step(true, [&] { LoadPicture(skin, middle_.get(), "TOPMID"); });
  Step(true, [&] { LoadPicture(skin, right_.get(), "TOPRIGHT"); });
}

void CaptionBar::ReleasePieces() {
  left_.reset();
  middle_.reset();
  right_.reset();
}

void CaptionBar::ReadLayout(const host::PropertyBag& skin) {
  for (const auto& entry :
       {std::pair{"XOFFSET", &layout_.XOFFSET}, std::pair{"XOFFSET2", &layout_.XOFFSET2},
        std::pair{"YOFFSET", &layout_.YOFFSET}, std::pair{"FROMRIGHT", &layout_.FROMRIGHT},
        std::pair{"FROMTOP", &layout_.FROMTOP}, std::pair{"ICONSPACE", &layout_.ICONSPACE}}) {
    Step(true, [&] {
      if (const auto number = skin::Number(skin, entry.first)) *entry.second = *number;
    });
  }
}

std::int32_t CaptionBar::Height() const {
  if (!left_) throw host::Error("no left piece");
  return left_->Height();
}

void CaptionBar::Draw(HDC target, double barWidth) const {
  // Setting the bar's height re-enters the composition, whose nested pass
  // replaces and releases the pieces; each step looks them up afresh.
  Step(true, [&] {
    const clsBitmap* mid = middle_.get();
    if (!mid || !mid->hdc()) return;
    const std::int32_t tiles = TileCount(barWidth, mid->Width());
    for (std::int32_t i = 0; i < tiles; ++i) Blit(target, mid, i * mid->Width());
  });
  Step(true, [&] { Blit(target, left_.get(), 0); });
  Step(true, [&] {
    if (right_) Blit(target, right_.get(), RightPieceLeft(barWidth, right_->Width()));
  });
}

}  // namespace caption
