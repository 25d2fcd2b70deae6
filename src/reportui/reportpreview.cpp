#include "reportui/reportpreview.h"

#include "reports/reportengine.h"
#include "reportui/pageview.h"

#include <cmath>
#include <iterator>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace kelvo {

namespace {

constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 8.0;
const int kPercents[] = {50, 75, 100, 150, 200};
// Layout work per turn of the event loop while the window stays responsive.
constexpr std::chrono::milliseconds kLayoutSlice{25};

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

ReportPreview::ReportPreview(ReportEngine& engine, QWidget* parent)
    : QDialog(parent), engine_(engine) {
    setWindowTitle(QStringLiteral("Náhled sestavy"));
    setModal(true);
    resize(1000, 760);

    auto* first = button(QStringLiteral("První"), "firstButton", this);
    auto* previous = button(QStringLiteral("Předchozí"), "previousButton", this);
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("pageLabel"));
    pageLabel_->setMinimumWidth(110);
    pageLabel_->setAlignment(Qt::AlignCenter);
    auto* next = button(QStringLiteral("Další"), "nextButton", this);
    auto* last = button(QStringLiteral("Poslední"), "lastButton", this);
    zoomBox_ = new QComboBox(this);
    zoomBox_->setObjectName(QStringLiteral("zoomBox"));
    zoomBox_->addItem(QStringLiteral("Na šířku stránky"));
    zoomBox_->addItem(QStringLiteral("Celá stránka"));
    for (int percent : kPercents)
        zoomBox_->addItem(QStringLiteral("%1 %").arg(percent));
    auto* print = button(QStringLiteral("Tisk"), "printButton", this);
    auto* pdf = button(QStringLiteral("Export do PDF"), "pdfButton", this);
    auto* close = button(QStringLiteral("Zavřít"), "closeButton", this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(first);
    bar->addWidget(previous);
    bar->addWidget(pageLabel_);
    bar->addWidget(next);
    bar->addWidget(last);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(QStringLiteral("Zvětšení:"), this));
    bar->addWidget(zoomBox_);
    bar->addStretch();
    bar->addWidget(print);
    bar->addWidget(pdf);
    bar->addWidget(close);

    view_ = new PageView(engine_, this);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("pageArea"));
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setWidget(view_);
    scroll_->viewport()->installEventFilter(this);
    view_->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll_, 1);

    connect(first, &QPushButton::clicked, this, &ReportPreview::firstPage);
    connect(previous, &QPushButton::clicked, this, &ReportPreview::previousPage);
    connect(next, &QPushButton::clicked, this, &ReportPreview::nextPage);
    connect(last, &QPushButton::clicked, this, &ReportPreview::lastPage);
    connect(zoomBox_, &QComboBox::activated, this, &ReportPreview::zoomChosen);
    connect(print, &QPushButton::clicked, this, &ReportPreview::print);
    connect(pdf, &QPushButton::clicked, this, &ReportPreview::exportPdfWithDialog);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    layoutTimer_ = new QTimer(this);
    layoutTimer_->setObjectName(QStringLiteral("layoutTimer"));
    layoutTimer_->setInterval(0);
    connect(layoutTimer_, &QTimer::timeout, this, &ReportPreview::prepareSlice);
    preparing_ = engine_.isPreparing();
    if (preparing_)
        layoutTimer_->start();

    setPage(1);
    applyZoom();
}

ReportPreview::~ReportPreview() {
    stopPreparing();
}

int ReportPreview::pageCount() const {
    return engine_.pageCount();
}

bool ReportPreview::isPreparing() const {
    return engine_.isPreparing();
}

void ReportPreview::prepareSlice() {
    engine_.continuePreparing(kLayoutSlice);
    layoutProgressed();
}

void ReportPreview::prepareUpTo(int pages) {
    if (!engine_.isPreparing() || pages <= engine_.pageCount())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    engine_.prepareUpTo(pages);
    QApplication::restoreOverrideCursor();
    layoutProgressed();
}

void ReportPreview::layoutProgressed() {
    const QString more = engine_.isPreparing() ? QStringLiteral("…") : QString();
    pageLabel_->setText(QStringLiteral("Strana %1 / %2%3").arg(page_).arg(pageCount()).arg(more));
    if (preparing_ && !engine_.isPreparing()) {
        // The shown page's page count was an ellipsis until now.
        layoutTimer_->stop();
        view_->update();
    }
    preparing_ = engine_.isPreparing();
}

