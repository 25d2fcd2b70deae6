#pragma once

#include "reports/pagemodel.h"

#include <QFont>
#include <QPainter>
#include <QRawFont>
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
    struct StyleFont {
        QFont font;
        QRawFont raw; // at the device's resolution
        double ascent = 0;
        double height = 0;
        std::vector<float> advances; // by glyph index, filled as glyphs are met; < 0 unknown
    };
    void prepareFonts(double dpiY);
    void drawRun(QPainter& painter, int style, const QRectF& box, HAlign align,
                 const QString& text);
    void flush(QPainter& painter);

    const PageModel& model_;
    std::vector<StyleFont> fonts_;
    double fontDpi_ = 0;
    // Texts of one style on one baseline, gathered into one glyph run.
    int batchStyle_ = -1;
    double batchBaseline_ = 0;
    QVector<quint32> batchGlyphs_;
    QVector<QPointF> batchPositions_;
    QVector<quint32> glyphs_;
    QVector<quint32> unknown_;
};

} // namespace kelvo
