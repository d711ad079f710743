// A window's layout at the text scale of the large font. Texts stand at (Round(x * FontScaleX),
// Round(y * FontScaleY)); a control placed at the normal font moves each of its edges the same
// way, so whatever stood clear of a text at the normal font still does, and a control that ended
// where a text began still ends there.
#pragma once

#include <QRect>
#include <QSize>

#include "core/model/model.h"
#include "core/model/numfmt.h"

namespace tarn {

struct LayoutScale {
    long double x = 1, y = 1;

    static LayoutScale Of(const DisplaySwitches& d) { return {d.FontScaleX, d.FontScaleY}; }
    bool IsNormal() const { return x == 1 && y == 1; }

    int X(int v) const { return Round(v * x); }
    int Y(int v) const { return Round(v * y); }
    // The rectangle whose edges are the scaled edges of r (r's right and bottom edges exclusive).
    QRect Rect(const QRect& r) const {
        const int left = X(r.x()), top = Y(r.y());
        return {left, top, X(r.x() + r.width()) - left, Y(r.y() + r.height()) - top};
    }
    QSize Size(const QSize& s) const { return {X(s.width()), Y(s.height())}; }
};

}  // namespace tarn
