#include "BlockEncoder.h"

#include "HuffmanCode.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace kestrel::lzh {
namespace {

constexpr unsigned kPreTreeCountBits = 5;
constexpr unsigned kCharTreeCountBits = 9;

// Pre-tree symbols 0..2 code runs of zero lengths in the character tree;
// symbol t >= 3 codes the length t - 2.
constexpr unsigned kRunOne = 0;     // a single zero
constexpr unsigned kRunShort = 1;   // 4 bits: 3..18 zeros
constexpr unsigned kRunLong = 2;    // 9 bits: 20..531 zeros

unsigned usedCount(const uint8_t* lengths, unsigned count)
{
    while (count > 0 && lengths[count - 1] == 0)
        --count;
    return count;
}

template <typename Emit>
void forEachZeroRunPiece(unsigned run, Emit emit)
{
    if (run <= 2) {
        for (unsigned k = 0; k < run; ++k)
            emit(kRunOne, 0u, 0u);
    } else if (run <= 18) {
        emit(kRunShort, 4u, run - 3);
    } else if (run == 19) {
        emit(kRunOne, 0u, 0u);
        emit(kRunShort, 4u, 15u);
    } else {
        emit(kRunLong, 9u, run - 20);
    }
}

// Walks the character tree lengths as the pre-tree codes them.
template <typename Emit>
void forEachCharLengthSymbol(const uint8_t* lengths, unsigned count, Emit emit)
{
    for (unsigned i = 0; i < count;) {
        if (lengths[i] != 0) {
            emit(lengths[i] + 2u, 0u, 0u);
            ++i;
            continue;
        }
        unsigned run = 0;
        while (i + run < count && lengths[i + run] == 0)
            ++run;
        forEachZeroRunPiece(run, emit);
        i += run;
    }
}

unsigned singleSymbol(const uint32_t* freq, unsigned count)
{
    for (unsigned s = 0; s < count; ++s)
        if (freq[s] != 0)
            return s;
    return 0;
}

}  // namespace

BlockEncoder::BlockEncoder(unsigned dictBits, BitWriter& out)
    : posCodes_(dictBits + 1), posBits_(dictBits == 13 ? 4 : 5), out_(out)
{
    codes_.reserve(kMaxBlockCodes);
    positions_.reserve(kMaxBlockCodes);
}

void BlockEncoder::flush()
{
    if (!codes_.empty())
        writeBlock(codes_.size());
}

void BlockEncoder::endStretch()
{
    if (tailStart_ > 0 && separateTailIsCheaper())
        writeBlock(tailStart_);
    else if (codes_.size() + kStretchCodes > kMaxBlockCodes)
        writeBlock(codes_.size());
    tailStart_ = codes_.size();
    std::fill(std::begin(tailCharFreq_), std::end(tailCharFreq_), 0);
    std::fill(std::begin(tailPosFreq_), std::end(tailPosFreq_), 0);
}

bool BlockEncoder::separateTailIsCheaper() const
{
    uint32_t headChar[kCharCodes], headPos[17] = {};
    for (unsigned s = 0; s < kCharCodes; ++s)
        headChar[s] = charFreq_[s] - tailCharFreq_[s];
    for (unsigned s = 0; s < posCodes_; ++s)
        headPos[s] = posFreq_[s] - tailPosFreq_[s];
    const double together = estimatedBlockBits(charFreq_, posFreq_);
    const double apart = estimatedBlockBits(headChar, headPos) + estimatedBlockBits(tailCharFreq_, tailPosFreq_);
    return apart < together;
}

// Bits of the codes under the block's own trees, taken from the entropy of
// the frequencies (far cheaper to work out every few thousand codes than the
// trees themselves), plus a rough price for the trees: a few bits per used
// symbol. As with real Huffman codes, no code is shorter than one bit unless
// it is the only symbol, which costs nothing. Extra distance bits are the
// same however the blocks fall, so they are left out.
double BlockEncoder::estimatedBlockBits(const uint32_t* charFreq, const uint32_t* posFreq) const
{
    double bits = 16 + 40;
    const auto addCodes = [&bits](const uint32_t* freq, unsigned count, double bitsPerSymbol) {
        uint64_t total = 0;
        unsigned used = 0;
        for (unsigned s = 0; s < count; ++s) {
            total += freq[s];
            used += freq[s] != 0;
        }
        bits += bitsPerSymbol * used;
        if (used < 2)
            return;
        const double all = static_cast<double>(total);
        for (unsigned s = 0; s < count; ++s)
            if (freq[s] != 0)
                bits += freq[s] * std::max(1.0, std::log2(all / freq[s]));
    };
    addCodes(charFreq, kCharCodes, 4);
    addCodes(posFreq, posCodes_, 3);
    return bits;
}

void BlockEncoder::writeBlock(size_t count)
{
    const bool keepTail = count < codes_.size();
    if (keepTail) {
        for (unsigned s = 0; s < kCharCodes; ++s)
            charFreq_[s] -= tailCharFreq_[s];
        for (unsigned s = 0; s < posCodes_; ++s)
            posFreq_[s] -= tailPosFreq_[s];
    }
    out_.put(16, static_cast<uint32_t>(count));
    charUsed_ = HuffmanCode::buildLengths(charFreq_, kCharCodes, charLen_);
    posUsed_ = HuffmanCode::buildLengths(posFreq_, posCodes_, posLen_);
    writeCharTree();
    writePositionTree();
    writeCodes(count);

    codes_.erase(codes_.begin(), codes_.begin() + static_cast<std::ptrdiff_t>(count));
    positions_.erase(positions_.begin(), positions_.begin() + static_cast<std::ptrdiff_t>(count));
    tailStart_ = 0;
    std::copy(std::begin(charFreq_), std::end(charFreq_), std::begin(lastCharFreq_));
    std::copy(std::begin(posFreq_), std::end(posFreq_), std::begin(lastPosFreq_));
    if (keepTail) {
        std::copy(std::begin(tailCharFreq_), std::end(tailCharFreq_), std::begin(charFreq_));
        std::copy(std::begin(tailPosFreq_), std::end(tailPosFreq_), std::begin(posFreq_));
    } else {
        std::fill(std::begin(charFreq_), std::end(charFreq_), 0);
        std::fill(std::begin(posFreq_), std::end(posFreq_), 0);
        std::fill(std::begin(tailCharFreq_), std::end(tailCharFreq_), 0);
        std::fill(std::begin(tailPosFreq_), std::end(tailPosFreq_), 0);
    }
    out_.flushIfLarge();
}

