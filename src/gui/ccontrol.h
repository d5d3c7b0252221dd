// A view with a value in a range, a tag and a listener.
#pragma once

#include "cview.h"
#include "icontrol_listener.h"

class CControl : public CView {
public:
    CControl(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
             CBitmap* background = nullptr);

    virtual void setValue(float v);
    float getValue() const { return value; }
    void setValueNormalized(float v);
    float getValueNormalized() const;
    void setDefaultValue(float v) { defaultValue = v; }
    float getDefaultValue() const { return defaultValue; }
    void setMin(float v) { vmin = v; }
    void setMax(float v) { vmax = v; }
    float getMin() const { return vmin; }
    float getMax() const { return vmax; }
    void bounceValue();

    void setTag(int32_t t) { tag = t; }
    int32_t getTag() const { return tag; }
    void setListener(IControlListener* l) { listener = l; }
    IControlListener* getListener() const { return listener; }

    // Tells the listener the value changed.
    virtual void valueChanged();
    void beginEdit();
    void endEdit();
    bool isEditing() const { return editing > 0; }

    // The reset gesture: a left click with Control held restores the
    // default value. True when it applied.
    bool checkDefaultValue(int32_t buttons);

protected:
    IControlListener* listener;
    int32_t tag;
    float value = 0.f;
    float defaultValue = 0.5f;
    float vmin = 0.f;
    float vmax = 1.f;
    int32_t editing = 0;
};
