// Which backend takes a plug-in file: by its kind, as hosts tell formats
// apart. The CLAP (.clap) and LV2 (.lv2 bundle) backends join here.
#include "plugin_format.h"
#include "vst2_format.h"

#include <filesystem>

namespace validate {

std::unique_ptr<PluginFormat> openFormat(const std::string& path, std::string& error) {
    const std::filesystem::path file(path);
    std::error_code ignored;
    if (!std::filesystem::exists(file, ignored)) {
        error = "no such file: " + path;
        return nullptr;
    }
    // dlopen looks for a bare file name in the library path, not here.
    const std::string absolute = std::filesystem::absolute(file, ignored).string();
    if (file.extension() == ".so") return makeVst2Format(absolute);
    error = "no backend for " + path + " (VST 2.4 .so files so far)";
    return nullptr;
}

} // namespace validate
