// PNG encoding built for speed: one pass per row that unpremultiplies,
// filters and compresses, with nothing searched for but runs of equal bytes.
// With the "up" filter an unchanged stretch of a row becomes a run of zero
// bytes, which a deflate match at distance 1 covers 258 bytes at a time.
// Each block of tokens gets Huffman codes made for it, so common bytes and
// the long zero runs cost few bits.

#include "platform/gdiplus/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace Gdiplus {

namespace {

constexpr size_t kChunkBytes = size_t(1) << 18;  // IDAT size the output is cut into
constexpr size_t kBlockTokens = size_t(1) << 16; // tokens per deflate block
constexpr size_t kMaxRowBytes = size_t(32767) * 4 + 1;
constexpr int kMaxMatch = 258;
constexpr int kSymbols = 286; // literals, end of block, length codes
constexpr int kEndOfBlock = 256;

struct Code {
    uint32_t bits; // already reversed for the LSB-first bit order of deflate
    uint32_t length;
};

uint32_t Reverse(uint32_t code, int length) {
    uint32_t out = 0;
    for (int i = 0; i < length; ++i) {
        out = (out << 1) | (code & 1);
        code >>= 1;
    }
    return out;
}

// Length symbols: for each match length, its symbol and extra bits.
struct LengthTable {
    uint16_t symbol[kMaxMatch + 1];
    uint8_t extraBits[kMaxMatch + 1];
    uint8_t extraValue[kMaxMatch + 1];

    LengthTable() {
        static const int base[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                     15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                     67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        for (int length = 3; length <= kMaxMatch; ++length) {
            int k = 28;
            while (base[k] > length)
                --k;
            symbol[length] = uint16_t(257 + k);
            extraBits[length] = uint8_t(extra[k]);
            extraValue[length] = uint8_t(length - base[k]);
        }
    }
};

const LengthTable& Lengths() {
    static const LengthTable table;
    return table;
}

// Huffman code lengths of at most maxBits for the symbols with a non-zero
// frequency. While the tree is too deep the frequencies are halved (keeping
// them non-zero) and the tree is built again; every result is a complete code.
void BuildLengths(const uint32_t* frequency, int count, int maxBits, uint8_t* lengths) {
    std::vector<uint32_t> weight(frequency, frequency + count);
    for (;;) {
        std::fill(lengths, lengths + count, 0);
        struct Node {
            uint64_t weight;
            int left, right; // children, or -1 and the symbol for a leaf
        };
        std::vector<Node> nodes;
        std::vector<int> leaves;
        for (int i = 0; i < count; ++i)
            if (weight[size_t(i)]) {
                leaves.push_back(int(nodes.size()));
                nodes.push_back({weight[size_t(i)], -1, i});
            }
        if (nodes.empty())
            return;
        if (nodes.size() == 1) {
            // A lone symbol still gets a complete code: a second, unused one.
            lengths[nodes[0].right] = 1;
            lengths[nodes[0].right == 0 ? 1 : 0] = 1;
            return;
        }
        std::sort(leaves.begin(), leaves.end(),
                  [&](int a, int b) { return nodes[size_t(a)].weight < nodes[size_t(b)].weight; });
        // Two queues: sorted leaves and the inner nodes, made in rising weight.
        std::vector<int> inner;
        size_t nextLeaf = 0, nextInner = 0;
        auto take = [&]() {
            if (nextInner >= inner.size() ||
                (nextLeaf < leaves.size() &&
                 nodes[size_t(leaves[nextLeaf])].weight <= nodes[size_t(inner[nextInner])].weight))
                return leaves[nextLeaf++];
            return inner[nextInner++];
        };
        for (size_t made = 0; made + 1 < leaves.size(); ++made) {
            int a = take(), b = take();
            inner.push_back(int(nodes.size()));
            nodes.push_back({nodes[size_t(a)].weight + nodes[size_t(b)].weight, a, b});
        }
        // Depths from the root down; inner nodes come after their children.
        std::vector<int> depth(nodes.size(), 0);
        int deepest = 0;
        for (size_t i = nodes.size(); i-- > 0;) {
            const Node& n = nodes[i];
            if (n.left < 0) {
                lengths[n.right] = uint8_t(depth[i] > 255 ? 255 : depth[i]);
                deepest = std::max(deepest, depth[i]);
            } else {
                depth[size_t(n.left)] = depth[size_t(n.right)] = depth[i] + 1;
            }
        }
        if (deepest <= maxBits)
            return;
        for (uint32_t& w : weight)
            if (w)
                w = (w >> 1) | 1;
    }
}

// Canonical codes for the lengths, reversed for writing.
void AssignCodes(const uint8_t* lengths, int count, Code* codes) {
    int perLength[16] = {0};
    for (int i = 0; i < count; ++i)
        ++perLength[lengths[i]];
    perLength[0] = 0;
    uint32_t next[16] = {0};
    uint32_t code = 0;
    for (int bits = 1; bits < 16; ++bits) {
        code = (code + uint32_t(perLength[bits - 1])) << 1;
        next[bits] = code;
    }
    for (int i = 0; i < count; ++i) {
        int n = lengths[i];
        codes[i] = {n ? Reverse(next[n]++, n) : 0, uint32_t(n)};
    }
}

class Encoder {
public:
    Encoder(PngSink sink, void* closure)
        : lengths_(Lengths()), sink_(sink), closure_(closure), out_(new unsigned char[kOutBytes]),
          tokens_(new uint16_t[kBlockTokens + kMaxRowBytes + 8]) {}

