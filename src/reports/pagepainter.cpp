#include "reports/pagepainter.h"

#include "reports/textmeasurer.h"

#include <QPen>

namespace kelvo {

PagePainter::PagePainter(const PageModel& model) : model_(model)
{
    fonts_.reserve(model.styles.size());
    for (const ReportStyle& style : model.styles)
        fonts_.push_back(fontOf(style));
}

void PagePainter::paint(QPainter& painter, int index, double dpiX, double dpiY)
{
    if (index < 0 || index >= model_.pageCount())
        return;
    const Page& page = model_.pages[size_t(index)];
    const double sx = dpiX / 25.4;
    const double sy = dpiY / 25.4;
    const int pageCount = model_.pageCount();

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
    int currentStyle = -1;
    for (const TextRun& run : page.texts) {
        if (run.style != currentStyle) {
            currentStyle = run.style;
            painter.setFont(fonts_[run.style]);
        }
        int flags = Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine;
        flags |= run.align == HAlign::Right ? Qt::AlignRight : run.align == HAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft;
        const QRectF box(run.x * sx, run.y * sy, run.width * sx, run.height * sy);
        if (run.hasPageCount)
            painter.drawText(box, flags, page.text(run, pageCount));
        else
            painter.drawText(box, flags, QStringView(page.pool).mid(run.offset, run.length).toString());
    }
    painter.restore();
}

} // namespace kelvo
