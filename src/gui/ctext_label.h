// A display that shows a fixed text instead of its value.
#pragma once

#include "cparam_display.h"

class CTextLabel : public CParamDisplay {
public:
    CTextLabel(const CRect& size, std::string text = {}, CBitmap* background = nullptr,
               int32_t style = 0);

    void setText(std::string t);
    const std::string& getText() const { return text; }
    std::string getDisplayText() const override { return text; }

protected:
    std::string text;
};