    bool Failed() const { return failed_; }

    void Chunk(const char* type, const unsigned char* data, size_t length) {
        if (failed_)
            return;
        unsigned char head[8];
        PutBig32(head, uint32_t(length));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (length)
            crc = crc32(crc, data, uInt(length));
        unsigned char tail[4];
        PutBig32(tail, uint32_t(crc));
        Send(head, 8);
        if (length)
            Send(data, length);
        Send(tail, 4);
    }

    void Signature() {
        static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        Send(sig, 8);
    }

    // zlib header: deflate, 32 KiB window, fastest.
    void BeginStream() {
        out_[used_++] = 0x78;
        out_[used_++] = 0x01;
    }

    // One filtered row: each byte as a literal, then the run of equal bytes
    // after it as matches at distance 1.
    void Row(const unsigned char* f, size_t length) {
        size_t i = 0;
        while (i < length) {
            unsigned char b = f[i];
            size_t j = i + 1;
            if (j < length && f[j] != b) {
                // A byte unlike the next: the common case at edges.
                AdlerByte(b);
                Literal(b);
                i = j;
                continue;
            }
            if (b == 0) {
                uint64_t w[4];
                while (j + 32 <= length &&
                       (std::memcpy(w, f + j, 32), (w[0] | w[1] | w[2] | w[3]) == 0))
                    j += 32;
                while (j + 8 <= length && (std::memcpy(w, f + j, 8), w[0] == 0))
                    j += 8;
            }
            while (j < length && f[j] == b)
                ++j;
            Run(b, j - i);
            i = j;
        }
        if (tokenCount_ >= kBlockTokens)
            FlushBlock(false);
    }

    // A row whose differences from the row above are all zero.
    void ZeroRow(size_t length) {
        Run(2, 1);
        Run(0, length);
        if (tokenCount_ >= kBlockTokens)
            FlushBlock(false);
    }

    void EndStream() {
        FlushBlock(true);
        while (count_ > 0) {
            out_[used_++] = uint8_t(acc_);
            acc_ >>= 8;
            count_ = count_ > 8 ? count_ - 8 : 0;
        }
        PutBig32(out_.get() + used_, uint32_t((adlerB_ % 65521) << 16 | (adlerA_ % 65521)));
        used_ += 4;
        FlushData(true);
    }

private:
    // Room for one block's output past the chunk limit: at most 21 bits a
    // token plus the block header.
    static constexpr size_t kOutBytes = kChunkBytes + (kBlockTokens + kMaxRowBytes + 8) * 3 + 1024;

