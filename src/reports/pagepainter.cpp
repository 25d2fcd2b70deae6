#include "reports/pagepainter.h"

#include "reports/textmeasurer.h"

#include <cmath>
#include <QGlyphRun>
#include <QPen>

namespace kelvo {

PagePainter::PagePainter(const PageModel& model) : model_(model) {
    fonts_.resize(model.styles.size());
    for (size_t i = 0; i < model.styles.size(); ++i)
        fonts_[i].font = fontOf(model.styles[i]);
}

void PagePainter::prepareFonts(double dpiY) {
    if (fontDpi_ == dpiY)
        return;
    fontDpi_ = dpiY;
    for (size_t i = 0; i < fonts_.size(); ++i) {
        StyleFont& f = fonts_[i];
        f.raw = QRawFont::fromFont(f.font);
        if (f.raw.isValid()) {
            f.raw.setPixelSize(model_.styles[i].size * dpiY / 72.0);
            f.ascent = f.raw.ascent();
            f.height = f.raw.ascent() + f.raw.descent();
            f.advances.clear();
        }
    }
}

// A list prints hundreds of thousands of short texts. They are drawn as glyph
// runs straight from the font, skipping the text layout that drawText() does for
// each one, and the texts of one style on one line go out as a single run: a
// long PDF is written several times faster. Texts the font cannot show glyph by
// glyph fall back to drawText().
void PagePainter::drawRun(QPainter& painter, int styleIndex, const QRectF& box, HAlign align,
                          const QString& text) {
    StyleFont& style = fonts_[size_t(styleIndex)];
    if (style.raw.isValid())
        glyphs_ = style.raw.glyphIndexesForString(text);
    if (!style.raw.isValid() || glyphs_.contains(0u)) {
        flush(painter);
        int flags = Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine;
        flags |= align == HAlign::Right    ? Qt::AlignRight
                 : align == HAlign::Center ? Qt::AlignHCenter
                                           : Qt::AlignLeft;
        painter.setFont(style.font);
        painter.drawText(box, flags, text);
        return;
    }
    // Asking the font for advances is the costliest step left; a page repeats
    // the same few dozen glyphs, so they are asked once.
    unknown_.clear();
    for (quint32 g : glyphs_) {
        if (g >= style.advances.size())
            style.advances.resize(g + 1, -1.0f);
        if (style.advances[g] < 0)
            unknown_.append(g);
    }
    if (!unknown_.isEmpty()) {
        const QVector<QPointF> measured = style.raw.advancesForGlyphIndexes(unknown_);
        for (qsizetype i = 0; i < unknown_.size(); ++i)
            style.advances[unknown_[i]] = float(measured[i].x());
    }
    double width = 0;
    for (quint32 g : glyphs_)
        width += style.advances[g];
    double x = box.left();
    if (align == HAlign::Right)
        x = box.right() - width;
    else if (align == HAlign::Center)
        x = box.left() + (box.width() - width) / 2;
    const double baseline = box.top() + (box.height() - style.height) / 2 + style.ascent;
    if (batchStyle_ != styleIndex || std::abs(batchBaseline_ - baseline) > 0.01)
        flush(painter);
    batchStyle_ = styleIndex;
    batchBaseline_ = baseline;
    batchGlyphs_ += glyphs_;
    for (quint32 g : glyphs_) {
        batchPositions_.append(QPointF(x, 0));
        x += style.advances[g];
    }
}

void PagePainter::flush(QPainter& painter) {
    if (batchGlyphs_.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(fonts_[size_t(batchStyle_)].raw);
    run.setGlyphIndexes(batchGlyphs_);
    run.setPositions(batchPositions_);
    painter.drawGlyphRun(QPointF(0, batchBaseline_), run);
    batchGlyphs_.clear();
    batchPositions_.clear();
    batchStyle_ = -1;
}

void PagePainter::paint(QPainter& painter, int index, double dpiX, double dpiY) {
    if (index < 0 || index >= model_.pageCount())
        return;
    prepareFonts(dpiY);
    const Page& page = model_.pages[size_t(index)];
    const double sx = dpiX / 25.4;
    const double sy = dpiY / 25.4;
    const int pageCount = model_.pageCountShown();

    painter.save();
    painter.setBrush(Qt::NoBrush);
    QPen pen(Qt::black);
    pen.setCapStyle(Qt::FlatCap);
    for (const LineRun& l : page.lines) {
        pen.setWidthF(std::max(1.0, l.width * sx));
        painter.setPen(pen);
        painter.drawLine(QPointF(l.x1 * sx, l.y1 * sy), QPointF(l.x2 * sx, l.y2 * sy));
    }
    for (const RectRun& r : page.rects) {
        pen.setWidthF(std::max(1.0, r.lineWidth * sx));
        painter.setPen(pen);
        painter.drawRect(QRectF(r.x * sx, r.y * sy, r.width * sx, r.height * sy));
    }
    painter.setPen(Qt::black);
    for (const TextRun& run : page.texts) {
        const QRectF box(run.x * sx, run.y * sy, run.width * sx, run.height * sy);
        const QString text = run.hasPageCount
                                 ? page.text(run, pageCount)
                                 : QStringView(page.pool).mid(run.offset, run.length).toString();
        drawRun(painter, run.style, box, run.align, text);
    }
    flush(painter);
    painter.restore();
}

} // namespace kelvo
