#pragma once

#include <cstdint>

#include "common/byte_sequence.h"

namespace gridseek {

// Replaces the module-wide result (releasing the previous one first) and
// writes its address (0 when empty) and byte count through p and q.
void HandBackResult(std::intptr_t* p, std::intptr_t* q, ByteSequence result) noexcept;

}  // namespace gridseek
