// Draws every bitmap of the catalogue at 100 % and 200 % and writes them,
// PNG-encoded, as a C++ source of byte arrays with a lookup by id, so that
// the images travel inside the binary. With --png-dir it also writes the
// PNG files, for looking at them.
//
// usage: bitmap_generator OUTPUT.cpp [--png-dir DIR]

#include "bitmap_catalogue.h"
#include "bitmap_resources.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <fontconfig/fontconfig.h>
#include <string>
#include <vector>

namespace {

// One palette for everything: near-black panels, steel greys, one cyan
// accent for "on", white text.
struct Rgb {
    double r, g, b;
};
const Rgb kPanel{0.075, 0.08, 0.095};
const Rgb kPanelLight{0.13, 0.14, 0.165};
const Rgb kEdge{0.36, 0.39, 0.45};
const Rgb kAccent{0.15, 0.78, 0.95};
const Rgb kText{0.94, 0.95, 0.97};
const Rgb kDim{0.55, 0.58, 0.64};
const Rgb kWarm{0.98, 0.62, 0.18};

void set(cairo_t* cr, Rgb c, double a = 1) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, a);
}

void roundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void text(cairo_t* cr, const char* s, double cx, double cy, double size, Rgb c, bool bold = true) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    set(cr, c);
    cairo_move_to(cr, cx - e.x_advance / 2, cy + e.height / 2 - (e.height + e.y_bearing));
    cairo_show_text(cr, s);
}

// A text that shrinks until it fits the width, centred on (cx, cy) by the
// font's ascent and descent, so that words with and without descenders
// stand on one line.
void fittedText(cairo_t* cr, const char* s, double cx, double cy, double size, double maxW, Rgb c) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    if (e.x_advance > maxW) {
        cairo_set_font_size(cr, size * maxW / e.x_advance);
        cairo_text_extents(cr, s, &e);
    }
    cairo_font_extents_t f;
    cairo_font_extents(cr, &f);
    set(cr, c);
    cairo_move_to(cr, cx - e.x_advance / 2, cy + (f.ascent - f.descent) / 2);
    cairo_show_text(cr, s);
}

enum class Align { Left, Center, Right };

// A label on a background: x and y at 100 %, y the middle of the text.
void label(cairo_t* cr, double s, const char* t, double x, double y, double size, Align align,
           Rgb c = kDim) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size * s);
    cairo_text_extents_t e;
    cairo_text_extents(cr, t, &e);
    double left = x * s;
    if (align == Align::Center) left -= e.x_advance / 2;
    if (align == Align::Right) left -= e.x_advance;
    cairo_font_extents_t f;
    cairo_font_extents(cr, &f);
    set(cr, c);
    cairo_move_to(cr, left, y * s + (f.ascent - f.descent) / 2);
    cairo_show_text(cr, t);
}

// A recessed panel behind a display: dark for the light value text, light
// (an LCD) for the dark text of chord names and preset titles.
void panel(cairo_t* cr, double s, double x0, double y0, double x1, double y1, bool light) {
    roundRect(cr, x0 * s, y0 * s, (x1 - x0) * s, (y1 - y0) * s, 2 * s);
    if (light)
        cairo_set_source_rgb(cr, 0.78, 0.83, 0.80);
    else
        cairo_set_source_rgb(cr, 0.04, 0.045, 0.055);
    cairo_fill_preserve(cr);
    set(cr, light ? Rgb{0.45, 0.5, 0.5} : kEdge, 0.8);
    cairo_set_line_width(cr, s);
    cairo_stroke(cr);
}

