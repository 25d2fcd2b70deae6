#pragma once

#include "reports/reporttemplate.h"

#include <memory>
#include <QFont>
#include <QImage>
#include <QString>
#include <vector>

namespace kelvo {

// Measures texts in a style, in millimetres. The layout breaks wrapping texts
// with it; tests pass fixed widths so that page breaks do not depend on fonts.
class TextMeasurer {
  public:
    virtual ~TextMeasurer() = default;
    virtual double width(const QString& text, const ReportStyle& style) = 0;
    virtual double lineHeight(const ReportStyle& style) = 0;
};

// The style's real font at print resolution. Needs a QGuiApplication.
class FontTextMeasurer final : public TextMeasurer {
  public:
    explicit FontTextMeasurer(int dpi = 600);
    double width(const QString& text, const ReportStyle& style) override;
    double lineHeight(const ReportStyle& style) override;

  private:
    QImage device_; // gives the font metrics their resolution
    double mmPerPixel_;
};

QFont fontOf(const ReportStyle& style);

} // namespace kelvo
