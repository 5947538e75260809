// The library's whole outer surface: two entry points that hand their
// arguments, unchanged, to their searches.
#include <cstdint>

#define GRIDSEEK_API __attribute__((visibility("default")))
#if defined(_WIN32)
#undef GRIDSEEK_API
#define GRIDSEEK_API
#endif
#include "gridseek.h"

#include "search/ore_search.h"
#include "search/path_search.h"

extern "C" {

GRIDSEEK_API void GRIDSEEK_CALL 寻路(intptr_t* p, intptr_t* q, int32_t startX, int32_t startY,
                                       int32_t goalX, int32_t goalY) {
  if (p == nullptr || q == nullptr) return;
  gridseek::RunPathSearch(p, q, startX, startY, goalX, goalY);
}

GRIDSEEK_API void GRIDSEEK_CALL 寻矿(intptr_t* p, intptr_t* q, int32_t x, int32_t y) {
  if (p == nullptr || q == nullptr) return;
  gridseek::RunOreSearch(p, q, x, y);
}

}  // extern "C"
