#include "quilt_icon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "paint/paint.h"

namespace icon {

namespace {

// The logo's parts as the program's own windows draw them.
struct Part {
    std::int64_t ux, uy, uw, uh, ur;
    Rgba colour;
};
constexpr Rgba opaque(paint::Colour c) {
    return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
            static_cast<std::uint8_t>((c >> 16) & 0xFF), 255};
}
constexpr auto PARTS = [] {
    std::array<Part, paint::LOGO_UNITS.size()> parts{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const auto& u = paint::LOGO_UNITS[i];
        parts[i] = Part{u.x, u.y, u.width, u.height, u.radius, opaque(u.colour)};
    }
    return parts;
}();
constexpr int PART_COUNT = static_cast<int>(std::size(PARTS));
constexpr std::int64_t GRID_UNITS = paint::LOGO_GRID;
constexpr int SAMPLES = 16;  // per pixel along each axis

std::int64_t isqrt(std::int64_t v) {
    auto r = static_cast<std::int64_t>(std::sqrt(static_cast<double>(v)));
    while (r * r > v) --r;
    while ((r + 1) * (r + 1) <= v) ++r;
    return r;
}

// The samples of one row that a part covers, as a closed range of
// coordinates; empty when lo > hi.
struct Span {
    std::int64_t lo = 1;
    std::int64_t hi = 0;
};

// Coordinates are scaled so that sample centres and part edges are both
// integers: one unit of the grid is `k`, and sample j of a row sits at
// (2j + 1) * 32, the centre of its cell.
Span span_at(const Part& p, std::int64_t k, std::int64_t qy) {
    const std::int64_t x0 = p.ux * k, x1 = (p.ux + p.uw) * k;
    const std::int64_t y0 = p.uy * k, y1 = (p.uy + p.uh) * k;
    const std::int64_t r = p.ur * k;
    if (qy < y0 || qy > y1) return {};
    std::int64_t dy = 0;
    if (qy < y0 + r) {
        dy = y0 + r - qy;
    } else if (qy > y1 - r) {
        dy = qy - (y1 - r);
    }
    const std::int64_t w = isqrt(r * r - dy * dy);
    return {x0 + r - w, x1 - r + w};
}

// --- PNG and zlib --------------------------------------------------------

std::uint32_t crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int b = 0; b < 8; ++b) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : data) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void put_be32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void put_le16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put_le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put_le16(out, v & 0xFFFF);
    put_le16(out, v >> 16);
}

// Deflate writes its bit fields least significant bit first, but Huffman
// codes most significant bit first.
class BitWriter {
  public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void bits(std::uint32_t value, int count) {
        acc_ |= value << used_;
        used_ += count;
        while (used_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(acc_));
            acc_ >>= 8;
            used_ -= 8;
        }
    }
    void code(std::uint32_t value, int count) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < count; ++i) reversed |= ((value >> i) & 1u) << (count - 1 - i);
        bits(reversed, count);
    }
    void flush() {
        if (used_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_));
        acc_ = 0;
        used_ = 0;
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::uint32_t acc_ = 0;
    int used_ = 0;
};

// The fixed Huffman code of a literal/length symbol.
void put_symbol(BitWriter& w, int symbol) {
    if (symbol <= 143) {
        w.code(0x30 + symbol, 8);
    } else if (symbol <= 255) {
        w.code(0x190 + (symbol - 144), 9);
    } else if (symbol <= 279) {
        w.code(symbol - 256, 7);
    } else {
        w.code(0xC0 + (symbol - 280), 8);
    }
}

