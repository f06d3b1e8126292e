#include "Random.h"

#include <deque>

namespace {

struct SRandState {
    std::uint32_t state = 1;
    std::deque<int> script;
};

SRandState& State() {
    static SRandState state;
    return state;
}

} // namespace

int Rand() {
    SRandState& s = State();
    if (!s.script.empty()) {
        const int value = s.script.front();
        s.script.pop_front();
        return value;
    }
    // The linear congruential generator of the C standard's example: 15 bits per number.
    s.state = s.state * 1103515245u + 12345u;
    return static_cast<int>((s.state / 65536u) % 32768u);
}

void SeedRand(std::uint32_t seed) {
    State().state = seed;
    State().script.clear();
}

void ScriptRand(std::initializer_list<int> values) {
    State().script.assign(values);
}
