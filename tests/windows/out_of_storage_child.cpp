// Child process of the host test: loads gridseek.dll and hands it an image
// count that no 32-bit process can copy, so the library must show its
// message and end the process with exit code -1.
//
//   out_of_storage_child record   MessageBoxA of the DLL replaced by a
//                                 recorder that prints text and style
//   out_of_storage_child plain    the real MessageBoxA
// "returned" on the output means the call came back, which it must not.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

using OreFn = void(__stdcall*)(std::intptr_t*, std::intptr_t*, std::int32_t, std::int32_t);

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const UINT modality = type & MB_MODEMASK;
  std::printf("message box: owner %p, caption \"%s\", text \"%s\", %s\n", static_cast<void*>(owner),
              caption != nullptr ? caption : "", text != nullptr ? text : "",
              modality == MB_TASKMODAL || modality == MB_SYSTEMMODAL || owner != nullptr ? "modal"
                                                                                   : "not task-modal");
  std::fflush(stdout);
  return IDOK;
}

// Points the module's import of user32!MessageBoxA at the recorder.
bool ReplaceMessageBox(HMODULE module) {
  auto* base = reinterpret_cast<std::uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name != 0; ++imp) {
    if (_stricmp(reinterpret_cast<const char*>(base + imp->Name), "user32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + imp->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if ((names->u1.Ordinal & IMAGE_ORDINAL_FLAG32) != 0) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "MessageBoxA") != 0) continue;
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      slots->u1.Function = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(&RecordMessageBox));
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const bool record = argc > 1 && std::strcmp(argv[1], "record") == 0;
  HMODULE dll = LoadLibraryA(GRIDSEEK_DLL_PATH);
  if (dll == nullptr) {
    std::printf("LoadLibrary failed\n");
    return 2;
  }
  if (record && !ReplaceMessageBox(dll)) {
    std::printf("no MessageBoxA import to replace\n");
    return 3;
  }
  const auto ore = reinterpret_cast<OreFn>(reinterpret_cast<void*>(GetProcAddress(dll, "\xD1\xB0\xBF\xF3")));
  if (ore == nullptr) {
    std::printf("export missing\n");
    return 4;
  }
  // The count is the largest positive 32-bit value; the address is real but
  // short, and is never read because no copy of that size can be had.
  static const std::uint8_t image[16] = {'B', 'M'};
  std::intptr_t p = reinterpret_cast<std::intptr_t>(image);
  std::intptr_t q = 0x7FFFFFFF;
  std::fflush(stdout);
  ore(&p, &q, 0, 0);
  std::printf("returned: p %ld q %ld\n", static_cast<long>(p), static_cast<long>(q));
  return 0;
}