// Small drawn symbols, in a box of size d around (cx, cy).
void symbol(cairo_t* cr, const char* name, double cx, double cy, double d, Rgb c) {
    const std::string n = name;
    set(cr, c);
    cairo_set_line_width(cr, std::max(1.0, d * 0.12));
    if (n == "#lock") {
        // A padlock: shackle over a body.
        cairo_arc(cr, cx, cy - d * 0.1, d * 0.22, M_PI, 2 * M_PI);
        cairo_line_to(cr, cx + d * 0.22, cy + d * 0.05);
        cairo_move_to(cr, cx - d * 0.22, cy - d * 0.1);
        cairo_line_to(cr, cx - d * 0.22, cy + d * 0.05);
        cairo_stroke(cr);
        cairo_rectangle(cr, cx - d * 0.34, cy + d * 0.02, d * 0.68, d * 0.42);
        cairo_fill(cr);
    } else if (n == "#list") {
        for (int i = -1; i <= 1; ++i) {
            cairo_move_to(cr, cx - d * 0.35, cy + i * d * 0.28);
            cairo_line_to(cr, cx + d * 0.35, cy + i * d * 0.28);
        }
        cairo_stroke(cr);
    } else if (n == "#save") {
        // An arrow down into a tray.
        cairo_move_to(cr, cx, cy - d * 0.42);
        cairo_line_to(cr, cx, cy + d * 0.12);
        cairo_stroke(cr);
        cairo_move_to(cr, cx - d * 0.25, cy - d * 0.08);
        cairo_line_to(cr, cx, cy + d * 0.2);
        cairo_line_to(cr, cx + d * 0.25, cy - d * 0.08);
        cairo_stroke(cr);
        cairo_move_to(cr, cx - d * 0.38, cy + d * 0.1);
        cairo_line_to(cr, cx - d * 0.38, cy + d * 0.4);
        cairo_line_to(cr, cx + d * 0.38, cy + d * 0.4);
        cairo_line_to(cr, cx + d * 0.38, cy + d * 0.1);
        cairo_stroke(cr);
    } else if (n == "#speaker") {
        cairo_move_to(cr, cx - d * 0.42, cy - d * 0.15);
        cairo_line_to(cr, cx - d * 0.2, cy - d * 0.15);
        cairo_line_to(cr, cx + d * 0.05, cy - d * 0.4);
        cairo_line_to(cr, cx + d * 0.05, cy + d * 0.4);
        cairo_line_to(cr, cx - d * 0.2, cy + d * 0.15);
        cairo_line_to(cr, cx - d * 0.42, cy + d * 0.15);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_arc(cr, cx + d * 0.05, cy, d * 0.3, -M_PI / 4, M_PI / 4);
        cairo_stroke(cr);
    } else if (n == "#tie") {
        // A held note: a note head with a tie running on from it.
        cairo_save(cr);
        cairo_translate(cr, cx - d * 0.22, cy + d * 0.05);
        cairo_scale(cr, 1.0, 0.7);
        cairo_arc(cr, 0, 0, d * 0.17, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
        cairo_move_to(cr, cx - d * 0.1, cy + d * 0.22);
        cairo_curve_to(cr, cx, cy + d * 0.42, cx + d * 0.35, cy + d * 0.42, cx + d * 0.45,
                       cy + d * 0.2);
        cairo_stroke(cr);
    }
}

void drawButton(cairo_t* cr, const BitmapEntry& b, double s, int state, double y0, double h) {
    double w = b.width * s;
    double lw = std::max(1.0, s);
    roundRect(cr, lw / 2, y0 + lw / 2, w - lw, h - lw, 3 * s);
    set(cr, state ? kAccent : kPanelLight, state ? 0.85 : 1);
    cairo_fill_preserve(cr);
    set(cr, state ? kText : kEdge);
    cairo_set_line_width(cr, lw);
    cairo_stroke(cr);
    const Rgb ink = state ? kPanel : kText;
    if (b.label[0] == '#') {
        symbol(cr, b.label, w / 2, y0 + h / 2, std::min(w, h) * 0.8, ink);
        return;
    }
    // A menu button says so with a small triangle after its word.
    const bool menu = b.id == 1137;
    const double room = menu ? w - 14 * s : w;
    fittedText(cr, b.label, room / 2 + (menu ? 2 * s : 0), y0 + h / 2, std::min(h * 0.55, 11 * s),
               room - 4 * s, ink);
    if (menu) {
        set(cr, ink);
        cairo_move_to(cr, w - 13 * s, y0 + h / 2 - 2 * s);
        cairo_line_to(cr, w - 6 * s, y0 + h / 2 - 2 * s);
        cairo_line_to(cr, w - 9.5 * s, y0 + h / 2 + 2.5 * s);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
}

void drawSwitch(cairo_t* cr, const BitmapEntry& b, double s, int state, double y0, double h) {
    double w = b.width * s;
    double lw = std::max(1.0, s);
    const bool tall = h > w * 0.9;
    roundRect(cr, lw / 2, y0 + lw / 2, w - lw, h - lw, 3 * s);
    if (b.label[0]) {
        set(cr, kPanelLight);
        cairo_fill_preserve(cr);
    } else {
        // The middle stays clear: the background's label shows through it.
        set(cr, state ? kAccent : kPanel, state ? 0.12 : 0.0);
        cairo_fill_preserve(cr);
    }
    set(cr, state ? kAccent : kEdge);
    cairo_set_line_width(cr, lw);
    cairo_stroke(cr);
    // The lamp: dark when off, lit when on; on top of tall switches, at the
    // left of wide ones.
    const double r = tall ? std::min(w, h) * 0.11 : h * 0.2;
    const double lx = tall ? w / 2 : 7.5 * s;
    const double ly = tall ? y0 + std::max(4.5 * s, h * 0.16) : y0 + h / 2;
    cairo_arc(cr, lx, ly, r, 0, 2 * M_PI);
    set(cr, state ? kAccent : Rgb{0.2, 0.22, 0.26});
    cairo_fill(cr);
    if (!b.label[0]) return;
    const Rgb ink = state ? kText : kDim;
    if (!tall) {
        // Beside the lamp, in the rest of the width.
        const double left = lx + r + 2 * s;
        fittedText(cr, b.label, (left + w - 2 * s) / 2, y0 + h / 2, std::min(h * 0.5, 11 * s),
                   w - left - 3 * s, ink);
        return;
    }
    const double top = ly + r + s, bottom = y0 + h - 2 * s;
    if (b.label[0] == '#')
        symbol(cr, b.label, w / 2, (top + bottom) / 2, std::min(w * 0.8, bottom - top), ink);
    else
        fittedText(cr, b.label, w / 2, (top + bottom) / 2, std::min(h * 0.3, 10 * s), w - 3 * s,
                   ink);
}

void drawKnobFrame(cairo_t* cr, const BitmapEntry& b, double s, int frame, double y0, double h) {
    double w = b.width * s;
    double cx = w / 2, cy = y0 + h / 2, r = std::min(w, h) / 2 - 2 * s;
    double a0 = M_PI * 0.75, a1 = M_PI * 2.25;
    double a = a0 + (a1 - a0) * frame / (b.states - 1);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    set(cr, kPanelLight);
    cairo_fill(cr);
    cairo_set_line_width(cr, 2 * s);
    cairo_arc(cr, cx, cy, r - s, a0, a1);
    set(cr, Rgb{0.22, 0.24, 0.28});
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, r - s, a0, a);
    set(cr, kAccent);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2 * s);
    cairo_move_to(cr, cx + std::cos(a) * r * 0.2, cy + std::sin(a) * r * 0.2);
    cairo_line_to(cr, cx + std::cos(a) * (r - 2 * s), cy + std::sin(a) * (r - 2 * s));
    set(cr, kText);
    cairo_stroke(cr);
}

