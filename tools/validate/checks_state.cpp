// State as a host keeps it in a project: saved, changed, restored; carried
// to a fresh instance; and damaged (empty, cut short, random, overwritten
// words), which must be refused or leave the instance working.
#include "checks.h"
#include "player.h"
#include "state_damage.h"

#include <cmath>
#include <sstream>

namespace validate {

namespace {

constexpr double kRate = 48000.0;
// Played in blocks of 64 after a load, before the host touches parameters
// again: a plug-in may keep stale automation from overwriting a state it
// just loaded (Zandrel for ten blocks).
constexpr int64_t kAfterLoadFrames = 1024;

std::vector<double> parameterValues(PluginInstance& p) {
    std::vector<double> values;
    for (int i = 0; i < p.parameterCount(); ++i) values.push_back(p.parameter(i));
    return values;
}

void randomizeParameters(PluginInstance& p, SeededRandom& random) {
    for (int i = 0; i < p.parameterCount(); ++i) {
        const ParameterInfo info = p.parameterInfo(i);
        p.setParameter(i, info.min + (info.max - info.min) * random.unit());
    }
}

std::string firstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size())
        return std::to_string(a.size()) + " bytes, then " + std::to_string(b.size());
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return "first difference at byte " + std::to_string(i);
    return {};
}

void compareParameters(CheckContext& c, PluginInstance& p, const std::vector<double>& expected,
                       const std::string& after) {
    const std::vector<double> now = parameterValues(p);
    for (size_t i = 0; i < expected.size() && i < now.size(); ++i) {
        if (now[i] == expected[i]) continue;
        std::ostringstream what;
        what.precision(17);
        what << after << ": parameter " << i << " (" << p.parameterInfo(static_cast<int>(i)).name
             << ") reads " << now[i] << ", saved as " << expected[i];
        c.log.fail(what.str());
        return;
    }
}

} // namespace

void stateCheck(CheckContext& c) {
    auto format = c.loadFormat();
    if (!format) return;
    auto first = c.create(*format);
    if (!first) return;
    Player player(*first, c.log);
    player.start(kRate, 512);

    c.log.at(kRate, 512, "save, change, restore");
    randomizeParameters(*first, c.random);
    const std::vector<double> saved = parameterValues(*first);
    const std::vector<uint8_t> state = first->saveState();
    if (state.empty()) c.log.fail("the saved state is empty");
    randomizeParameters(*first, c.random);
    if (!first->loadState(state)) c.log.fail("its own state refused");
    compareParameters(c, *first, saved, "restored");
    const std::vector<uint8_t> again = first->saveState();
    if (again != state)
        c.log.fail("saved again after restoring, the state differs: " +
                   firstDifference(state, again));
    player.play(kAfterLoadFrames, 64);

    c.log.at(kRate, 512, "a state saved by one instance loaded into a fresh one");
    auto second = c.create(*format);
    if (!second) return;
    Player secondPlayer(*second, c.log);
    secondPlayer.start(kRate, 512);
    if (!second->loadState(state)) c.log.fail("a fresh instance refused the state");
    compareParameters(c, *second, saved, "loaded into a fresh instance");
    const std::vector<uint8_t> carried = second->saveState();
    if (carried != state)
        c.log.fail("the fresh instance saves a different state: " +
                   firstDifference(state, carried));
    secondPlayer.play(kAfterLoadFrames, 64);

    // Damaged states: an empty one must be refused; any other damage may be
    // refused or taken, but the instance must go on working and take a
    // good state again afterwards.
    struct Damage {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Damage> damages = {{"empty", {}}};
    for (const size_t length : {size_t{1}, size_t{4}, state.size() / 2, state.size() - 1})
        if (length < state.size())
            damages.push_back(
                {"cut to " + std::to_string(length) + " bytes",
                 std::vector<uint8_t>(state.begin(), state.begin() + static_cast<long>(length))});
    for (int i = 0; i < c.scaled(16); ++i) {
        std::vector<uint8_t> noise(state.size());
        for (uint8_t& b : noise) b = static_cast<uint8_t>(c.random.next());
        damages.push_back({"random bytes " + std::to_string(i + 1), noise});
        std::vector<uint8_t> overwritten = state;
        const uint64_t seed = c.random.next();
        damageState(overwritten, seed);
        damages.push_back({"words overwritten with seed " + std::to_string(seed), overwritten});
    }
    int refused = 0;
    int outOfRange = 0;
    for (const Damage& damage : damages) {
        c.log.at(kRate, 512, "loading a damaged state: " + damage.name);
        const std::vector<uint8_t> before = second->saveState();
        const bool taken = second->loadState(damage.bytes);
        if (!taken) {
            ++refused;
            if (second->saveState() != before) c.log.fail("refused, but the state changed");
        } else if (damage.bytes.empty()) {
            c.log.fail("an empty state was taken");
        }
        // Still working: it plays, its parameters read sensibly, and a good
        // state brings everything back.
        secondPlayer.newSegment();
        secondPlayer.play(kAfterLoadFrames, 64);
        secondPlayer.schedule(
            randomNotes(c.random, secondPlayer.position(), 24000, kRate, c.random.between(1, 16)));
        secondPlayer.play(24000, 512);
        secondPlayer.letGo(512);
        bool outside = false;
        for (int i = 0; i < second->parameterCount(); ++i) {
            const ParameterInfo info = second->parameterInfo(i);
            const double v = second->parameter(i);
            if (!std::isfinite(v))
                c.log.fail("parameter " + std::to_string(i) + " reads " + std::to_string(v));
            outside = outside || v < info.min || v > info.max;
            (void)second->parameterText(i);
        }
        // Not a failure: a state may hold what the host could not set.
        outOfRange += outside ? 1 : 0;
        if (!second->loadState(state)) c.log.fail("the good state refused afterwards");
        if (second->saveState() != state) c.log.fail("the good state did not come back");
        secondPlayer.play(kAfterLoadFrames, 64);
    }
    secondPlayer.stop();
    player.stop();
    c.reportFormatFaults(*first);
    c.reportFormatFaults(*second);
    std::ostringstream what;
    what << state.size() << " bytes saved, restored and carried to a fresh instance; "
         << damages.size() << " damaged states, " << refused << " refused, the rest survived";
    if (outOfRange > 0)
        what << " (" << outOfRange << " left parameters reading outside their range)";
    c.log.did(what.str());
}

} // namespace validate
