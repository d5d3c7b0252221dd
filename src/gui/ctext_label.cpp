#include "ctext_label.h"

CTextLabel::CTextLabel(const CRect& size, std::string text, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style), text(std::move(text)) {}

void CTextLabel::setText(std::string t) {
    if (t == text) return;
    text = std::move(t);
    setDirty();
}
