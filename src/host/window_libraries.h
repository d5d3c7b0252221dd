// Under the sanitizers only. The libraries a plug-in's window brings with it
// (pixman, through Cairo) set things up when they are loaded and never free
// them; unloaded together with the plug-in, the leak checker blames that on
// a module that is gone. Marked resident right after the plug-in is loaded,
// they stay, while the plug-in itself is still unloaded as a host would
// unload it (a plug-in without a window has loaded none of them).
#pragma once

#include <dlfcn.h>

inline void keepWindowLibrariesLoaded() {
#ifdef __SANITIZE_ADDRESS__
    for (const char* name : {"libpixman-1.so.0", "libcairo.so.2"})
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
#endif
}
