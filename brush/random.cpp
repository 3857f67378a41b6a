#include "brush/random.h"

#include "engine/engine.h"

namespace calv {

void MakeRandArrayByte(Engine& engine, RandomByteTable& table, int32_t limit, int32_t length) {
    const int32_t seed = int32_t(engine.process.randomSeed);
    if (table.data && table.length == length && table.limit == limit && table.seed == seed) return;
    guarded(engine, "MakeRandArrayByte Excpt", [&] {
        DeleteRandArrayByte(table);
        if (length < 0 || limit <= 0) return;
        RandomGenerator& random = engine.brush.random;
        random.seed(engine.process.randomSeed);
        table.data = allocateBlock<uint8_t>(std::size_t(length));
        for (int32_t i = 0; i < length; ++i) table.data[size_t(i)] = uint8_t(random.draw() % limit);
        table.length = length;
        table.limit = limit;
        table.seed = seed;
    });
}

void DeleteRandArrayByte(RandomByteTable& table) { table.data.reset(); }

}  // namespace calv
