#pragma once

#include "reports/pagemodel.h"

#include <QFont>
#include <QPainter>
#include <vector>

namespace kelvo {

// Draws pages of a prepared report with a QPainter on any device: the preview
// widget, a printer, a PDF writer, an image. Coordinates are converted from
// millimetres with the device's resolution; a zoom is the caller's painter scale.
class PagePainter {
public:
    explicit PagePainter(const PageModel& model);

    // Paints page `index` with its top left corner at the painter's origin.
    // dpiX and dpiY are the resolution of the painter's device.
    void paint(QPainter& painter, int index, double dpiX, double dpiY);

private:
    const PageModel& model_;
    std::vector<QFont> fonts_;
};

} // namespace kelvo
