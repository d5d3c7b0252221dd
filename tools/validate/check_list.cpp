#include "checks.h"

namespace validate {

const std::vector<Check>& allChecks() {
    static const std::vector<Check> checks = {
        {"load-unload", "load, create, close, unload 100 times; no thread left behind",
         loadUnloadCheck},
        {"unload-without-close", "load, create, unload without the close call 100 times",
         unloadWithoutCloseCheck},
        {"instances-on-threads", "32 instances made, played and destroyed on several threads",
         instancesOnThreadsCheck},
        {"info", "identity, category, ports, parameter names, programs and back", infoCheck},
        {"processing", "every rate and block size, with and without release and prepare",
         processingCheck},
        {"zero-frame-blocks", "blocks of no frames between blocks that play", zeroFrameCheck},
        {"automation", "parameters in sub-blocks of 32 frames and from a second thread",
         automationCheck},
        {"parameters", "every parameter swept and set at random; texts round trip", parameterCheck},
        {"state", "save, restore, carry to a fresh instance; damaged states", stateCheck},
        {"quiet", "nothing written to the host's standard output or error", quietCheck},
        {"editor", "open cold and warm, while processing, close while notes play", editorCheck},
        {"locale", "the same results under de_DE.UTF-8 as under C", localeCheck},
        {"timing", "note-ons on the same frames at every block size", timingCheck},
    };
    return checks;
}

} // namespace validate
