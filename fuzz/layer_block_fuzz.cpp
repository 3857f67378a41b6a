// Feeds arbitrary bytes to the loader of stored (deflated RGBA32) layer blocks. The first
// byte picks the layer's size; the rest is the block.
#include <cstddef>
#include <cstdint>

#include "engine/masked_load.h"
#include "layers/layer_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    calv::Engine engine;
    const int32_t side = 1 + data[0] % 64;
    engine.canvas.width = engine.canvas.height = side;
    if (!calv::CreateLayer(engine, 2, side, side)) return 0;
    calv::LoadRGBA32LayerCompressed(engine, data + 1, int32_t(size - 1), engine.layers.table[2]);
    return 0;
}