void drawHeader(cairo_t* cr, double s) {
    cairo_move_to(cr, 0, 36.5 * s);
    cairo_line_to(cr, 593 * s, 36.5 * s);
    cairo_stroke(cr);
    label(cr, s, "PREVIEW", 20, 33, 6, Align::Center);
    label(cr, s, "LATCH", 57, 33, 6, Align::Center);
    // Read through the clear middle of the two section switches.
    label(cr, s, "CHORDS", 127.5, 19, 7.5, Align::Center, kText);
    label(cr, s, "ARP", 202.5, 19, 7.5, Align::Center, kText);
    label(cr, s, "TRANSPOSE", 298, 20, 7, Align::Right);
    panel(cr, s, 301, 12, 331, 28, false);
    text(cr, "ZANDREL", 448 * s, 16 * s, 18 * s, kText);
    label(cr, s, "chord memory + arpeggiator", 448, 29.5, 7, Align::Center);
    // The options menu's face: three bars and its name.
    set(cr, kText);
    cairo_set_line_width(cr, 1.6 * s);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 559 * s, (9 + 4 * i) * s);
        cairo_line_to(cr, 573 * s, (9 + 4 * i) * s);
    }
    cairo_stroke(cr);
    label(cr, s, "OPTIONS", 566, 28, 6.5, Align::Center);
}