constexpr int LENGTH_BASE[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int LENGTH_EXTRA[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
static_assert(std::size(LENGTH_BASE) == std::size(LENGTH_EXTRA));
constexpr int DISTANCE_BASE[] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                 33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int DISTANCE_EXTRA[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                  6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
static_assert(std::size(DISTANCE_BASE) == std::size(DISTANCE_EXTRA));

void put_match(BitWriter& w, int length, int distance) {
    int i = static_cast<int>(std::size(LENGTH_BASE)) - 1;
    while (LENGTH_BASE[i] > length) --i;
    put_symbol(w, 257 + i);
    w.bits(static_cast<std::uint32_t>(length - LENGTH_BASE[i]), LENGTH_EXTRA[i]);
    int d = static_cast<int>(std::size(DISTANCE_BASE)) - 1;
    while (DISTANCE_BASE[d] > distance) --d;
    w.code(static_cast<std::uint32_t>(d), 5);
    w.bits(static_cast<std::uint32_t>(distance - DISTANCE_BASE[d]), DISTANCE_EXTRA[d]);
}

// One fixed-Huffman deflate block. An icon is flat colour, so looking back
// only one pixel and one scanline finds nearly every repetition there is.
std::vector<std::uint8_t> deflate(const std::vector<std::uint8_t>& data, std::size_t stride) {
    std::vector<std::uint8_t> out;
    BitWriter w(out);
    w.bits(1, 1);  // final block
    w.bits(1, 2);  // fixed codes
    const std::size_t candidates[] = {4, stride};
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t best_len = 0, best_dist = 0;
        for (std::size_t dist : candidates) {
            if (dist > pos || dist > 32768) continue;
            std::size_t len = 0;
            while (len < 258 && pos + len < data.size() && data[pos + len] == data[pos + len - dist]) ++len;
            if (len > best_len) {
                best_len = len;
                best_dist = dist;
            }
        }
        if (best_len >= 3) {
            put_match(w, static_cast<int>(best_len), static_cast<int>(best_dist));
            pos += best_len;
        } else {
            put_symbol(w, data[pos]);
            ++pos;
        }
    }
    put_symbol(w, 256);
    w.flush();
    return out;
}

void put_chunk(std::vector<std::uint8_t>& png, std::string_view type, const std::vector<std::uint8_t>& data) {
    put_be32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    put_be32(png, crc32(png.data() + start, png.size() - start));
}

}  // namespace

Image render_logo(int size) {
    Image image{size, std::vector<Rgba>(static_cast<std::size_t>(size * size))};
    const std::int64_t k = 2 * static_cast<std::int64_t>(size) * SAMPLES;
    const std::int64_t step = 2 * GRID_UNITS;  // between neighbouring sample centres
    const int per_pixel = SAMPLES * SAMPLES;
    struct Sum {
        int count = 0;
        int r = 0, g = 0, b = 0;
    };
    std::vector<Sum> row(static_cast<std::size_t>(size));
    for (int y = 0; y < size; ++y) {
        std::fill(row.begin(), row.end(), Sum{});
        for (int sy = 0; sy < SAMPLES; ++sy) {
            const std::int64_t qy = (2 * (static_cast<std::int64_t>(y) * SAMPLES + sy) + 1) * GRID_UNITS;
            Span spans[PART_COUNT];
            for (int i = 0; i < PART_COUNT; ++i) spans[i] = span_at(PARTS[i], k, qy);
            std::int64_t qx = GRID_UNITS;
            for (int x = 0; x < size; ++x) {
                Sum& sum = row[static_cast<std::size_t>(x)];
                for (int sx = 0; sx < SAMPLES; ++sx, qx += step) {
                    for (int i = PART_COUNT - 1; i >= 0; --i) {
                        if (qx < spans[i].lo || qx > spans[i].hi) continue;
                        ++sum.count;
                        sum.r += PARTS[i].colour.r;
                        sum.g += PARTS[i].colour.g;
                        sum.b += PARTS[i].colour.b;
                        break;
                    }
                }
            }
        }
        for (int x = 0; x < size; ++x) {
            const Sum& s = row[static_cast<std::size_t>(x)];
            Rgba& px = image.pixels[static_cast<std::size_t>(y * size + x)];
            px.a = static_cast<std::uint8_t>((255 * s.count + per_pixel / 2) / per_pixel);
            if (s.count == 0) continue;
            px.r = static_cast<std::uint8_t>((s.r + s.count / 2) / s.count);
            px.g = static_cast<std::uint8_t>((s.g + s.count / 2) / s.count);
            px.b = static_cast<std::uint8_t>((s.b + s.count / 2) / s.count);
        }
    }
    return image;
}

std::vector<std::uint8_t> encode_png(const Image& image) {
    const auto size = static_cast<std::uint32_t>(image.size);
    const std::size_t stride = 1 + 4 * static_cast<std::size_t>(size);
    std::vector<std::uint8_t> raw;
    raw.reserve(stride * size);
    for (int y = 0; y < image.size; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < image.size; ++x) {
            const Rgba& p = image.at(x, y);
            raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
        }
    }

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put_be32(header, size);
    put_be32(header, size);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter variants, no interlace
    put_chunk(png, "IHDR", header);

    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    const auto body = deflate(raw, stride);
    zlib.insert(zlib.end(), body.begin(), body.end());
    put_be32(zlib, adler32(raw));
    put_chunk(png, "IDAT", zlib);
    put_chunk(png, "IEND", {});
    return png;
}

std::vector<std::uint8_t> build_ico(const std::vector<IconImage>& images) {
    std::vector<std::uint8_t> ico;
    put_le16(ico, 0);  // reserved
    put_le16(ico, 1);  // icon, not cursor
    put_le16(ico, static_cast<std::uint32_t>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const auto& img : images) {
        const auto side = static_cast<std::uint8_t>(img.size >= 256 ? 0 : img.size);  // 0 means 256
        ico.insert(ico.end(), {side, side, 0, 0});                                    // no palette, reserved
        put_le16(ico, 1);                                                             // planes
        put_le16(ico, 32);                                                            // bits per pixel
        put_le32(ico, static_cast<std::uint32_t>(img.png.size()));
        put_le32(ico, offset);
        offset += static_cast<std::uint32_t>(img.png.size());
    }
    for (const auto& img : images) ico.insert(ico.end(), img.png.begin(), img.png.end());
    return ico;
}

std::vector<std::uint8_t> make_quilt_ico() {
    std::vector<IconImage> images;
    for (int size : ICON_SIZES) images.push_back({size, encode_png(render_logo(size))});
    return build_ico(images);
}

}  // namespace icon
