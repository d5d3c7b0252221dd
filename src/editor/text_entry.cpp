// The text entry that a double click opens over a NoteNum or NoteVel
// display: a small pop-up with the display's text, accepted with Return.
#include "cparam_display2.h"
#include "parameter_indices.h"
#include "pop_text.h"
#include "text_entry_rule.h"
#include "zandrel_gui.h"

#include <algorithm>

void ZandrelGUI::openTextEntry(CParamDisplay2* display) {
    PopText* pop = views.popText;
    closeTextEntry();
    const CCoord width = R(42 * guiScaleF), height = R(18 * guiScaleF);
    const CRect window = frame->getViewSize();
    CPoint at = display->localToFrame(display->getViewSize().getCenter());
    at.x = std::round(at.x);
    at.y = std::round(at.y);
    if (at.x + width > window.right) at.x = window.right - width;
    if (at.y + height > window.bottom) at.y = window.bottom - height;
    pop->setViewSize(CRect(at.x, at.y, at.x + width, at.y + height));
    pop->setMouseableArea(pop->getViewSize());
    const bool note = display->getTag() < param::kNoteVelFirst;
    pop->setText(textEntryStart(display->getDisplayText(), note).c_str());
    pop->setTargetTag(display->getTag());
    pop->remember(); // the frame's; the editor keeps its own
    frame->addView(pop);
    frame->setFocusView(pop);
}

void ZandrelGUI::textEntered() {
    PopText* pop = views.popText;
    const int32_t tag = pop->getTargetTag();
    if (pop->isAccepted() && tag >= param::kNoteNumFirst && tag < param::kLockFirst) {
        const bool note = tag < param::kNoteVelFirst;
        const float value = typedValue(pop->getAcceptedText(), note ? TypedValueKind::kNoteNumber
                                                                    : TypedValueKind::kVelocity);
        views.byTag[tag]->setValue(value);
        writeAutomated(tag, value);
    }
    closeTextEntry();
}

void ZandrelGUI::closeTextEntry() {
    PopText* pop = views.popText;
    if (!pop || !pop->isAttached()) return;
    // Taking the focus away ends the edit, and its report closes the entry.
    if (frame->getFocusView() == pop) return frame->setFocusView(nullptr);
    frame->removeView(pop, true);
    frame->invalid();
}
