#include "demo_editor.h"

#include "canim_knob.h"
#include "cbitmap.h"
#include "cfile_selector.h"
#include "chorizontal_switch.h"
#include "ckick_button.h"
#include "con_off_button.h"
#include "coption_menu.h"
#include "csplash_screen.h"
#include "ctext_edit.h"
#include "ctext_label.h"
#include "cvstgui_timer.h"

#include <cmath>
#include <cstdlib>

namespace {
CBitmap* loadBitmap(int id, int scale) {
    return new CBitmap(scale == 2 ? id + 20000 : id);
}

// A kick button that starts a file drag when the pointer leaves the window
// with the button held.
class DragOutButton : public CKickButton {
public:
    using CKickButton::CKickButton;
    std::function<void()> onDragOut;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override {
        CPoint p = localToFrame(where);
        if ((buttons & kLButton) && frame && !frame->getViewSize().pointInside(p) && onDragOut) {
            onDragOut();
            return kMouseEventHandled;
        }
        return CKickButton::onMouseMoved(where, buttons);
    }
};
} // namespace

DemoEditor::DemoEditor(int scale, FILE* log)
    : AEffGUIEditor(nullptr), scale(scale), pendingScale(scale), log(log) {}

DemoEditor::~DemoEditor() {
    close();
}

const std::string& DemoEditor::getStatus() const {
    return status->getText();
}

void DemoEditor::buildFrame() {
    const double s = scale;
    auto R = [&](double v) { return std::round(v * s); };
    auto at = [&](double l, double t, double w, double h) {
        return CRect(R(l), R(t), R(l) + w, R(t) + h);
    };

    CBitmap* bg = loadBitmap(128, scale);
    if (!frame) {
        frame = new CFrame(CRect(0, 0, bg->getWidth(), bg->getHeight()), this);
        rect = EditorRect{0, 0, static_cast<int32_t>(bg->getHeight()),
                          static_cast<int32_t>(bg->getWidth())};
    } else {
        // A rebuild at another scale: new views in the same window.
        frame->setModalView(nullptr);
        frame->setFocusView(nullptr);
        frame->removeAll();
        sizeWindow(static_cast<int32_t>(bg->getWidth()), static_cast<int32_t>(bg->getHeight()));
    }
    frame->setBackground(bg);
    bg->forget();

    CBitmap* b = loadBitmap(1130, scale);
    auto* onOff = new COnOffButton(at(20, 10, 0, 0), this, kOnOffTag, b);
    onOff->setViewSize(at(20, 10, b->getWidth(), b->getHeight() / 2));
    onOff->setMouseableArea(onOff->getViewSize());
    frame->addView(onOff);
    b->forget();

    b = loadBitmap(1131, scale);
    frame->addView(
        new CKickButton(at(90, 12, b->getWidth(), b->getHeight() / 2), this, kKickTag, b));
    b->forget();

    auto* menu = new COptionMenu(at(120, 10, R(110), R(18)), this, kMenuTag);
    menu->addEntry("100% Size");
    menu->addEntry("200% Size");
    menu->checkEntry(scale - 1, true);
    menu->addSeparator();
    auto* sub = new COptionMenu(CRect(0, 0, 0, 0), nullptr, 80);
    sub->addEntry("Sort by Low Note ");
    sub->addEntry("Sort by High Note ");
    sub->addEntry("Sort by Number of Notes ");
    menu->addEntry(sub, "Sort");
    menu->addEntry("Read The Manual...");
    menu->setCurrent(scale - 1);
    menu->setFont(CFontDesc{"Liberation Sans", 11 * s, kNormalFace});
    frame->addView(menu);

    // The arpeggiator section's background as a container with children.
    CBitmap* sectionBg = loadBitmap(135, scale);
    auto* section =
        new CViewContainer(CRect(0, R(37), sectionBg->getWidth(), R(37) + sectionBg->getHeight()));
    section->setBackground(sectionBg);
    sectionBg->forget();

    b = loadBitmap(143, scale);
    section->addView(new CHorizontalSwitch(at(8, 9, b->getWidth(), b->getHeight() / 8), this,
                                           kSwitchTag, 8, b->getHeight() / 8, 8, b));
    b->forget();

    b = loadBitmap(129, scale);
    auto* knob = new CAnimKnob(at(376, 302, b->getWidth(), b->getHeight() / 120), this, kKnobTag,
                               120, b->getHeight() / 120, b);
    knob->setDefaultValue(0.58f);
    knob->setValue(0.58f);
    section->addView(knob);
    b->forget();

    auto* edit = new CTextEdit(at(162, 306, R(205), R(18)), this, kTextEditTag, "Pattern A");
    edit->setFont(CFontDesc{"Liberation Sans", 11 * s, kNormalFace});
    edit->setBackColor(CColor{18, 20, 24, 255});
    edit->setFrameColor(CColor{90, 96, 110, 255});
    section->addView(edit);
    frame->addView(section);

    auto* display = new CParamDisplay(at(303, 14, R(40), R(14)));
    display->setTag(kDisplayTag);
    display->setListener(this);
    display->setValueToStringFunction(
        [](float v) { return std::to_string(static_cast<int>(std::floor(v * 48.99)) - 24); });
    display->setValue(0.5f);
    display->setFont(CFontDesc{"Liberation Sans", 10 * s, kBoldFace});
    frame->addView(display);

    status = new CTextLabel(at(20, 440, R(550), R(20)), "Ready");
    status->setFont(CFontDesc{"Liberation Sans", 12 * s, kNormalFace});
    status->setBackColor(CColor{0, 0, 0, 0});
    status->setStyle(kNoFrame);
    status->setHoriAlign(kLeftText);
    frame->addView(status);

    b = loadBitmap(139, scale);
    frame->addView(
        new CKickButton(at(20, 480, b->getWidth(), b->getHeight() / 2), this, kOpenFileTag, b));
    b->forget();

    b = loadBitmap(1141, scale);
    auto* drag =
        new DragOutButton(at(60, 470, b->getWidth(), b->getHeight() / 2), this, kDragTag, b);
    drag->onDragOut = [this]() {
        if (dragStarted) return;
        dragStarted = true;
        const char* path = "/tmp/zandrel-demo-drag.txt";
        if (FILE* f = std::fopen(path, "w")) {
            std::fputs("dragged out of the toolkit demo\n", f);
            std::fclose(f);
        }
        bool ok = frame->doDrag({path});
        status->setText(ok ? "Drag started" : "Drag not available");
        std::fprintf(log, "drag %s\n", ok ? "started" : "unavailable");
        std::fflush(log);
    };
    frame->addView(drag);
    b->forget();

    CBitmap* about = loadBitmap(136, scale);
    frame->addView(new CSplashScreen(at(346, 2, R(204), R(32)), this, kSplashTag, about,
                                     at(10, 60, about->getWidth(), about->getHeight())));
    about->forget();
}

