// controls-demo --png FILE [--scale 1|2]
// Renders every editor control in a few states on one page, headless, so
// that their look can be checked at both sizes.
#include "arp_pno_keys.h"
#include "cbitmap.h"
#include "cframe.h"
#include "cmulti_on_off_button.h"
#include "cparam_display2.h"
#include "ctext_label.h"
#include "font_caches.h"
#include "my_ckickstepseq.h"
#include "my_coption_menu.h"
#include "my_drag_button.h"
#include "my_sequence_selector.h"
#include "piano_keys.h"
#include "pop_text.h"
#include "scale_rule.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
struct Quiet : IControlListener {
    void valueChanged(CControl*) override {}
};

int render(const std::string& png, float s) {
    Quiet quiet;
    auto R = [s](double v) { return scaled(v, s); };
    auto at = [&](double l, double t, double w, double h) {
        return CRect(R(l), R(t), R(l) + R(w), R(t) + R(h));
    };
    auto* frame = new CFrame(CRect(0, 0, R(660), R(830)), nullptr);
    CBitmap* bg = new CBitmap(bitmapIdAtScale(135, s));
    frame->setBackground(bg);
    bg->forget();
    auto label = [&](double l, double t, const char* text) {
        auto* v = new CTextLabel(at(l, t, 560, 12), text);
        v->setFont(CFontDesc{"Liberation Sans", 9 * s, kNormalFace});
        v->setFontColor(CColor{150, 158, 170, 255});
        v->setBackColor(kTransparentCColor);
        v->setStyle(kNoFrame);
        v->setHoriAlign(kLeftText);
        frame->addView(v);
    };

    // Value displays: each style at a few values; the last one hovered.
    struct Shown {
        int style;
        float value;
        double width;
    };
    const Shown shown[] = {{0, 0.f, 30},  {0, 60 / 128.f, 30}, {0, 61 / 128.f, 30},
                           {0, 1.f, 30},  {0, 12 / 128.f, 30}, {1, 1.f, 40},
                           {2, 0.5f, 30}, {2, 1.f, 30},        {4, 1.f, 26},
                           {5, 0.f, 26},  {5, 0.5f, 26},       {5, 1.f, 26}};
    label(8, 4, "value displays (styles 0 0 0 0 0 1 2 2 4 5 5 5; the last hovered)");
    double x = 8;
    CParamDisplay2* last = nullptr;
    for (const Shown& d : shown) {
        auto* v = new CParamDisplay2(at(x, 18, d.width, 12), &quiet, 33, nullptr, 0, s);
        v->setDisplayStyle(d.style);
        v->setValue(d.value);
        v->setBackColor(kTransparentCColor);
        v->setFrameColor(CColor{60, 66, 78, 255});
        frame->addView(v);
        last = v;
        x += d.width + 8;
    }
    CPoint enter(0, 0);
    last->onMouseEntered(enter, 0);

    label(8, 40, "scale degrees, preset menus, text entry, drag button");
    auto* degrees = new CBitmap(bitmapIdAtScale(145, s));
    auto* row = new CMultiOnOffButton(at(8, 54, 140, 17), &quiet, 118, degrees);
    degrees->forget();
    const uint8_t flags[7] = {1, 0, 1, 1, 0, 0, 1};
    for (int i = 0; i < 7; ++i) row->flags[i] = flags[i];
    frame->addView(row);
    const char* titles[2] = {"Factory 03", "My Chords/Jazz Voicings Vol 2"};
    for (int i = 0; i < 2; ++i) {
        auto* menu = new MyCOptionMenu(at(160 + 118 * i, 56, 108, 14), &quiet, 78);
        menu->setTitle(titles[i]);
        menu->setFont(CFontDesc{"Liberation Sans", 10 * s, kNormalFace});
        menu->setFontColor(CColor{34, 34, 34, 255});
        menu->setBackColor(CColor{200, 204, 212, 255});
        frame->addView(menu);
    }
    auto* pop = new PopText(CRect(R(400), R(54), R(400) + 42, R(54) + 18), &quiet, 151);
    pop->setFont(CFontDesc{"Liberation Sans", 10 * s, kNormalFace});
    pop->setText("C#3");
    frame->addView(pop);
    frame->setFocusView(pop);
    auto* idlePop = new PopText(CRect(R(450), R(54), R(450) + 42, R(54) + 18), &quiet, 151);
    idlePop->setFont(CFontDesc{"Liberation Sans", 10 * s, kNormalFace});
    idlePop->setText("100");
    frame->addView(idlePop);
    frame->addView(new MyDragButton(at(590, 40, 58, 95), &quiet, 152, nullptr));

    label(8, 80, "chord keyboard: chord C E G B, stored chords, current key, Ab grabbed");
    auto* keys = new PianoKeys(at(8, 94, 561, 60), &quiet, 73, s);
    keys->setOctaveWidth(R(70), R(60));
    const float chord[4] = {60, 64, 67, 71};
    for (int v = 0; v < 4; ++v) keys->setVoiceNote(v, chord[v] / 128);
    keys->setVoiceNote(4, 68 / 128.f);
    for (int n : {36, 37, 48, 60, 61, 62, 72, 84, 96, 119}) keys->setMark(n, 1);
    keys->setCurrentKey(60 / 128.f);
    frame->addView(keys);
    // Grab the Ab: the hover frame shows while the button is held.
    KeyZones z;
    keys->zonesOf(68, z);
    CPoint grab = z.upper.getCenter();
    grab.y = z.upper.bottom - R(5);
    grab = keys->localToFrame(grab);
    frame->onMouseDown(grab, kLButton);

    label(8, 160, "chord keyboard at offset 0 with pattern keys; arpeggiator keys");
    auto* low = new PianoKeys(at(8, 174, 561, 60), &quiet, 73, s);
    low->setOctaveWidth(R(70), R(60));
    low->setKeyboardOffset(0);
    low->setPatternKeys(true);
    low->setVoiceNote(0, 24 / 128.f);
    low->setCurrentKey(3 / 128.f);
    frame->addView(low);

    auto* arp = new ArpPnoKeys(at(8, 240, 69, 43), &quiet, 97, s);
    arp->setRule(0, 1);
    arp->setRule(2, 2);
    arp->setRule(4, 3);
    arp->setRule(6, 1);
    arp->setSounding(7, true);
    arp->setSounding(9, true);
    arp->setSounding(10, true);
    frame->addView(arp);
    label(86, 256, "C muted, D -1, E +1, F# muted; G, A, A# sounding");

    label(8, 290, "pattern selector: A, B, E in use, E selected");
    auto* selector = new MySequenceSelector(at(8, 304, 240, 17), &quiet, 3, s);
    for (int c : {0, 1, 4}) selector->setMark(c, 1);
    selector->setValue(4 / 12.f);
    frame->addView(selector);

    label(8, 326, "step editor: note lane, loop 3-12, step 6 playing; markers on 2, 3");
    auto* seq = new MyCKickstepseq(at(8, 340, 577, 233), &quiet, 123, s, 1);
    const double h = seq->getBarAreaHeight();
    for (int i = 0; i < 16; ++i) {
        seq->setBarHeight(i, static_cast<int>(h * ((i * 5) % 16 + 1) / 16));
        seq->setStepSwitch(i, i % 5 != 3);
    }
    seq->setStepMarker(2, static_cast<int>(R(200)));
    seq->setStepMarker(3, static_cast<int>(R(40)));
    seq->setLoopStart(2);
    seq->setLength(10);
    seq->setPlayingStep(5);
    frame->addView(seq);

    label(8, 576, "step editor: lane 3 (second layer, note lane faint), step 9 being drawn");
    auto* lane = new MyCKickstepseq(at(8, 590, 577, 233), &quiet, 123, s, 1);
    lane->setCurrentLane(3);
    lane->setSecondLayerFlag(1);
    for (int i = 0; i < 16; ++i) {
        lane->setBarHeight(i, static_cast<int>(h * ((i * 7) % 16 + 1) / 16));
        lane->setSecondLayerHeight(i, lane->quantise(static_cast<int>(h * i / 15)));
    }
    lane->setPlayingStep(12);
    frame->addView(lane);
    CPoint draw = lane->localToFrame(CPoint(lane->getViewSize().left + 9.5 * lane->getStepWidth(),
                                            lane->getViewSize().top + h * 0.3));
    frame->onMouseDown(draw, kLButton);

    frame->redrawAll();
    int rc = cairo_surface_write_to_png(frame->getBackBuffer(), png.c_str()) == CAIRO_STATUS_SUCCESS
                 ? 0
                 : 1;
    frame->forget();
    return rc;
}
} // namespace

int main(int argc, char** argv) {
    std::string png;
    float scale = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--png")
            png = argv[i + 1];
        else if (a == "--scale")
            scale = std::atoi(argv[i + 1]) == 2 ? 2.f : 1.f;
    }
    if (png.empty()) {
        std::fprintf(stderr, "usage: %s --png FILE [--scale 1|2]\n", argv[0]);
        return 2;
    }
    int rc = render(png, scale);
    releaseFontCaches();
    return rc;
}
