// The configuration file, and the path texts built from typed names.
#include "config_file.h"
#include "preset_file.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Configuration c = parseConfiguration(data, size);
    const int32_t scale = editorScaleOfConfiguration(c.optEditorSize);
    if (scale < 1 || scale > 2) std::abort();

    const std::string text(reinterpret_cast<const char*>(data), size);
    if (presetDisplayName(text).size() > kDisplayNameLimit) std::abort();
    const std::string named = withExtension(text, "fxp", [](const char*) {});
    if (named.size() < 4 || named.compare(named.size() - 4, 4, ".fxp") != 0) std::abort();
    return 0;
}
