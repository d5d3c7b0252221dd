#include "piano_roll.h"

#include "render_error.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <fontconfig/fontconfig.h>
#include <map>
#include <memory>

namespace {

struct Note {
    double start, end; // seconds
    int key, channel;
};

struct Rgb {
    double r, g, b;
};

// Sixteen clearly different hues, one per MIDI channel.
Rgb channelColour(int channel) {
    const double hue = std::fmod(channel * 0.38196601125, 1.0) * 6.0; // golden-ratio steps
    const double x = 1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0);
    const Rgb steps[6] = {{1, x, 0}, {x, 1, 0}, {0, 1, x}, {0, x, 1}, {x, 0, 1}, {1, 0, x}};
    const Rgb c = steps[static_cast<int>(hue) % 6];
    return {0.25 + 0.7 * c.r, 0.25 + 0.7 * c.g, 0.25 + 0.7 * c.b};
}

std::vector<Note> notesOf(const std::vector<TimedMidi>& events, double rate, double endSeconds) {
    std::vector<Note> notes;
    std::map<int, std::vector<double>> open; // channel << 7 | key → start times
    for (const auto& e : events) {
        const int kind = e.status & 0xF0;
        const int id = ((e.status & 0x0F) << 7) | e.data1;
        const double t = static_cast<double>(e.sample) / rate;
        if (kind == 0x90 && e.data2 > 0) {
            open[id].push_back(t);
        } else if ((kind == 0x80 || kind == 0x90) && !open[id].empty()) {
            notes.push_back({open[id].front(), t, e.data1, e.status & 0x0F});
            open[id].erase(open[id].begin());
        }
    }
    for (const auto& [id, starts] : open)
        for (double s : starts) notes.push_back({s, endSeconds, id & 0x7F, id >> 7});
    return notes;
}

struct Panel {
    double top, height;
    const char* title;
    bool filled; // input notes are drawn as outlines, output notes filled
};

} // namespace

namespace {

cairo_status_t drawPianoRoll(const std::string& path, const RenderResult& render,
                             const TempoMap& tempo, const SmfTimeSignature& timeSignature,
                             double sampleRate) {
    const double seconds = std::max(static_cast<double>(render.frames) / sampleRate, 0.001);
    const auto input = notesOf(render.input, sampleRate, seconds);
    const auto output = notesOf(render.output, sampleRate, seconds);
    int lowest = 127, highest = 0;
    for (const auto* notes : {&input, &output})
        for (const auto& n : *notes) {
            lowest = std::min(lowest, n.key);
            highest = std::max(highest, n.key);
        }
    if (lowest > highest) lowest = 48, highest = 72;
    lowest = std::max(0, lowest - 2);
    highest = std::min(127, highest + 2);

    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPianoRollWidth, kPianoRollHeight),
        cairo_surface_destroy);
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> context(cairo_create(surface.get()),
                                                         cairo_destroy);
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 0.11, 0.11, 0.13);
    cairo_paint(cr);

    const double left = 60, right = kPianoRollWidth - 20, header = 30, gap = 24;
    const double panelHeight = (kPianoRollHeight - header - gap - 20) / 2;
    const Panel panels[2] = {{header, panelHeight, "Input", false},
                             {header + panelHeight + gap, panelHeight, "Zandrel output", true}};
    const double xPerSecond = (right - left) / seconds;
    const double rowHeight = panelHeight / (highest - lowest + 1);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 12);

    for (int p = 0; p < 2; ++p) {
        const Panel& panel = panels[p];
        // Black keys a shade darker, C rows labelled: the musician's grid.
        for (int key = lowest; key <= highest; ++key) {
            const double y = panel.top + (highest - key) * rowHeight;
            const bool black = (0x54A >> (key % 12)) & 1;
            cairo_set_source_rgb(cr, black ? 0.15 : 0.19, black ? 0.15 : 0.19, black ? 0.17 : 0.21);
            cairo_rectangle(cr, left, y, right - left, rowHeight);
            cairo_fill(cr);
            if (key % 12 == 0 && rowHeight * 3 > 12) {
                cairo_set_source_rgb(cr, 0.7, 0.7, 0.7);
                cairo_move_to(cr, 8, y + rowHeight);
                cairo_show_text(cr, ("C" + std::to_string(key / 12 - 2)).c_str());
            }
        }
        cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
        cairo_move_to(cr, left, panel.top - 6);
        cairo_show_text(cr, panel.title);
    }

    // Bar lines over both panels, numbered above the first.
    const double quartersPerBar = timeSignature.numerator * 4.0 / timeSignature.denominator;
    const double lastQuarter = tempo.quarterOfSeconds(seconds);
    const double barStep = std::max(1.0, std::ceil(lastQuarter / quartersPerBar / 200.0));
    for (double bar = 0; bar * quartersPerBar <= lastQuarter; bar += barStep) {
        const double x = left + tempo.secondsOfQuarter(bar * quartersPerBar) * xPerSecond;
        cairo_set_source_rgb(cr, 0.45, 0.45, 0.5);
        cairo_set_line_width(cr, 1);
        for (const auto& panel : panels) {
            cairo_move_to(cr, std::floor(x) + 0.5, panel.top);
            cairo_line_to(cr, std::floor(x) + 0.5, panel.top + panel.height);
        }
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.7, 0.7, 0.7);
        cairo_move_to(cr, x + 3, 14);
        cairo_show_text(cr, std::to_string(static_cast<int>(bar) + 1).c_str());
    }

    for (int p = 0; p < 2; ++p) {
        const Panel& panel = panels[p];
        for (const auto& n : p == 0 ? input : output) {
            const Rgb c = channelColour(n.channel);
            const double x = left + n.start * xPerSecond;
            const double w = std::max((n.end - n.start) * xPerSecond, 2.0);
            const double y = panel.top + (highest - n.key) * rowHeight;
            cairo_set_source_rgb(cr, c.r, c.g, c.b);
            if (panel.filled) {
                cairo_rectangle(cr, x, y + 0.5, w, std::max(rowHeight - 1, 1.0));
                cairo_fill(cr);
            } else {
                cairo_set_line_width(cr, 1.5);
                cairo_rectangle(cr, x + 0.75, y + 0.75, w - 1.5, std::max(rowHeight - 1.5, 1.0));
                cairo_stroke(cr);
            }
        }
    }

    cairo_surface_flush(surface.get());
    return cairo_surface_write_to_png(surface.get(), path.c_str());
}

} // namespace

void writePianoRoll(const std::string& path, const RenderResult& render, const TempoMap& tempo,
                    const SmfTimeSignature& timeSignature, double sampleRate) {
    const cairo_status_t status = drawPianoRoll(path, render, tempo, timeSignature, sampleRate);
    // The font caches cairo and fontconfig keep for the process are given
    // back, so that a leak checker run on the renderer finds nothing.
    cairo_debug_reset_static_data();
    FcFini();
    if (status != CAIRO_STATUS_SUCCESS)
        throw RenderError("cannot write the piano roll picture: " +
                          std::string(cairo_status_to_string(status)));
}
