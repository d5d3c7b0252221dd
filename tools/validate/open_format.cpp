// Which backend takes a plug-in file: by its kind, as hosts tell formats
// apart (a .so for VST 2.4, a .clap, a .lv2 bundle folder).
#include "clap_format.h"
#include "plugin_format.h"
#include "vst2_format.h"
#if ZANDREL_VALIDATE_LV2
#include "lv2_format.h"
#endif

#include <filesystem>

namespace validate {

std::unique_ptr<PluginFormat> openFormat(const std::string& path, std::string& error) {
    std::filesystem::path file(path);
    std::error_code ignored;
    if (!std::filesystem::exists(file, ignored)) {
        error = "no such file: " + path;
        return nullptr;
    }
    // "zandrel.lv2/" names the folder as "zandrel.lv2" does.
    if (!file.has_filename()) file = file.parent_path();
    // dlopen looks for a bare file name in the library path, not here.
    const std::string absolute = std::filesystem::absolute(file, ignored).string();
    if (file.extension() == ".so") return makeVst2Format(absolute);
    if (file.extension() == ".clap") return makeClapFormat(absolute);
#if ZANDREL_VALIDATE_LV2
    if (std::filesystem::is_directory(file, ignored) &&
        std::filesystem::exists(file / "manifest.ttl", ignored))
        return makeLv2Format(absolute);
#endif
#if ZANDREL_VALIDATE_LV2
    error = "no backend for " + path + " (a VST 2.4 .so, a .clap, an LV2 bundle)";
#else
    error = "no backend for " + path + " (a VST 2.4 .so, a .clap)";
#endif
    return nullptr;
}

} // namespace validate
