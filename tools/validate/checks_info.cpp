// What a scanner reads: identity, category, ports, parameters, programs;
// then programs changed at random and back, which must bring the state
// back with them.
#include "checks.h"

#include <sstream>

namespace validate {

void infoCheck(CheckContext& c) {
    auto format = c.loadFormat();
    if (!format) return;
    auto instance = c.create(*format);
    if (!instance) return;
    PluginInstance& p = *instance;

    c.log.at(0.0, -1, "reading the description");
    const PluginInfo info = p.info();
    if (info.name.empty()) c.log.fail("no name");
    if (info.vendor.empty()) c.log.fail("no vendor");
    if (info.id.empty()) c.log.fail("no identity");
    if (!info.midiIn || !info.midiOut) c.log.fail("a MIDI effect must say it takes and sends MIDI");
    if (info.audioOutputs < 0 || info.audioInputs < 0) c.log.fail("negative channel counts");

    const int parameters = p.parameterCount();
    for (int i = 0; i < parameters; ++i) {
        const ParameterInfo pi = p.parameterInfo(i);
        if (pi.name.empty()) c.log.fail("parameter " + std::to_string(i) + " has no name");
        if (!(pi.min < pi.max)) c.log.fail("parameter " + std::to_string(i) + " has no range");
    }

    c.log.at(0.0, -1, "changing programs at random and back");
    const int programs = p.programCount();
    for (int i = 0; i < programs; ++i)
        if (p.programName(i).empty()) c.log.fail("program " + std::to_string(i) + " has no name");
    if (programs > 0) {
        const int original = p.program();
        const std::vector<uint8_t> before = p.saveState();
        for (int i = 0; i < c.scaled(20); ++i) {
            // Now and then one past the end, or far past it: hosts do that.
            const int wanted = c.random.chance(80) ? c.random.below(programs)
                                                   : programs + c.random.between(0, 100);
            p.setProgram(wanted);
            const int now = p.program();
            if (wanted < programs && now != wanted)
                c.log.fail("program " + std::to_string(wanted) + " chosen, " + std::to_string(now) +
                           " current");
            if (now < 0 || now >= programs)
                c.log.fail("after choosing program " + std::to_string(wanted) + " the current is " +
                           std::to_string(now));
        }
        p.setProgram(original);
        if (p.program() != original) c.log.fail("the first program did not come back");
        if (p.saveState() != before) c.log.fail("the state did not come back with its program");
    }
    c.reportFormatFaults(p);

    std::ostringstream what;
    what << '"' << info.name << "\" by \"" << info.vendor << "\" " << info.version << ", id "
         << info.id << ", category " << info.category << ", audio " << info.audioInputs << " in "
         << info.audioOutputs << " out, MIDI " << (info.midiIn ? "in" : "-") << '/'
         << (info.midiOut ? "out" : "-") << ", " << parameters << " parameters, " << programs
         << " program(s)";
    c.log.did(what.str());
}

} // namespace validate
