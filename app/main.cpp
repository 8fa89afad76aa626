// The program: one main window on the platform's desktop; closing it ends
// the program.
#include <exception>
#include <iostream>
#include <memory>

#include "app/AppIcon.h"
#include "app/TestOCX_new.h"
#include "host/Control.h"
#include "platform/NativeDesktop.h"

int main(int argc, char** argv) {
  try {
    std::unique_ptr<platform::Desktop> desktop = platform::CreateNativeDesktop(argc, argv);
    if (!desktop) return 1;
    // The icon's images are drawn while the window and its web views are
    // made. Drawn while the display was opened, they took a core from the X
    // server and this thread.
    app::StartDrawingAppIcon();
    TestOCX_new::StartPreparingText(desktop->Scale(nullptr));
    platform::UseDesktop(desktop.get());
    int status = 0;
    {
      TestOCX_new window(*desktop);
      window.Show();
      status = desktop->Run();
    }
    platform::UseDesktop(nullptr);
    return status;
  } catch (const host::Error& error) {
    std::cerr << "skinshell: " << error.what() << "\n";
  } catch (const std::exception& error) {
    std::cerr << "skinshell: unexpected error: " << error.what() << "\n";
  }
  return 1;
}
