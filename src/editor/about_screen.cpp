// The about screen's picture, drawn at every build at the window's size:
// a faint text-art picture of a step sequencer above a keyboard, each row
// in its own dark grey, under the name, the version and the link to the
// manual. The greys come from a fixed seed: the picture is the same at
// every build and on every machine.
#include "cbitmap.h"
#include "cdraw_context.h"
#include "zandrel_gui.h"

#include <random>
#include <string>

namespace {
constexpr int kArtRows = 38;
constexpr int kArtColumns = 80;
constexpr unsigned kArtSeed = 1111;

const CColor kPictureBack{40, 44, 52, 255};
const CColor kTitleText{236, 240, 246, 255};
const CColor kLineText{190, 198, 210, 255};
const CColor kLinkText{40, 200, 240, 255};

// One row of the picture: sixteen steps of bars (rows 0..23), a wave
// between them and the keys, and two octaves and a half of keys below.
std::string artRow(int row) {
    std::string line(kArtColumns, ' ');
    for (int c = 0; c < kArtColumns; ++c) {
        char& ch = line[static_cast<size_t>(c)];
        if (row < 24) {
            const int step = c / 5;
            const int height = 3 + (step * 7 + (step / 4) * 5) % 19;
            const int fromBottom = 23 - row;
            if (c % 5 == 4)
                ch = ' ';
            else if (fromBottom < height - 1)
                ch = step % 4 == 0 ? '#' : '=';
            else if (fromBottom == height - 1)
                ch = '_';
            else
                ch = (c + row) % 7 == 0 ? '.' : ' ';
        } else if (row < 26) {
            ch = "~-_-~^"[static_cast<size_t>((c + row * 3) % 6)];
        } else {
            // White keys four columns wide; black keys two columns over the
            // edges after C, D, F, G and A, in the upper rows.
            const int inOctave = c % 28;
            const int white = inOctave / 4;
            const int edge = inOctave % 4;
            const bool blackAfter = white != 2 && white != 6;
            const bool blackBefore = white != 0 && white != 3;
            if (row == kArtRows - 1)
                ch = edge == 0 ? '+' : '-';
            else if (row < 33 && ((edge == 3 && blackAfter) || (edge == 0 && blackBefore)))
                ch = '#';
            else
                ch = edge == 0 ? '|' : ' ';
        }
    }
    return line;
}
} // namespace

void ZandrelGUI::buildAboutBitmap() {
    CBitmap* background = bitmaps[128];
    auto* about = new CBitmap(static_cast<int32_t>(background->getWidth()),
                              static_cast<int32_t>(background->getHeight()));
    {
        const double s = guiScaleF;
        const CCoord width = about->getWidth();
        CDrawContext context(about);
        context.setFillColor(kPictureBack);
        context.drawRect(CRect(0, 0, width, about->getHeight()), kDrawFilled);

        std::minstd_rand random(kArtSeed);
        context.setFont(CFontDesc{"Liberation Mono", 12 * s, kNormalFace});
        const double rowHeight = 15 * s;
        for (int row = 0; row < kArtRows; ++row) {
            const auto grey = static_cast<uint8_t>(10 + random() % 12);
            context.setFontColor(CColor{grey, grey, grey, 255});
            const CCoord top = R(s * 8 + row * rowHeight);
            context.drawString(artRow(row), CRect(R(12 * s), top, width, top + R(rowHeight)),
                               kLeftText);
        }

        context.setFontColor(kTitleText);
        context.setFont(CFontDesc{"Liberation Sans", 26 * s, kBoldFace});
        context.drawString("Zandrel VST", CRect(0, R(32 * s), width, R(58 * s)));
        context.setFont(CFontDesc{"Liberation Sans", 13 * s, kNormalFace});
        context.drawString("Version 1.11", CRect(0, R(60 * s), width, R(76 * s)));
        context.setFontColor(kLineText);
        // Taller than the line: the underscores hang below the baseline.
        context.drawString("____________________________________",
                           CRect(0, R(70 * s), width, R(92 * s)));
        context.setFont(CFontDesc{"Liberation Sans", 12 * s, kNormalFace});
        context.drawString("chord memory and step arpeggiator, written for Linux",
                           CRect(0, R(92 * s), width, R(106 * s)));

        // The link box: the manual, opened by a click (the splash screen's
        // link rectangle, less the picture's vertical offset).
        const CRect link(R(207 * s), R(111 * s), R(386 * s), R(133 * s));
        context.setFillColor(CColor{20, 22, 28, 255});
        context.setFrameColor(kLinkText);
        context.setLineWidth(s);
        context.drawRect(link, kDrawFilledAndStroked);
        context.setFontColor(kLinkText);
        context.setFont(CFontDesc{"Liberation Sans", 12 * s, kBoldFace});
        context.drawString("Zandrel_Manual.pdf", link);
    }
    if (aboutBitmap) aboutBitmap->forget();
    aboutBitmap = about;
}
