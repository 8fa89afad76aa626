// The embedded web browser: a child control that the backend draws itself.
#pragma once

#include <string>
#include <vector>

#include "host/Control.h"

namespace host {

class WebBrowser : public Control {
 public:
  explicit WebBrowser(std::string name) : Control(std::move(name)) {}
  // Starts loading the location; the page loads after this returns.
  void Navigate(const std::string& location);
  bool IsNative() const override { return true; }
  platform::WebViewId View() const { return view_; }

 protected:
  void OnBoundsChanged() override;
  void OnVisibleChanged() override;

 private:
  friend class Form;
  void Attach(platform::Desktop& desktop, HWND parent);
  platform::Desktop* desktop_ = nullptr;
  platform::WebViewId view_ = 0;
};

}  // namespace host