void drawArpSection(cairo_t* cr, double s) {
    label(cr, s, "PATTERN", 164, 268, 7, Align::Left);
    label(cr, s, "ARP PRESETS", 417, 268, 7, Align::Left);
    panel(cr, s, 416, 278, 522, 292, true);
    label(cr, s, "PATTERN NAME", 164, 299.5, 6.5, Align::Left);
    label(cr, s, "DIVIDE", 136, 305, 6.5, Align::Center);
    panel(cr, s, 122, 309, 150, 323, false);
    label(cr, s, "RESTART", 191, 338, 7.5, Align::Center, kText);
    label(cr, s, "LINK", 250, 338, 7.5, Align::Center, kText);
    label(cr, s, "CHORD", 343, 338, 7.5, Align::Center, kText);
    label(cr, s, "RATE", 390, 297, 6.5, Align::Center);
    label(cr, s, "SWING", 442, 297, 6.5, Align::Center);
    label(cr, s, "GATE", 482, 297, 6.5, Align::Center);
    label(cr, s, "NOTE RULES", 548.5, 297, 6.5, Align::Center);
    panel(cr, s, 13, 331, 105, 345, true);
}

void drawChordSection(cairo_t* cr, double s) {
    panel(cr, s, 40, 13, 122, 27, true);
    panel(cr, s, 415, 13, 523, 27, true);
    // The drag-out button's face: a file with a note on it.
    roundRect(cr, 5 * s, 30 * s, 48 * s, 84 * s, 4 * s);
    set(cr, kPanelLight);
    cairo_fill_preserve(cr);
    set(cr, kEdge);
    cairo_set_line_width(cr, s);
    cairo_stroke(cr);
    const double fx = 19 * s, fy = 42 * s, fw = 20 * s, fh = 26 * s, ear = 6 * s;
    cairo_move_to(cr, fx, fy);
    cairo_line_to(cr, fx + fw - ear, fy);
    cairo_line_to(cr, fx + fw, fy + ear);
    cairo_line_to(cr, fx + fw, fy + fh);
    cairo_line_to(cr, fx, fy + fh);
    cairo_close_path(cr);
    set(cr, kText);
    cairo_set_line_width(cr, 1.2 * s);
    cairo_stroke(cr);
    cairo_arc(cr, 27 * s, 61 * s, 2.6 * s, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_move_to(cr, 29.3 * s, 61 * s);
    cairo_line_to(cr, 29.3 * s, 50 * s);
    cairo_line_to(cr, 33 * s, 52 * s);
    cairo_stroke(cr);
    label(cr, s, "DRAG", 29, 84, 8, Align::Center, kText);
    label(cr, s, "MIDI OUT", 29, 95, 6.5, Align::Center);
    for (int v = 0; v < 8; ++v) {
        const char number[2] = {static_cast<char>('1' + v), 0};
        label(cr, s, number, 147 + 58 * v, 50, 10, Align::Center);
        panel(cr, s, 138 + 58 * v, 69, 170 + 58 * v, 83, false);
        panel(cr, s, 138 + 58 * v, 93, 170 + 58 * v, 107, false);
    }
    label(cr, s, "NOTE", 136, 76, 5.5, Align::Right);
    label(cr, s, "VEL", 136, 100, 5.5, Align::Right);
    label(cr, s, "KEY", 62, 101, 7, Align::Left);
    panel(cr, s, 83, 94, 125, 108, false);
}

void drawBackground(cairo_t* cr, const BitmapEntry& b, double s) {
    double w = b.width * s, h = b.height * s;
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(p, 0, kPanelLight.r, kPanelLight.g, kPanelLight.b);
    cairo_pattern_add_color_stop_rgb(p, 1, kPanel.r, kPanel.g, kPanel.b);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, s);
    set(cr, kEdge);
    if (b.look == BitmapLook::FrameBackground) return drawHeader(cr, s);
    cairo_rectangle(cr, s / 2, s / 2, w - s, h - s);
    cairo_stroke(cr);
    if (b.id == 135) drawArpSection(cr, s);
    if (b.id == 136) drawChordSection(cr, s);
}

void drawFontStrip(cairo_t* cr, double s) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    for (int g = 0; g < 95; ++g) {
        double x0 = std::round(kFontStripColumns[g] * s),
               x1 = std::round(kFontStripColumns[g + 1] * s);
        char ch[2] = {static_cast<char>(32 + g), 0};
        double size = 10.5 * s;
        cairo_set_font_size(cr, size);
        cairo_text_extents_t e;
        cairo_text_extents(cr, ch, &e);
        double cell = x1 - x0;
        cairo_save(cr);
        cairo_rectangle(cr, x0, 0, cell, 12 * s);
        cairo_clip(cr);
        double sx = e.width > cell - s ? (cell - s) / e.width : 1;
        cairo_translate(cr, x0 + (cell - e.width * sx) / 2 - e.x_bearing * sx, 9.5 * s);
        cairo_scale(cr, sx, 1);
        set(cr, kText);
        cairo_move_to(cr, 0, 0);
        cairo_show_text(cr, ch);
        cairo_restore(cr);
    }
}

