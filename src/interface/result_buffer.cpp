#include "interface/result_buffer.h"

namespace gridseek {
namespace {

// The one piece of state that outlives a call. Constant-initialised, so
// loading the library allocates nothing; its destructor runs when the library
// is unloaded (dlclose, or DLL_PROCESS_DETACH through the runtime's exit list).
ByteSequence resultBytes;

}  // namespace

void HandBackResult(std::intptr_t* p, std::intptr_t* q, ByteSequence result) noexcept {
  resultBytes = std::move(result);
  *p = resultBytes.empty() ? 0 : reinterpret_cast<std::intptr_t>(resultBytes.data());
  *q = static_cast<std::intptr_t>(resultBytes.size());
}

}  // namespace gridseek
