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
    // The icon's images need no display: they are drawn while the desktop
    // opens it.
    app::StartDrawingAppIcon();
    std::unique_ptr<platform::Desktop> desktop = platform::CreateNativeDesktop(argc, argv);
    if (!desktop) return 1;
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