// One octave of keys in the keyboards' geometry (black keys in the upper
// zone, white keys below).
void drawOctave(cairo_t* cr, double s, double y0, double upper, double keyH, Rgb white, Rgb black,
                Rgb mark) {
    static const double lower[7][2] = {{0, 9},   {10, 19}, {20, 30}, {30, 39},
                                       {40, 49}, {50, 59}, {60, 70}};
    static const double blacks[5][2] = {{5, 12}, {18, 24}, {36, 41}, {47, 53}, {58, 64}};
    for (auto& k : lower) {
        cairo_rectangle(cr, k[0] * s, y0, (k[1] - k[0] - 0.6) * s, keyH * s);
        set(cr, white);
        cairo_fill(cr);
    }
    for (auto& k : blacks) {
        cairo_rectangle(cr, k[0] * s, y0, (k[1] - k[0]) * s, upper * s);
        set(cr, black);
        cairo_fill(cr);
        cairo_rectangle(cr, k[0] * s + s, y0 + (upper - 4) * s, (k[1] - k[0] - 2) * s, 2 * s);
        set(cr, mark, 0.6);
        cairo_fill(cr);
    }
}

void drawBitmap(cairo_t* cr, const BitmapEntry& b, double s) {
    double w = b.width * s;
    double rowH = b.height * s / b.states;
    for (int st = 0; st < b.states; ++st) {
        double y0 = st * rowH;
        switch (b.look) {
        case BitmapLook::FrameBackground:
        case BitmapLook::SectionBackground:
            drawBackground(cr, b, s);
            break;
        case BitmapLook::Button:
            drawButton(cr, b, s, st, y0, rowH);
            break;
        case BitmapLook::Switch:
            drawSwitch(cr, b, s, st, y0, rowH);
            break;
        case BitmapLook::Knob:
            drawKnobFrame(cr, b, s, st, y0, rowH);
            break;
        case BitmapLook::LaneSelector: {
            // The eight lanes of a pattern, in their order.
            static const char* lanes[8] = {"Note",     "Spread", "Octave", "Scale",
                                           "Velocity", "Length", "Timing", "Interval"};
            double cw = w / 8;
            for (int i = 0; i < 8; ++i) {
                roundRect(cr, i * cw + s, y0 + s, cw - 2 * s, rowH - 2 * s, 3 * s);
                set(cr, i == st ? kAccent : kPanelLight);
                cairo_fill(cr);
                fittedText(cr, lanes[i], i * cw + cw / 2, y0 + rowH / 2, 9 * s, cw - 4 * s,
                           i == st ? kPanel : kDim);
            }
            break;
        }
        case BitmapLook::ScaleDegrees: {
            static const char* degrees[7] = {"1", "2", "3", "4", "5", "6", "7"};
            double cw = w / 7;
            for (int i = 0; i < 7; ++i) {
                roundRect(cr, i * cw + s, y0 + s, cw - 2 * s, rowH - 2 * s, 2 * s);
                set(cr, st ? kWarm : kPanelLight);
                cairo_fill(cr);
                fittedText(cr, degrees[i], i * cw + cw / 2, y0 + rowH / 2, 10 * s, cw - 2 * s,
                           st ? kPanel : kDim);
            }
            break;
        }
        case BitmapLook::FontStrip:
            drawFontStrip(cr, s);
            break;
        case BitmapLook::PianoOctave:
            drawOctave(cr, s, y0, 43, 59, st ? kAccent : Rgb{0.86, 0.87, 0.9},
                       st ? Rgb{0.05, 0.5, 0.65} : Rgb{0.1, 0.1, 0.12}, st ? kText : kEdge);
            break;
        case BitmapLook::ArpKeys: {
            static const Rgb rules[4] = {
                {0.86, 0.87, 0.9}, {0.85, 0.2, 0.25}, {0.25, 0.45, 0.95}, kWarm};
            Rgb shade{rules[st].r * 0.55, rules[st].g * 0.55, rules[st].b * 0.55};
            drawOctave(cr, s, y0, 29, 43, rules[st], st ? shade : Rgb{0.1, 0.1, 0.12}, kText);
            break;
        }
        case BitmapLook::StepSwitch:
            roundRect(cr, 2 * s, y0 + 2 * s, w - 4 * s, rowH - 4 * s, 2 * s);
            set(cr, st ? kAccent : Rgb{0.2, 0.22, 0.26});
            cairo_fill(cr);
            break;
        case BitmapLook::StepBar: {
            bool second = b.label[0] == '2';
            cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, rowH);
            Rgb top = second ? kWarm : kAccent;
            cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
            cairo_pattern_add_color_stop_rgb(p, 1, top.r * 0.45, top.g * 0.45, top.b * 0.45);
            cairo_rectangle(cr, 3 * s, 0, w - 6 * s, rowH);
            cairo_set_source(cr, p);
            cairo_fill(cr);
            cairo_pattern_destroy(p);
            break;
        }
        case BitmapLook::StepColumns:
            cairo_rectangle(cr, 0, 0, w, rowH);
            set(cr, b.label[0] == 'A' ? kPanelLight : Rgb{0.1, 0.11, 0.13});
            cairo_fill(cr);
            cairo_rectangle(cr, w - s, 0, s, rowH);
            set(cr, kEdge, 0.5);
            cairo_fill(cr);
            break;
        case BitmapLook::LoopStrip:
            cairo_rectangle(cr, 0, rowH * 0.3, w, rowH * 0.4);
            set(cr, kWarm, 0.8);
            cairo_fill(cr);
            break;
        case BitmapLook::SequenceCells: {
            double cw = w / 12;
            for (int i = 0; i < 12; ++i) {
                roundRect(cr, i * cw + s, y0 + s, cw - 2 * s, rowH - 2 * s, 2 * s);
                set(cr, st == 2 ? kAccent : st == 1 ? Rgb{0.25, 0.3, 0.38} : kPanelLight);
                cairo_fill(cr);
                char letter[2] = {static_cast<char>('A' + i), 0};
                text(cr, letter, i * cw + cw / 2, y0 + rowH / 2, 10 * s,
                     st == 2 ? kPanel
                     : st    ? kText
                             : kDim);
            }
            break;
        }
        }
        if (b.look == BitmapLook::FrameBackground || b.look == BitmapLook::SectionBackground ||
            b.look == BitmapLook::FontStrip)
            break;
    }
}

