#include "common/out_of_storage.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace gridseek {

void OutOfStorage(std::uint64_t bytesRequested) noexcept {
  char text[128];
  std::snprintf(text, sizeof text, "gridseek: out of memory: %" PRIu64 " bytes requested",
                bytesRequested);
#if defined(_WIN32)
  MessageBoxA(nullptr, text, "gridseek", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(static_cast<UINT>(-1));
#else
  std::fprintf(stderr, "%s\n", text);
  std::fflush(stderr);
  // _Exit, not exit: the host's atexit handlers and static destructors may
  // themselves need storage that is no longer there.
  std::_Exit(-1);
#endif
}

}  // namespace gridseek
