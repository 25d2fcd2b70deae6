#include "reportui/pageview.h"

#include "reports/reportengine.h"

#include <QPainter>

namespace kelvo {

PageView::PageView(const ReportEngine& engine, QWidget* parent) : QWidget(parent), engine_(engine) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::setPage(int index) {
    page_ = index;
    update();
}

void PageView::setZoom(double zoom) {
    zoom_ = zoom;
    resize(sizeHint());
    update();
}

QSizeF PageView::naturalSize() const {
    const auto& model = engine_.pageModel();
    return QSizeF(model.pageWidth * logicalDpiX() / 25.4, model.pageHeight * logicalDpiY() / 25.4);
}

QSize PageView::sizeHint() const {
    return (naturalSize() * zoom_).toSize();
}

void PageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(zoom_, zoom_);
    engine_.paintPage(painter, page_, logicalDpiX(), logicalDpiY());
}

} // namespace kelvo
