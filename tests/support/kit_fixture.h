// Running the filter kit on small explicit pictures.
#pragma once
#include <initializer_list>
#include <vector>

#include "filters/filter_kit.h"
#include "support/engine_fixture.h"

namespace calv {
inline std::ostream& operator<<(std::ostream& os, const RGBA32& p) {
    return os << "(" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ", " << int(p.a) << ")";
}
}  // namespace calv

namespace calv::test {

using Picture = std::vector<RGBA32>;

// Sliders (per mille), flags and the option of one run, in argument order.
inline FilterArgs kitArgs(std::initializer_list<int32_t> sliders, std::initializer_list<int32_t> flags = {},
                          int32_t option = 0) {
    FilterArgs a;
    int k = 0;
    for (int32_t v : sliders) a.sliders[k++] = v;
    k = 0;
    for (int32_t v : flags) a.flags[k++] = v;
    a.option1 = option;
    return a;
}

class KitTest : public EngineTest {
protected:
    // Runs the kit on explicit w x h pictures; the destination starts as a marker colour.
    static Picture run(const char* name, const FilterArgs& args, Picture source, int32_t w, int32_t h) {
        Picture destination(source.size(), RGBA32{1, 2, 3, 4});
        FilterKitRun(engine(), source.data(), destination.data(), w, h, name, args);
        return destination;
    }
};

}  // namespace calv::test
