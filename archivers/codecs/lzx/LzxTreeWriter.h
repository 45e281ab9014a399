#pragma once

#include "LzxBitWriter.h"

#include <cstdint>

// Sends one section of tree code lengths through its own 20-symbol pretree,
// as differences against the lengths of the previous block of the folder,
// with the run codes 17 and 18 (zeros) and 19 (4 or 5 equal lengths).
class LzxTreeWriter {
public:
    static void writeSection(LzxBitWriter& out, const uint8_t* lengths, const uint8_t* previous,
                             int count);
};
