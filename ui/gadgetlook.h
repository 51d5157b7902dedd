// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QFont>

#include "core/tcolor.h"

namespace lsg::ui {

// The part of the gadget's look that the settings window changes: the caption's font and
// colour, the background and the whole-window transparency. The gadget window implements it;
// the settings window needs nothing else of the gadget.
class GadgetLook {
public:
    virtual QFont captionFont() const = 0;
    virtual void setCaptionFont(const QFont& font) = 0;
    virtual TColor captionColor() const = 0;
    virtual void setCaptionColor(TColor color) = 0;
    // Window, caption, total chart and every strip, hidden ones too.
    virtual TColor backgroundColor() const = 0;
    virtual void setBackgroundColor(TColor color) = 0;
    // Whole-window opacity 0..255 (255 opaque); only the low 8 bits count.
    virtual void setTransparency(int alpha) = 0;

protected:
    ~GadgetLook() = default;
};

}  // namespace lsg::ui
