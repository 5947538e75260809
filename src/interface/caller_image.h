#pragma once

#include <cstdint>

#include "common/byte_sequence.h"

namespace gridseek {

// The call's private copy of the caller's image: `count` bytes read from
// `address`. A count of 0 or below, or the address 0, gives the empty
// sequence without reading anything. Running out of storage is fatal.
ByteSequence CopyCallerImage(std::intptr_t address, std::intptr_t count) noexcept;

}  // namespace gridseek
