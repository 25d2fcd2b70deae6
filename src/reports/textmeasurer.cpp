#include "reports/textmeasurer.h"

#include <QFontMetricsF>

namespace kelvo {

QFont fontOf(const ReportStyle& style) {
    QFont font(style.family);
    font.setPointSizeF(style.size);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    return font;
}

FontTextMeasurer::FontTextMeasurer(int dpi)
    : device_(1, 1, QImage::Format_ARGB32), mmPerPixel_(25.4 / dpi) {
    const int dotsPerMeter = qRound(dpi / 0.0254);
    device_.setDotsPerMeterX(dotsPerMeter);
    device_.setDotsPerMeterY(dotsPerMeter);
}

double FontTextMeasurer::width(const QString& text, const ReportStyle& style) {
    return QFontMetricsF(fontOf(style), &device_).horizontalAdvance(text) * mmPerPixel_;
}

double FontTextMeasurer::lineHeight(const ReportStyle& style) {
    return QFontMetricsF(fontOf(style), &device_).lineSpacing() * mmPerPixel_;
}

} // namespace kelvo
