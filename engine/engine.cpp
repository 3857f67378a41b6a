#include "engine/engine.h"

#include <cstring>

namespace calv {

Engine& globalEngine() {
    static Engine engine;
    return engine;
}

void setLastError(ProcessState& process, const char* text) {
    if (!text) text = "";
    std::strncpy(process.lastError, text, sizeof process.lastError - 1);
    process.lastError[sizeof process.lastError - 1] = '\0';
}

}  // namespace calv