cairo_status_t appendPng(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp [--png-dir DIR]\n", argv[0]);
        return 2;
    }
    std::string pngDir = argc >= 4 && std::string(argv[2]) == "--png-dir" ? argv[3] : "";
    std::string source = "// Generated by bitmap_generator; do not edit.\n#include "
                         "\"bitmap_resources.h\"\n\nnamespace {\n";
    std::string table;
    for (const BitmapEntry& b : kBitmapCatalogue) {
        for (int scale = 1; scale <= 2; ++scale) {
            int id = b.id + (scale == 2 ? kDoubleSizeIdOffset : 0);
            cairo_surface_t* surface =
                cairo_image_surface_create(CAIRO_FORMAT_ARGB32, b.width * scale, b.height * scale);
            cairo_t* cr = cairo_create(surface);
            drawBitmap(cr, b, scale);
            cairo_destroy(cr);
            std::vector<unsigned char> png;
            if (cairo_surface_write_to_png_stream(surface, appendPng, &png) != CAIRO_STATUS_SUCCESS)
                return 1;
            if (!pngDir.empty())
                cairo_surface_write_to_png(surface,
                                           (pngDir + "/" + std::to_string(id) + ".png").c_str());
            cairo_surface_destroy(surface);
            source += "const unsigned char png" + std::to_string(id) + "[] = {";
            for (size_t i = 0; i < png.size(); ++i) {
                if (i % 24 == 0) source += "\n";
                source += std::to_string(png[i]) + ",";
            }
            source += "};\n";
            table += "    {" + std::to_string(id) + ", png" + std::to_string(id) + ", sizeof png" +
                     std::to_string(id) + "},\n";
        }
    }
    source += "const BitmapResource resources[] = {\n" + table + "};\n} // namespace\n\n";
    source += "const BitmapResource* findBitmapResource(int32_t id) {\n"
              "    for (const BitmapResource& r : resources)\n"
              "        if (r.id == id) return &r;\n"
              "    return nullptr;\n}\n";
    FILE* f = std::fopen(argv[1], "w");
    if (!f) return 1;
    std::fwrite(source.data(), 1, source.size(), f);
    // Hand back the font caches so that leak checkers see a clean exit.
    cairo_debug_reset_static_data();
    FcFini();
    return std::fclose(f) == 0 ? 0 : 1;
}