    static void PutBig32(unsigned char* p, uint32_t v) {
        p[0] = uint8_t(v >> 24);
        p[1] = uint8_t(v >> 16);
        p[2] = uint8_t(v >> 8);
        p[3] = uint8_t(v);
    }

    // Tokens: a literal byte (0 to 255) or a match at distance 1 of length
    // 3 to 258 (kept as 256 + length).
    void Literal(unsigned char b) {
        tokens_[tokenCount_++] = b;
        ++frequency_[b];
    }

    void Match(size_t length) {
        tokens_[tokenCount_++] = uint16_t(256 + length);
        ++frequency_[lengths_.symbol[length]];
    }

    // count bytes b: a literal, then matches for the rest. The checksum is
    // kept as it goes, a run at a time.
    void Run(unsigned char b, size_t count) {
        AdlerRun(b, count);
        Literal(b);
        size_t rest = count - 1;
        while (rest >= 3) {
            size_t m = rest < size_t(kMaxMatch) ? rest : size_t(kMaxMatch);
            Match(m);
            rest -= m;
        }
        while (rest--)
            Literal(b);
    }

    // The tokens so far as one block with codes made for them.
    void FlushBlock(bool last) {
        frequency_[kEndOfBlock] = 1;
        uint8_t literalLengths[kSymbols];
        BuildLengths(frequency_, kSymbols, 15, literalLengths);
        int literalCount = kSymbols;
        while (literalCount > 257 && literalLengths[literalCount - 1] == 0)
            --literalCount;
        Code literal[kSymbols];
        AssignCodes(literalLengths, literalCount, literal);

        // Code lengths of both alphabets in a row, run-length coded. The
        // distance alphabet has two codes of one bit (as decoders expect a
        // complete code); only the first, distance 1, is used.
        uint8_t all[kSymbols + 2];
        std::memcpy(all, literalLengths, size_t(literalCount));
        all[literalCount] = 1;
        all[literalCount + 1] = 1;
        const int allCount = literalCount + 2;
        struct LengthToken {
            uint8_t symbol, extra;
        };
        LengthToken runs[kSymbols + 2];
        int runCount = 0;
        uint32_t clFrequency[19] = {0};
        for (int i = 0; i < allCount;) {
            uint8_t v = all[i];
            int run = 1;
            while (i + run < allCount && all[i + run] == v)
                ++run;
            i += run;
            if (v == 0) {
                while (run >= 11) {
                    int r = std::min(run, 138);
                    runs[runCount++] = {18, uint8_t(r - 11)};
                    run -= r;
                }
                if (run >= 3) {
                    runs[runCount++] = {17, uint8_t(run - 3)};
                    run = 0;
                }
            } else {
                runs[runCount++] = {v, 0};
                --run;
                while (run >= 3) {
                    int r = std::min(run, 6);
                    runs[runCount++] = {16, uint8_t(r - 3)};
                    run -= r;
                }
            }
            while (run-- > 0)
                runs[runCount++] = {v, 0};
        }
        for (int i = 0; i < runCount; ++i)
            ++clFrequency[runs[i].symbol];
        uint8_t clLengths[19];
        BuildLengths(clFrequency, 19, 7, clLengths);
        Code cl[19];
        AssignCodes(clLengths, 19, cl);
        static const uint8_t order[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};
        int clCount = 19;
        while (clCount > 4 && clLengths[order[clCount - 1]] == 0)
            --clCount;

        Put(last ? 1 : 0, 1);
        Put(2, 2); // dynamic codes
        Put(uint32_t(literalCount - 257), 5);
        Put(1, 5); // two distance codes
        Put(uint32_t(clCount - 4), 4);
        for (int i = 0; i < clCount; ++i)
            Put(clLengths[order[i]], 3);
        static const uint8_t extraBits[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                              0, 0, 0, 0, 0, 0, 2, 3, 7};
        for (int i = 0; i < runCount; ++i) {
            const Code& c = cl[runs[i].symbol];
            Put(c.bits | uint32_t(runs[i].extra) << c.length, c.length + extraBits[runs[i].symbol]);
        }

        // Each match length with its extra bits and the distance code (a
        // single zero bit), ready to write in one go.
        Code match[kMaxMatch + 1];
        for (int length = 3; length <= kMaxMatch; ++length) {
            const Code& c = literal[lengths_.symbol[length]];
            if (!c.length)
                continue;
            match[length] = {c.bits | uint32_t(lengths_.extraValue[length]) << c.length,
                             c.length + lengths_.extraBits[length] + 1};
        }
        for (size_t i = 0; i < tokenCount_; ++i) {
            uint32_t t = tokens_[i];
            const Code& c = t < 256 ? literal[t] : match[t - 256];
            Put(c.bits, c.length);
        }
        Put(literal[kEndOfBlock].bits, literal[kEndOfBlock].length);

        tokenCount_ = 0;
        std::fill(frequency_, frequency_ + kSymbols, 0);
        if (used_ >= kChunkBytes)
            FlushData(false);
    }

