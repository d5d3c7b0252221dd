// Zandrel's own names in the LV2 world, all under one project URI: the
// plug-in, its editor, its state property, its 32 parameters and the extension that
// hosts of our own use. Shared by the plug-in, the Turtle generator and
// those hosts; no LV2 header is needed to read them.
#pragma once

#include <cstddef>
#include <cstdio>

inline constexpr char kZandrelLv2Uri[] = "urn:vrek:zandrel";
// Everything else is this prefix followed by a name.
inline constexpr char kZandrelLv2Prefix[] = "urn:vrek:zandrel#";
// The state chunk, saved as one atom:Chunk under this key.
inline constexpr char kZandrelChunkKey[] = "urn:vrek:zandrel#chunk";
// The editor: an X11 UI in the plug-in's own binary.
inline constexpr char kZandrelLv2UiUri[] = "urn:vrek:zandrel#ui";
// The extension data of zandrel_lv2_services.h.
inline constexpr char kZandrelServicesUri[] = "urn:vrek:zandrel#services";

// The URI of a host parameter: the prefix and the parameter's identifier.
inline void zandrelParameterUri(char* out, size_t size, const char* id) {
    std::snprintf(out, size, "%s%s", kZandrelLv2Prefix, id);
}