void ReportPreview::stopPreparing() {
    layoutTimer_->stop();
    engine_.stopPreparing();
    preparing_ = false;
}

void ReportPreview::done(int result) {
    // The caller closes or refreshes the data set as soon as the preview returns.
    stopPreparing();
    QDialog::done(result);
}

QString ReportPreview::pageText() const {
    return pageLabel_->text();
}

double ReportPreview::zoom() const {
    return view_->zoom();
}

void ReportPreview::setPage(int page) {
    prepareUpTo(page);
    page_ = std::clamp(page, std::min(1, pageCount()), pageCount());
    layoutProgressed();
    view_->setPage(page_ - 1);
    scroll_->verticalScrollBar()->setValue(0);
}

void ReportPreview::setZoomMode(ZoomMode mode) {
    zoomMode_ = mode;
    if (mode != ZoomMode::Percent)
        zoomBox_->setCurrentIndex(mode == ZoomMode::FitWidth ? 0 : 1);
    applyZoom();
}

void ReportPreview::setZoomPercent(double percent) {
    percent_ = std::clamp(percent, kMinZoom * 100, kMaxZoom * 100);
    zoomMode_ = ZoomMode::Percent;
    // A zoom from Ctrl+wheel gets an entry of its own after the fixed ones.
    const QString text = QStringLiteral("%1 %").arg(qRound(percent_));
    const int fixed = 2 + int(std::size(kPercents));
    int index = zoomBox_->findText(text);
    if (index < 0) {
        if (zoomBox_->count() == fixed)
            zoomBox_->addItem(text);
        else
            zoomBox_->setItemText(fixed, text);
        index = fixed;
    }
    zoomBox_->setCurrentIndex(index);
    applyZoom();
}

void ReportPreview::zoomBy(double factor) {
    setZoomPercent(zoom() * 100 * factor);
}

void ReportPreview::zoomChosen(int index) {
    if (index >= 2 + int(std::size(kPercents)))
        return; // the wheel's own zoom, already in force
    if (index == 0)
        setZoomMode(ZoomMode::FitWidth);
    else if (index == 1)
        setZoomMode(ZoomMode::FitPage);
    else
        setZoomPercent(kPercents[index - 2]);
}

void ReportPreview::applyZoom() {
    const QSizeF natural = view_->naturalSize();
    const QSize room = scroll_->viewport()->size() - QSize(24, 24);
    double zoom = percent_ / 100;
    if (zoomMode_ == ZoomMode::FitWidth)
        zoom = room.width() / natural.width();
    else if (zoomMode_ == ZoomMode::FitPage)
        zoom = std::min(room.width() / natural.width(), room.height() / natural.height());
    view_->setZoom(std::clamp(zoom, kMinZoom, kMaxZoom));
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    // Fitting follows the page area, which the layout sizes after the window.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize &&
        zoomMode_ != ZoomMode::Percent)
        applyZoom();
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int steps = wheel->angleDelta().y() / 120;
            if (steps != 0)
                zoomBy(std::pow(1.1, steps));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool ReportPreview::printTo(QPrinter& printer, int fromPage, int toPage) {
    prepareUpTo(INT_MAX); // the page count printed must be the final one
    const int first = std::max(1, fromPage);
    const int last = toPage <= 0 ? pageCount() : std::min(toPage, pageCount());
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (int page = first; page <= last; ++page) {
        if (page > first)
            printer.newPage();
        engine_.paintPage(painter, page - 1, printer.resolution(), printer.resolution());
    }
    return painter.end();
}

void ReportPreview::print() {
    prepareUpTo(INT_MAX); // the dialog offers the range of all pages
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(engine_.pageLayout());
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Tisk"));
    dialog.setMinMax(1, std::max(1, pageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (printer.printRange() == QPrinter::PageRange)
        printTo(printer, printer.fromPage(), printer.toPage());
    else if (printer.printRange() == QPrinter::CurrentPage)
        printTo(printer, page_, page_);
    else
        printTo(printer);
}

void ReportPreview::exportPdfWithDialog() {
    const QString suggested =
        QFileInfo(engine_.fileName()).completeBaseName() + QStringLiteral(".pdf");
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export do PDF"), suggested, QStringLiteral("Dokumenty PDF (*.pdf)"));
    if (!path.isEmpty())
        exportPdf(path);
}

bool ReportPreview::exportPdf(const QString& path) {
    prepareUpTo(INT_MAX);
    return engine_.exportPdf(path);
}

} // namespace kelvo
