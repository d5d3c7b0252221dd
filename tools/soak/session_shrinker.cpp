#include "session_shrinker.h"

#include <chrono>

namespace soak {

namespace {

class Shrinker {
public:
    Shrinker(const FailureCheck& check, const ShrinkLimits& limits)
        : check(check), limits(limits), start(std::chrono::steady_clock::now()) {}

    bool exhausted() const {
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        return runs >= limits.maxRuns || spent.count() >= limits.maxSeconds;
    }

    bool fails(const Session& candidate) {
        ++runs;
        return check(candidate);
    }

    // Removes runs of items (steps, or events of one block) while the
    // session keeps failing; halves the run length when nothing goes.
    template <typename Items, typename Rebuild>
    void cut(const Items& initial, Rebuild rebuild, Items& kept) {
        kept = initial;
        size_t chunk = kept.size() / 2;
        while (chunk >= 1 && !exhausted()) {
            bool removed = false;
            for (size_t at = 0; at < kept.size() && !exhausted();) {
                Items fewer = kept;
                const size_t end = std::min(at + chunk, fewer.size());
                fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(at),
                            fewer.begin() + static_cast<std::ptrdiff_t>(end));
                if (fails(rebuild(fewer))) {
                    kept = std::move(fewer);
                    removed = true;
                } else {
                    at += chunk;
                }
            }
            if (!removed) chunk /= 2;
        }
    }

private:
    const FailureCheck& check;
    ShrinkLimits limits;
    std::chrono::steady_clock::time_point start;
    int runs = 0;
};

} // namespace

Session shrinkSession(const Session& failing, const FailureCheck& stillFails,
                      const ShrinkLimits& limits) {
    Shrinker shrinker(stillFails, limits);
    Session best = failing;
    auto withSteps = [&best](const std::vector<Step>& steps) {
        Session s = best;
        s.steps = steps;
        return s;
    };
    std::vector<Step> steps;
    shrinker.cut(best.steps, withSteps, steps);
    best.steps = steps;

    for (size_t i = 0; i < best.steps.size() && !shrinker.exhausted(); ++i) {
        if (best.steps[i].kind != Step::kBlock || best.steps[i].midi.empty()) continue;
        auto withEvents = [&best, i](const std::vector<MidiIn>& midi) {
            Session s = best;
            s.steps[i].midi = midi;
            return s;
        };
        std::vector<MidiIn> midi;
        shrinker.cut(best.steps[i].midi, withEvents, midi);
        best.steps[i].midi = midi;
    }
    // Empty blocks whose only work was passing time may go now too.
    shrinker.cut(best.steps, withSteps, steps);
    best.steps = steps;
    return best;
}

} // namespace soak
