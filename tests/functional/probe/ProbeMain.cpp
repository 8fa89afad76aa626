// A small program on the GTK desktop for the backend's functional tests: one
// form filled by one control that writes every event it gets to standard
// output, one line each. A press in the right quarter starts the move loop,
// in the bottom strip the sizing loop from the bottom-right corner; a right
// click prints the form's bounds as the host holds them. The window's top-
// left corner is cut off by a region, and the window is kept above.
#include <cstdio>
#include <memory>

#include "host/Control.h"
#include "host/Form.h"
#include "platform/NativeDesktop.h"
#include "platform/win32.h"

namespace {

void Print(const char* format, auto... args) {
  std::printf(format, args...);
  std::printf("\n");
  std::fflush(stdout);
}

class Pad : public host::Control {
 public:
  Pad() : Control("Pad") {}
  void UserControl_Resize() override {
    BackColor(0x00336699);
    Print("Resize %d %d", ScaleWidth(), ScaleHeight());
  }
  void UserControl_MouseDown(int Button, int Shift, float X, float Y) override {
    Print("Down %d %d %d %d", Button, Shift, static_cast<int>(X), static_cast<int>(Y));
    if (Button != 1) return;
    if (X >= ScaleWidth() * 3 / 4) {
      SendMessageA(Parent()->hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    } else if (Y >= ScaleHeight() - 20) {
      SendMessageA(Parent()->hwnd(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, 0);
    }
  }
  void UserControl_MouseMove(int Button, int, float X, float Y) override {
    if (Button != 0) Print("Move %d %d %d", Button, static_cast<int>(X), static_cast<int>(Y));
  }
  void UserControl_MouseUp(int Button, int, float X, float Y) override {
    Print("Up %d %d %d", Button, static_cast<int>(X), static_cast<int>(Y));
    if (Button == 2) {
      host::Form& form = *Parent();
      Print("Bounds %d %d %d %d", form.Left() / 15, form.Top() / 15, form.Width() / 15,
            form.Height() / 15);
    }
  }
  void UserControl_Click() override {
    Print("Click");
    RECT area{};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
      Print("WorkArea %d %d %d %d", area.left, area.top, area.right, area.bottom);
    }
  }
  void UserControl_DblClick() override { Print("DblClick"); }
};

class ProbeForm : public host::Form {
 public:
  explicit ProbeForm(platform::Desktop& desktop) : Form(desktop, "Probe") {
    pad_ = &Add(std::make_unique<Pad>());
  }
  void Form_Load() override {
    Caption("Probe");
    Move(100 * 15, 100 * 15, 400 * 15, 300 * 15);
    MinimumSize(200 * 15, 150 * 15);
  }
  void Form_Resize() override {
    if (pad_ != nullptr) pad_->Move(0, 0, Width(), Height());
    POINT outline[] = {
        {40, 0}, {Width() / 15, 0}, {Width() / 15, Height() / 15}, {0, Height() / 15}, {0, 40}};
    SetWindowRgn(hwnd(), CreatePolygonRgn(outline, 5, WINDING), TRUE);
  }
  void Form_Unload(int&) override { Print("Unload"); }

 private:
  Pad* pad_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<platform::Desktop> desktop = platform::CreateNativeDesktop(argc, argv);
  if (!desktop) return 1;
  platform::UseDesktop(desktop.get());
  int status = 0;
  {
    ProbeForm form(*desktop);
    form.Show();
    SetWindowPos(form.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RECT area{};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
      Print("WorkArea %d %d %d %d", area.left, area.top, area.right, area.bottom);
    }
    status = desktop->Run();
  }
  platform::UseDesktop(nullptr);
  return status;
}
