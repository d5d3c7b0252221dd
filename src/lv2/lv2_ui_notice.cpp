#include "lv2_ui_notice.h"

#include "ctext_label.h"

namespace {
constexpr const char* kLines[2] = {
    "This host does not give the editor access to the plug-in (LV2 instance access).",
    "Zandrel's editor opens in hosts that do, such as Ardour, Carla and jalv.",
};
} // namespace

Lv2UiNotice::Lv2UiNotice() {
    rect = EditorRect{0, 0, kHeight, kWidth};
}

Lv2UiNotice::~Lv2UiNotice() {
    close();
}

bool Lv2UiNotice::open(void* parentWindow) {
    if (frame) close();
    AEffGUIEditor::open(parentWindow);
    frame = new CFrame(CRect(0, 0, kWidth, kHeight), this);
    for (int line = 0; line < 2; ++line) {
        // Each line fills half of the window, its text in the middle.
        const double top = line * kHeight / 2.0;
        auto* label = new CTextLabel(CRect(0, top, kWidth, top + kHeight / 2.0), kLines[line]);
        label->setStyle(kNoFrame);
        label->setBackColor(CColor{40, 40, 44, 255});
        label->setFontColor(CColor{230, 230, 230, 255});
        label->setHoriAlign(kCenterText);
        frame->addView(label);
    }
    return openFrame(parentWindow);
}
