// Smoothing: directional sweeps that pull each pixel towards its predecessor, worked in
// place so the pull propagates, and blurs that replace outstanding pixels by a mean.
#include <array>
#include <cmath>
#include <cstdlib>

#include "filters/kit_filters.h"

namespace calv::kit {
namespace {

// The eight sweeps over the destination, in their order: four horizontal then four
// vertical, each (x0, x1, dx, y0, y1, dy). A horizontal sweep visits rows y0, y0 + dy, ...
// short of y1 and in each the pairs (x, y) -> (x + dx, y) up to the follower x1; a vertical
// one the row pairs (y, y + dy) up to the follower row y1 and in each the columns short of
// x1. pair(leader, follower, x, y, dx, dy) gets the leader's position.
template <bool kReadsDiagonal = false, class Pair>
void sweeps(const FilterContext& c, Pair&& pair) {
    if (c.width < 1 || c.height < 1) return;
    const int32_t W = c.width - 1, H = c.height - 1;
    const int32_t tuples[4][6] = {{0, W, 1, 0, H, 1}, {W, 0, -1, H, 0, -1}, {W, 0, -1, 0, H, 1}, {0, W, 1, H, 0, -1}};
    for (const auto& t : tuples) {
        const int32_t x0 = t[0], x1 = t[1], dx = t[2], y0 = t[3], y1 = t[4], dy = t[5];
        int32_t y = y0;
        if constexpr (!kReadsDiagonal) {
            // The rows of a horizontal sweep do not depend on one another: walk four at once
            // so that their chains of pairs overlap in the processor.
            for (; (y1 - y) * dy >= 4; y += 4 * dy) {
                RGBA32 *r0 = c.writeRow(y), *r1 = c.writeRow(y + dy), *r2 = c.writeRow(y + 2 * dy),
                       *r3 = c.writeRow(y + 3 * dy);
                for (int32_t x = x0; x != x1; x += dx) {
                    pair(r0[x], r0[x + dx], x, y, dx, dy);
                    pair(r1[x], r1[x + dx], x, y + dy, dx, dy);
                    pair(r2[x], r2[x + dx], x, y + 2 * dy, dx, dy);
                    pair(r3[x], r3[x + dx], x, y + 3 * dy, dx, dy);
                }
            }
        }
        for (; y != y1; y += dy) {
            RGBA32* row = c.writeRow(y);
            for (int32_t x = x0; x != x1; x += dx) pair(row[x], row[x + dx], x, y, dx, dy);
        }
    }
    for (const auto& t : tuples) {
        const int32_t x0 = t[0], x1 = t[1], dx = t[2], y0 = t[3], y1 = t[4], dy = t[5];
        for (int32_t y = y0; y != y1; y += dy) {
            RGBA32* lead = c.writeRow(y);
            RGBA32* follow = c.writeRow(y + dy);
            for (int32_t x = x0; x != x1; x += dx) pair(lead[x], follow[x], x, y, dx, dy);
        }
    }
}

// Q <- trunc(w Q + (1 - w) P) per channel, clamped to a byte.
uint8_t mixChannel(double w, uint8_t q, uint8_t p) { return FilterContext::clampByte(int32_t(w * q + (1 - w) * p)); }

// The same mix for one weight, tabulated for every follower and leader byte: a sweep mixes
// millions of pairs with one or two weights.
class MixTable {
public:
    explicit MixTable(double w) {
        for (int32_t q = 0; q < 256; ++q)
            for (int32_t p = 0; p < 256; ++p) table_[size_t(q << 8 | p)] = mixChannel(w, uint8_t(q), uint8_t(p));
    }
    uint8_t operator()(uint8_t q, uint8_t p) const { return table_[size_t(q << 8 | p)]; }
    void mixAll(RGBA32& q, const RGBA32& p) const { q = {(*this)(q.r, p.r), (*this)(q.g, p.g), (*this)(q.b, p.b), (*this)(q.a, p.a)}; }

private:
    std::array<uint8_t, 65536> table_;
};

int32_t valueOf(const RGBA32& p) { return FilterContext::valueOf(p); }

}  // namespace

void ValueBlur(FilterContext& c) {
    c.chained = true;
    // Equal values, and a weight of 0 or less, leave the follower: the table of weight 1.
    const double lighter = c.S[0], darker = c.S[1];
    const MixTable keep(1.0), mixLighter(lighter > 0 ? lighter : 1.0), mixDarker(darker > 0 ? darker : 1.0);
    const MixTable* byOrder[3] = {&keep, &mixLighter, &mixDarker};
    sweeps(c, [&](const RGBA32& P, RGBA32& Q, int32_t, int32_t, int32_t, int32_t) {
        const int32_t vP = valueOf(P), vQ = valueOf(Q);
        byOrder[int32_t(vP > vQ) + 2 * int32_t(vP < vQ)]->mixAll(Q, P);
    });
}

void NoiseReduction(FilterContext& c) {
    c.S[0] = 1 - c.S[0] * 0.5;
    c.chained = true;
    const double threshold = c.S[1] * 255;
    const MixTable mix(c.S[0]);
    sweeps(c, [&](const RGBA32& P, RGBA32& Q, int32_t, int32_t, int32_t, int32_t) {
        if (std::abs(valueOf(P) - valueOf(Q)) < threshold) mix.mixAll(Q, P);
    });
}

void NoiseReductionRGB(FilterContext& c) {
    c.S[0] = 1 - c.S[0] * 0.5;
    c.S[2] = 1 - c.S[2] * 0.5;
    c.S[4] = 1 - c.S[4] * 0.5;
    c.chained = true;
    const MixTable mixR(c.S[0]), mixG(c.S[2]), mixB(c.S[4]);
    const double tR = c.S[1] * 255, tG = c.S[3] * 255, tB = c.S[5] * 255;
    sweeps(c, [&](const RGBA32& P, RGBA32& Q, int32_t, int32_t, int32_t, int32_t) {
        if (std::abs(P.r - Q.r) < tR) Q.r = mixR(Q.r, P.r);
        if (std::abs(P.g - Q.g) < tG) Q.g = mixG(Q.g, P.g);
        if (std::abs(P.b - Q.b) < tB) Q.b = mixB(Q.b, P.b);
    });
}

void AntiAlias(FilterContext& c) {
    c.chained = true;
    const double fall = (1 - c.S[2]) * 255, rise = (1 - c.S[3]) * 255;
    const MixTable mixFall(c.S[0]), mixRise(c.S[1]);
    sweeps<true>(c, [&](const RGBA32& P, RGBA32& Q, int32_t x, int32_t y, int32_t dx, int32_t dy) {
        const int32_t vP = valueOf(P), vQ = valueOf(Q);
        if (vP - vQ > fall) {
            if (c.value(x + dx, y + dy) >= vP) mixFall.mixAll(Q, P);
        } else if (vQ - vP > rise) {
            if (c.value(x + dx, y + dy) <= vP) mixRise.mixAll(Q, P);
        }
    });
}

void AdaptiveBlur(FilterContext& c) {
    const double T = (1 - c.S[0]) * 255;
    for (int32_t y = 1; y <= c.height - 2; ++y)
        for (int32_t x = 1; x <= c.width - 2; ++x) {
            const int32_t v = c.value(x, y);
            const int32_t n[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            double w = 0;
            bool outstanding = false;
            for (const auto& at : n) {
                const int32_t nv = c.value(at[0], at[1]);
                if (v - nv > T || nv - v > T) {
                    w = v - nv > T ? c.S[1] : c.S[2];  // brighter, or darker, than this neighbour
                    outstanding = true;
                    break;
                }
            }
            if (!outstanding) continue;
            const RGBA32 p = c.rgba(x, y), l = c.rgba(x - 1, y), r = c.rgba(x + 1, y), u = c.rgba(x, y - 1),
                         d = c.rgba(x, y + 1);
            // (1 - w) pixel + w x mean of the four, with the truncations in this order.
            auto blend = [w](int32_t pv, int32_t lv, int32_t rv, int32_t uv, int32_t dv) {
                const int32_t P = int32_t((1 - w) * pv);
                const int32_t a1 = int32_t(w * lv + P);
                const int32_t a2 = int32_t(w * rv + a1 + P);
                const int32_t a3 = int32_t(w * uv + a2 + P);
                const int32_t a4 = int32_t(w * dv + a3 + P);
                return a4 / 4;
            };
            c.setRGBA(x, y, blend(p.r, l.r, r.r, u.r, d.r), blend(p.g, l.g, r.g, u.g, d.g),
                      blend(p.b, l.b, r.b, u.b, d.b), blend(p.a, l.a, r.a, u.a, d.a));
        }
}

void DetailBlur(FilterContext& c) {
    const double threshold = c.S[0] * 255;
    for (int32_t y = 1; y <= c.height - 2; ++y)
        for (int32_t x = 1; x <= c.width - 2; ++x) {
            if (std::abs(c.value(x, y) - c.valueMean3x3(x, y)) <= threshold) continue;
            const RGBA32 m = c.rgbaMean3x3(x, y);
            c.setRGBA(x, y, m.r, m.g, m.b, m.a);
        }
}

}  // namespace calv::kit