void BlockEncoder::estimatePrices(uint8_t* charBits, uint8_t* positionClassBits) const
{
    uint32_t freq[kCharCodes];
    for (unsigned s = 0; s < kCharCodes; ++s)
        freq[s] = 2 * (charFreq_[s] + lastCharFreq_[s]) + 1;
    HuffmanCode::buildLengths(freq, kCharCodes, charBits);
    for (unsigned s = 0; s < posCodes_; ++s)
        freq[s] = 2 * (posFreq_[s] + lastPosFreq_[s]) + 1;
    HuffmanCode::buildLengths(freq, posCodes_, positionClassBits);
}

void BlockEncoder::countPreTreeSymbols(uint32_t* freq) const
{
    forEachCharLengthSymbol(charLen_, usedCount(charLen_, kCharCodes),
                            [freq](unsigned symbol, unsigned, unsigned) { ++freq[symbol]; });
}

void BlockEncoder::writePreTree(const uint8_t* lengths, unsigned count, bool withSkip,
                                unsigned countBits)
{
    unsigned n = usedCount(lengths, count);
    // libarchive 3.6 reads the first three pre-tree lengths and the skip
    // field whatever the count says, so the pre-tree always sends at least
    // three lengths (trailing zeros are harmless to every reader).
    if (withSkip && n < 3)
        n = 3;
    out_.put(countBits, n);
    for (unsigned i = 0; i < n;) {
        const unsigned len = lengths[i++];
        if (len <= 6)
            out_.put(3, len);
        else
            out_.put(len - 3, (1u << (len - 3)) - 2);  // 111, (len - 7) ones, 0
        if (withSkip && i == 3) {
            // Up to three zero lengths right after the third are skipped with a
            // 2-bit count, never beyond the transmitted entries.
            unsigned skip = 0;
            while (skip < 3 && i + skip < n && lengths[i + skip] == 0)
                ++skip;
            out_.put(2, skip);
            i += skip;
        }
    }
}

// The pre-tree is never sent in its single-symbol form: libarchive 3.6
// (bsdtar) refuses a block whose pre-tree has a count of 0, although the
// format allows it. With fewer than two used symbols, a second one gets a 1-bit code too,
// which costs one bit per character tree length at most.
void BlockEncoder::writeUsablePreTree(const uint32_t* freq)
{
    if (HuffmanCode::buildLengths(freq, kPreCodes, preLen_) < 2) {
        const unsigned used = singleSymbol(freq, kPreCodes);
        preLen_[used] = 1;
        preLen_[used == 0 ? 1 : 0] = 1;
    }
    HuffmanCode::assignCodes(preLen_, kPreCodes, preCode_);
    writePreTree(preLen_, kPreCodes, true, kPreTreeCountBits);
}

void BlockEncoder::writeCharTree()
{
    if (charUsed_ < 2) {
        // One symbol only: the character tree takes its single-symbol form
        // (the symbol's code then takes no bits). The pre-tree is unused but
        // still sent, as a complete two-code tree; see writeUsablePreTree.
        uint32_t preFreq[kPreCodes] = {};
        writeUsablePreTree(preFreq);
        out_.put(kCharTreeCountBits, 0);
        out_.put(kCharTreeCountBits, singleSymbol(charFreq_, kCharCodes));
        return;
    }
    HuffmanCode::assignCodes(charLen_, kCharCodes, charCode_);

    uint32_t preFreq[kPreCodes] = {};
    countPreTreeSymbols(preFreq);
    writeUsablePreTree(preFreq);

    const unsigned n = usedCount(charLen_, kCharCodes);
    out_.put(kCharTreeCountBits, n);
    forEachCharLengthSymbol(charLen_, n, [this](unsigned symbol, unsigned extraBits, unsigned extra) {
        out_.put(preLen_[symbol], preCode_[symbol]);
        out_.put(extraBits, extra);
    });
}

void BlockEncoder::writePositionTree()
{
    if (posUsed_ < 2) {
        // No match in the block, or all at one distance class.
        out_.put(posBits_, 0);
        out_.put(posBits_, singleSymbol(posFreq_, posCodes_));
        return;
    }
    HuffmanCode::assignCodes(posLen_, posCodes_, posCode_);
    writePreTree(posLen_, posCodes_, false, posBits_);
}

void BlockEncoder::writeCodes(size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const unsigned c = codes_[i];
        out_.put(charLen_[c], charCode_[c]);
        if (c < 256) {
            ++bytesCoded_;
            continue;
        }
        bytesCoded_ += c - 256 + kMinMatch;
        const unsigned p = positions_[i];
        const unsigned k = positionClass(p);
        out_.put(posLen_[k], posCode_[k]);
        if (k >= 2)
            out_.put(k - 1, p);  // the low k - 1 bits; the top bit is implied by the class
        if ((i & 0x3fff) == 0)
            out_.flushIfLarge();
    }
}

}  // namespace kestrel::lzh
