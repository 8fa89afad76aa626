#include "host/WebBrowser.h"

#include "host/Form.h"

namespace host {

void WebBrowser::Attach(platform::Desktop& desktop, HWND parent) {
  desktop_ = &desktop;
  view_ = desktop.CreateWebView(parent);
  OnBoundsChanged();
}

void WebBrowser::Navigate(const std::string& location) {
  if (desktop_) desktop_->Navigate(view_, location);
}

void WebBrowser::OnBoundsChanged() {
  if (!desktop_) return;
  desktop_->SetWebViewBounds(view_, RECT{PixelLeft(), PixelTop(), PixelLeft() + ScaleWidth(),
                                         PixelTop() + ScaleHeight()});
}

void WebBrowser::OnVisibleChanged() {
  if (desktop_ && Parent() && Parent()->Shown()) desktop_->ShowWebView(view_, Visible());
}

}  // namespace host
