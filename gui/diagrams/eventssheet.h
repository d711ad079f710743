// The Valve Events window on paper and in a picture file: a title naming the design and the
// reference, the events table as Show shows it, the notes under it, and the gear curve below.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "core/analysis/eventsgrid.h"
#include "core/model/canvas.h"
#include "gui/common/pictureexport.h"

namespace tarn {

struct EventsSheet {
    std::string title;       // "Valve events of Nominal against the reference As built"
    std::string corner;      // the table's corner: "Gear", "Reference" or "Difference"
    std::string thirdTitle;  // "F - R", or "|F - R|" for the comparison
    EventsGrid grid;
    std::vector<std::string> notes;  // lines under the table
    // The curve at a size, on a canvas in its own state.
    std::function<void(Canvas&, int, int)> drawCurve;
    int curveWidth = 0, curveHeight = 0;
    bool smooth = false;  // drawn with smooth lines, as the main picture is
};

// The sheet as a picture: its pixels at the ratio given, and the same drawing for SVG and PDF.
Picture EventsSheetPicture(const EventsSheet& sheet, qreal ratio, const QString& subject);

}  // namespace tarn
