#pragma once

#include <cstdint>

// Canonical Huffman codes as LZX needs them: lengths limited to a maximum and
// every code complete, because decoders reject trees with unused code space.
class LzxHuffman {
public:
    // Computes code lengths for n symbols (n <= 1024) from their frequencies.
    // Unused symbols get length 0. If fewer than two symbols are used, one or
    // two dummy symbols are given length 1 so the code stays complete.
    static void buildLengths(const uint32_t* freq, int n, int maxLength, uint8_t* lengths);

    // Assigns canonical codes: shorter codes first, ties by symbol order.
    static void buildCodes(const uint8_t* lengths, int n, uint16_t* codes);

private:
    static void huffmanLengths(const uint32_t* freq, int n, uint8_t* lengths);
};
