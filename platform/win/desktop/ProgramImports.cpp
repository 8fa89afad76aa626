#include "platform/win/desktop/ProgramImports.h"

#include "platform/Desktop.h"

namespace platform::win {

namespace {

using SystemParametersFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
SystemParametersFunction systemParameters = nullptr;

BOOL WINAPI LogicalSystemParametersInfoA(UINT action, UINT param, PVOID value, UINT ini) {
  if (action == SPI_GETWORKAREA && value) {
    RECT area{};
    if (Desktop* desktop = CurrentDesktop(); desktop && desktop->WorkArea(nullptr, area)) {
      *static_cast<RECT*>(value) = area;
      return TRUE;
    }
  }
  return systemParameters(action, param, value, ini);
}

}  // namespace

void TakeOverProgramImports() {
  systemParameters = reinterpret_cast<SystemParametersFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoA")));
  if (!systemParameters) return;
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return;
  // The slots the loader filled hold the system's addresses; the one that
  // holds this function's is the program's import of it.
  for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       module->Name != 0; ++module) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
         slot->u1.Function != 0; ++slot) {
      if (slot->u1.Function != reinterpret_cast<ULONG_PTR>(systemParameters)) continue;
      DWORD protection = 0;
      if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE,
                          &protection)) {
        continue;
      }
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(&LogicalSystemParametersInfoA);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
    }
  }
}

}  // namespace platform::win