bool DemoEditor::open(void* parentWindow) {
    AEffGUIEditor::open(parentWindow);
    if (!frame) buildFrame();
    return openFrame(parentWindow);
}

void DemoEditor::close() {
    AEffGUIEditor::close();
}

void DemoEditor::idle() {
    if (frame && pendingScale != scale) {
        scale = pendingScale;
        buildFrame();
        std::fprintf(log, "size %d %d\n", rect.right - rect.left, rect.bottom - rect.top);
        std::fflush(log);
    }
    AEffGUIEditor::idle();
}

void DemoEditor::valueChanged(CControl* control) {
    std::fprintf(log, "changed %d %.4f buttons %d\n", control->getTag(), control->getValue(),
                 frame ? frame->getCurrentMouseButtons() : 0);
    std::fflush(log);
    char text[96];
    if (control->getTag() == kMenuTag) {
        int32_t index;
        COptionMenu* m = static_cast<COptionMenu*>(control)->getLastItemMenu(index);
        std::snprintf(text, sizeof text, "Menu %d entry %d: %s", m ? m->getTag() : -1, index,
                      m && m->getEntry(index) ? m->getEntry(index)->title.c_str() : "");
        std::fprintf(log, "menu %d %d\n", m ? m->getTag() : -1, index);
        std::fflush(log);
        // The size entries rebuild the window at the next idle, never from
        // inside the menu's own callback.
        if (m == control && index <= 1) pendingScale = index + 1;
    } else if (control->getTag() == kTextEditTag) {
        std::snprintf(text, sizeof text, "Text: %s",
                      static_cast<CTextEdit*>(control)->getText().c_str());
    } else {
        std::snprintf(text, sizeof text, "Control %d = %.3f", control->getTag(),
                      control->getValue());
    }
    status->setText(text);
    if (control->getTag() == kOpenFileTag && control->getValue() > 0.5f) {
        auto* selector = new CFileSelector(CFileSelector::kSelectSaveFile);
        selector->setTitle("Save Preset...");
        selector->addFileExtension("Presets", "fxp");
        selector->setInitialDirectory("/tmp");
        selector->setDefaultSaveName("demo.fxp");
        selector->run(this);
        selector->forget();
    }
    if (control->getTag() == kDragTag && control->getValue() < 0.5f) dragStarted = false;
}

CMessageResult DemoEditor::notify(CBaseObject* sender, const char* message) {
    if (message == kSelectEndMessage) {
        auto* selector = static_cast<CFileSelector*>(sender);
        const char* file = selector->getSelectedFile(0);
        std::fprintf(log, "file %s\n", file ? file : "(none)");
        std::fflush(log);
        status->setText(std::string("File: ") + (file ? file : "(cancelled)"));
        return kMessageNotified;
    }
    return kMessageUnknown;
}
