#include "font_caches.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

void releaseFontCaches() {
    cairo_debug_reset_static_data();
    FcFini();
}
