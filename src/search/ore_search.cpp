#include "search/ore_search.h"

#include "bitmap/bitmap.h"
#include "interface/caller_image.h"
#include "interface/result_buffer.h"

namespace gridseek {

void RunOreSearch(std::intptr_t* p, std::intptr_t* q, std::int32_t, std::int32_t) noexcept {
  位图 map;
  map.载入数据(CopyCallerImage(*p, *q));
  HandBackResult(p, q, ByteSequence());
}

}  // namespace gridseek