    void Put(uint32_t bits, uint32_t length) {
        acc_ |= uint64_t(bits) << count_;
        count_ += length;
        if (count_ >= 32) {
            uint32_t low = uint32_t(acc_);
            unsigned char b[4] = {uint8_t(low), uint8_t(low >> 8), uint8_t(low >> 16),
                                  uint8_t(low >> 24)};
            std::memcpy(out_.get() + used_, b, 4);
            used_ += 4;
            acc_ >>= 32;
            count_ -= 32;
        }
    }

    // Single bytes: the sums are reduced only now and then, staying far
    // below 2^64.
    void AdlerByte(uint32_t v) {
        adlerA_ += v;
        adlerB_ += adlerA_;
        if (++unreduced_ == 4096) {
            adlerA_ %= 65521;
            adlerB_ %= 65521;
            unreduced_ = 0;
        }
    }

    // Adler-32 of a run of n equal bytes v, in closed form:
    // a grows by n·v, b by n·a + v·n(n+1)/2.
    void AdlerRun(uint64_t v, uint64_t n) {
        constexpr uint64_t kBase = 65521;
        if (n == 1) {
            AdlerByte(uint32_t(v));
            return;
        }
        unreduced_ = 0;
        adlerB_ = (adlerB_ + n % kBase * adlerA_ + v * (n * (n + 1) / 2 % kBase)) % kBase;
        adlerA_ = (adlerA_ + n % kBase * v) % kBase;
    }

    // Whole bytes so far go out as one IDAT chunk; the bits not yet making a
    // byte stay in the accumulator.
    void FlushData(bool last) {
        if (used_ > 0 || last)
            Chunk("IDAT", out_.get(), used_);
        used_ = 0;
    }

    void Send(const unsigned char* data, size_t length) {
        if (!failed_ && !sink_(closure_, data, length))
            failed_ = true;
    }

    const LengthTable& lengths_;
    PngSink sink_;
    void* closure_;
    // Whole bytes of the stream not yet sent.
    std::unique_ptr<unsigned char[]> out_;
    size_t used_ = 0;
    uint64_t acc_ = 0;
    uint32_t count_ = 0;
    // The block being gathered: at most one row past kBlockTokens.
    std::unique_ptr<uint16_t[]> tokens_;
    size_t tokenCount_ = 0;
    uint32_t frequency_[kSymbols] = {0};
    uint64_t adlerA_ = 1, adlerB_ = 0;
    int unreduced_ = 0;
    bool failed_ = false;
};

bool Opaque(const unsigned char* data, int width, int height, int stride) {
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < width; ++x)
            if ((row[x] >> 24) != 0xFF)
                return false;
    }
    return true;
}

// A premultiplied pixel as straight R, G, B, A bytes in memory order, rounding
// as Cairo's writer does.
inline uint32_t Straight(uint32_t p) {
    uint32_t a = p >> 24;
    if (a == 0xFF)
        return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16) | 0xFF000000;
    if (a == 0)
        return 0;
    // A channel above alpha (not valid premultiplied data) is cut to its low
    // byte, as Cairo does, rather than spill into the next channel.
    uint32_t r = ((((p >> 16) & 0xFF) * 255 + a / 2) / a) & 0xFF;
    uint32_t g = ((((p >> 8) & 0xFF) * 255 + a / 2) / a) & 0xFF;
    uint32_t b = (((p & 0xFF) * 255 + a / 2) / a) & 0xFF;
    return r | (g << 8) | (b << 16) | (a << 24);
}

