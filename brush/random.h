// The brush engine's random numbers: one linear congruential generator and the byte
// tables drawn from it, so that a tool is reproducible for a seed.
#pragma once
#include <cstdint>
#include <memory>

namespace calv {

class RandomGenerator {
public:
    void seed(uint32_t s) { x_ = s; }
    // x = x * 214013 + 2531011 (mod 2^32); the draw is bits 16..30, 0..32767.
    int32_t draw() {
        x_ = x_ * 214013u + 2531011u;
        return int32_t((x_ >> 16) & 32767u);
    }

private:
    uint32_t x_ = 1;
};

struct RandomByteTable {
    std::unique_ptr<uint8_t[]> data;
    int32_t limit = 0;
    int32_t seed = 0;
    int32_t length = 0;
};

struct Engine;

// Builds `table` with `length` bytes of (draw mod limit), low 8 bits, from the generator
// reseeded with the engine's random seed; skipped when the table already matches.
void MakeRandArrayByte(Engine& engine, RandomByteTable& table, int32_t limit, int32_t length);
void DeleteRandArrayByte(RandomByteTable& table);

}  // namespace calv
