#pragma once

#include "common/byte_sequence.h"
#include "search/node_list.h"

namespace gridseek {

// The path record of a closed list: from its last element, climb from parent
// to parent (each parent cell looked up at its first occurrence in the list)
// until the cell of the first element; 4 bytes a cell, (x, y) coordinate
// words, start first. A list that holds only the start gives the start twice.
// Empty list, or a parent that cannot be found: the empty sequence.
ByteSequence BuildPathBytes(const NodeList& closedList);

}  // namespace gridseek
