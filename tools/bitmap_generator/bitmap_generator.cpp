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

// A text that shrinks until it fits the width.
void fittedText(cairo_t* cr, const char* s, double cx, double cy, double size, double maxW, Rgb c) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    if (e.x_advance > maxW) size *= maxW / e.x_advance;
    text(cr, s, cx, cy, size, c);
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
    fittedText(cr, b.label, w / 2, y0 + h / 2, std::min(h * 0.55, 11 * s), w - 4 * s,
               state ? kPanel : kText);
}

void drawSwitch(cairo_t* cr, const BitmapEntry& b, double s, int state, double y0, double h) {
    double w = b.width * s;
    double lw = std::max(1.0, s);
    roundRect(cr, lw / 2, y0 + lw / 2, w - lw, h - lw, 3 * s);
    set(cr, kPanelLight);
    cairo_fill_preserve(cr);
    set(cr, state ? kAccent : kEdge);
    cairo_set_line_width(cr, lw);
    cairo_stroke(cr);
    // The lamp: dark when off, lit accent when on.
    double r = std::min(w, h) * 0.16;
    bool tall = h > w * 1.5;
    double lx = tall || b.label[0] ? w / 2 : w * 0.22;
    double ly = tall ? y0 + h * 0.2 : (b.label[0] ? y0 + h * 0.28 : y0 + h / 2);
    if (!b.label[0] && !tall) r = h * 0.22;
    cairo_arc(cr, lx, ly, r, 0, 2 * M_PI);
    set(cr, state ? kAccent : Rgb{0.2, 0.22, 0.26});
    cairo_fill(cr);
    if (b.label[0]) {
        double ty = tall ? y0 + h * 0.6 : y0 + h * 0.7;
        fittedText(cr, b.label, w / 2, ty, std::min(h * 0.4, 10 * s), w - 3 * s,
                   state ? kText : kDim);
    } else {
        const char* word = state ? "ON" : "OFF";
        text(cr, word, w * 0.62, y0 + h / 2, h * 0.5, state ? kText : kDim);
    }
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
    if (b.look == BitmapLook::FrameBackground) {
        // The header band with the name over the about-screen area.
        cairo_move_to(cr, 0, 36.5 * s);
        cairo_line_to(cr, w, 36.5 * s);
        cairo_stroke(cr);
        text(cr, b.label, 448 * s, 18 * s, 18 * s, kText);
        text(cr, "chord memory + arpeggiator", 448 * s, 30 * s, 7 * s, kDim, false);
    } else {
        cairo_rectangle(cr, s / 2, s / 2, w - s, h - s);
        cairo_stroke(cr);
        cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 8 * s);
        set(cr, kDim);
        cairo_move_to(cr, w - 90 * s, h - 5 * s);
        cairo_show_text(cr, b.label);
    }
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
            static const char* lanes[8] = {"Note",  "Octave", "Velocity", "Length",
                                           "Scale", "Chance", "Shift",    "Mode"};
            double cw = w / 8;
            for (int i = 0; i < 8; ++i) {
                roundRect(cr, i * cw + s, y0 + s, cw - 2 * s, rowH - 2 * s, 3 * s);
                set(cr, i == st ? kAccent : kPanelLight);
                cairo_fill(cr);
                text(cr, lanes[i], i * cw + cw / 2, y0 + rowH / 2, 9 * s, i == st ? kPanel : kDim);
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
                text(cr, degrees[i], i * cw + cw / 2, y0 + rowH / 2, 10 * s, st ? kPanel : kDim);
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