// Byte-wise x - y modulo 256 in each of four lanes.
inline uint32_t SubtractBytes(uint32_t x, uint32_t y) {
    constexpr uint32_t kHigh = 0x80808080u;
    return ((x | kHigh) - (y & ~kHigh)) ^ ((x ^ ~y) & kHigh);
}

bool Encode(const unsigned char* data, int width, int height, int stride, PngSink sink,
            void* closure) {
    bool opaque = Opaque(data, width, height, stride);
    const size_t channels = opaque ? 3 : 4;
    const size_t rowBytes = size_t(width) * channels;

    std::unique_ptr<Encoder> owned(new Encoder(sink, closure));
    Encoder& encoder = *owned;
    encoder.Signature();
    unsigned char ihdr[13];
    const uint32_t w = uint32_t(width), h = uint32_t(height);
    const unsigned char size[8] = {uint8_t(w >> 24), uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w),
                                   uint8_t(h >> 24), uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h)};
    std::memcpy(ihdr, size, 8);
    ihdr[8] = 8;              // bits per channel
    ihdr[9] = opaque ? 2 : 6; // RGB or RGBA
    ihdr[10] = ihdr[11] = 0;  // deflate, adaptive filtering
    ihdr[12] = 0;             // not interlaced
    encoder.Chunk("IHDR", ihdr, sizeof ihdr);
    encoder.BeginStream();

    // above: the straight pixels of the row above (zero above the first),
    // kept up to date only where a pixel changes from one row to the next.
    // The filtered row has room for stores of 16 bytes that start at its
    // fourth pixel from the end.
    std::vector<uint32_t> above(size_t(width), 0);
    std::vector<unsigned char> filtered(rowBytes + 1 + 4);
    filtered[0] = 2; // up
    const uint32_t* rawAbove = nullptr;
    for (int y = 0; y < height && !encoder.Failed(); ++y) {
        const uint32_t* raw = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        unsigned char* f = filtered.data() + 1;
        if (rawAbove && std::memcmp(raw, rawAbove, size_t(width) * 4) == 0) {
            // Same pixels as the row above: all differences are zero.
            encoder.ZeroRow(rowBytes);
            rawAbove = raw;
            continue;
        }
        int x = 0;
        while (x < width) {
            if (rawAbove) {
                // Unchanged groups of four pixels; the store may run into the
                // next pixel, which is written after it, or into the spare bytes.
                uint64_t now[2], before[2];
                while (x + 4 <= width &&
                       (std::memcpy(now, raw + x, 16), std::memcpy(before, rawAbove + x, 16),
                        ((now[0] ^ before[0]) | (now[1] ^ before[1])) == 0)) {
                    std::memset(f, 0, 16);
                    f += 4 * channels;
                    x += 4;
                }
                if (x == width)
                    break;
            }
            uint32_t difference = 0;
            if (!rawAbove || raw[x] != rawAbove[x]) {
                uint32_t straight = Straight(raw[x]);
                difference = SubtractBytes(straight, above[size_t(x)]);
                above[size_t(x)] = straight;
            }
            std::memcpy(f, &difference, 4);
            f += channels;
            ++x;
        }
        rawAbove = raw;
        encoder.Row(filtered.data(), rowBytes + 1);
    }
    encoder.EndStream();
    encoder.Chunk("IEND", nullptr, 0);
    return !encoder.Failed();
}

} // namespace

bool WritePng(const unsigned char* data, int width, int height, int stride, PngSink sink,
              void* closure) {
    if (!data || width <= 0 || height <= 0 || stride < width * 4 || !sink)
        return false;
    try {
        return Encode(data, width, height, stride, sink, closure);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace Gdiplus
