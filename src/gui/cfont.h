// A font by family name, size in pixels and style. Names resolve through
// fontconfig, so "Courier New" becomes Liberation Mono where that is what
// is installed.
#pragma once

#include <string>

enum CFontStyle { kNormalFace = 0, kBoldFace = 1, kItalicFace = 2 };

struct CFontDesc {
    std::string name = "Liberation Sans";
    double size = 12;
    int style = kNormalFace;
};

// The toolkit's standard fonts.
inline const CFontDesc kSystemFont{"Liberation Sans", 12, kNormalFace};
inline const CFontDesc kNormalFontVeryBig{"Liberation Sans", 18, kNormalFace};
inline const CFontDesc kNormalFontBig{"Liberation Sans", 14, kNormalFace};
inline const CFontDesc kNormalFont{"Liberation Sans", 12, kNormalFace};
inline const CFontDesc kNormalFontSmall{"Liberation Sans", 11, kNormalFace};
inline const CFontDesc kNormalFontSmaller{"Liberation Sans", 10, kNormalFace};
inline const CFontDesc kNormalFontVerySmall{"Liberation Sans", 9, kNormalFace};
