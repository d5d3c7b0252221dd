// A single-line text field. A click gives it the focus; typing edits the
// text at the cursor; Return accepts (the listener hears valueChanged),
// Escape restores the text it had when editing began; losing the focus
// otherwise accepts.
#pragma once

#include "ctext_label.h"

class CTextEdit : public CTextLabel {
public:
    CTextEdit(const CRect& size, IControlListener* listener, int32_t tag, std::string text = {},
              CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;
    void takeFocus() override;
    void looseFocus() override;
    bool wantsFocus() const override { return true; }

    bool isEditing() const { return editingText; }
    size_t getCursor() const { return cursor; }
    void setMaxLength(size_t n) { maxLength = n; }
    // Whether the last edit ended with acceptance (Return or focus loss)
    // rather than Escape.
    bool wasAccepted() const { return accepted; }

protected:
    // Called when editing ends, after the text has been kept or restored.
    virtual void editingEnded(bool acceptedEdit);

private:
    std::string textBeforeEdit;
    size_t cursor = 0;
    size_t maxLength = 255;
    bool editingText = false;
    bool accepted = false;
    bool cancelPending = false;
};
