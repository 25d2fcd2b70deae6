#include "reports/reportengine.h"

#include "reports/pagepainter.h"
#include "reports/reportlayout.h"
#include "reports/templatexml.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>

namespace kelvo {

ReportEngine::ReportEngine(const Clock& clock, MessageService* messages)
    : clock_(clock), messages_(messages) {}

ReportEngine::~ReportEngine() = default;

void ReportEngine::bindDataSet(ReportDataSource* source) {
    if (source != source_)
        stopPreparing();
    source_ = source;
}

void ReportEngine::setTextMeasurer(std::unique_ptr<TextMeasurer> measurer) {
    stopPreparing();
    measurer_ = std::move(measurer);
}

void ReportEngine::discard() {
    layout_.reset();
    errorLine_ = 0;
    template_ = ReportTemplate();
    sourceText_.clear();
    loadError_.clear();
    loadErrorLine_ = 0;
    variables_.clear();
    pages_ = PageModel();
    error_.clear();
}

void ReportEngine::loadFromFile(const QString& bareOrFullName) {
    discard();
    fileName_ = QFileInfo(bareOrFullName).absoluteFilePath();
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    sourceText_ = QString::fromUtf8(file.readAll());
    loadFromText(sourceText_);
}

bool ReportEngine::loadFromText(const QString& xml) {
    layout_.reset();
    sourceText_ = xml;
    pages_ = PageModel();
    auto result = readTemplate(xml);
    if (auto* error = std::get_if<TemplateError>(&result)) {
        template_ = ReportTemplate();
        loadError_ = error->text();
        loadErrorLine_ = error->line;
        return false;
    }
    template_ = std::move(std::get<ReportTemplate>(result));
    loadError_.clear();
    loadErrorLine_ = 0;
    return true;
}

void ReportEngine::setTemplate(ReportTemplate report) {
    layout_.reset();
    template_ = std::move(report);
    sourceText_.clear();
    loadError_.clear();
    loadErrorLine_ = 0;
    pages_ = PageModel();
}

QString ReportEngine::templateText() const {
    return sourceText_.isEmpty() ? writeTemplate(template_) : sourceText_;
}

bool ReportEngine::saveToFile(const QString& path) {
    const QString target = path.isEmpty() ? fileName_ : path;
    QSaveFile file(target);
    if (target.isEmpty() || !file.open(QIODevice::WriteOnly) ||
        file.write(templateText().toUtf8()) < 0 || !file.commit()) {
        fail(QStringLiteral("Šablonu nelze uložit do souboru „%1“.").arg(target));
        return false;
    }
    return true;
}

void ReportEngine::setVariable(const QString& name, const QString& expression) {
    for (auto& [existing, value] : variables_) {
        if (existing.compare(name, Qt::CaseInsensitive) == 0) {
            value = expression;
            return;
        }
    }
    variables_.emplace_back(name, expression);
}

std::vector<std::pair<QString, QString>> ReportEngine::variables() const {
    std::vector<std::pair<QString, QString>> all = template_.variables;
    for (const auto& [name, value] : variables_) {
        auto same = std::find_if(all.begin(), all.end(), [&](const auto& v) {
            return v.first.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (same != all.end())
            same->second = value;
        else
            all.emplace_back(name, value);
    }
    return all;
}

void ReportEngine::fail(const QString& text) {
    error_ = text;
    if (messages_)
        messages_->showError(text);
}

bool ReportEngine::prepare() {
    if (!startPreparing())
        return false;
    finishPreparing();
    return true;
}

bool ReportEngine::startPreparing() {
    layout_.reset();
    pages_ = PageModel();
    error_.clear();
    errorLine_ = 0;
    if (!loadError_.isEmpty()) {
        errorLine_ = loadErrorLine_;
        fail(loadError_);
        return false;
    }
    if (!measurer_)
        measurer_ = std::make_unique<FontTextMeasurer>();
    layout_ = std::make_unique<ReportLayout>(
        template_, LayoutInput{source_, variables_, clock_.today(), measurer_.get()});
    if (!layout_->start()) {
        errorLine_ = layout_->errorLine();
        const QString error = layout_->errorText();
        layout_.reset();
        fail(error);
        return false;
    }
    const PageModel& laidOut = layout_->model();
    pages_.pageWidth = laidOut.pageWidth;
    pages_.pageHeight = laidOut.pageHeight;
    pages_.landscape = laidOut.landscape;
    pages_.styles = laidOut.styles;
    pages_.complete = false;
    prepareUpTo(1);
    return true;
}

void ReportEngine::takeLaidOutPages() {
    std::vector<Page> done = layout_->takeCompletedPages();
    pages_.pages.insert(pages_.pages.end(), std::make_move_iterator(done.begin()),
                        std::make_move_iterator(done.end()));
    if (layout_->finished()) {
        layout_.reset();
        pages_.complete = true;
    }
}

void ReportEngine::prepareUpTo(int pages) {
    if (!layout_)
        return;
    layout_->advance(pages);
    takeLaidOutPages();
}

bool ReportEngine::continuePreparing(std::chrono::milliseconds budget) {
    if (!layout_)
        return false;
    QElapsedTimer timer;
    timer.start();
    do
        layout_->advance(layout_->completedPages() + 1);
    while (!layout_->finished() && timer.elapsed() < budget.count());
    takeLaidOutPages();
    return isPreparing();
}

void ReportEngine::stopPreparing() {
    if (!layout_)
        return;
    layout_.reset();
    pages_ = PageModel();
}

void ReportEngine::releasePages() {
    layout_.reset();
    pages_ = PageModel();
}

void ReportEngine::paintPage(QPainter& painter, int index, double dpiX, double dpiY) const {
    PagePainter(pages_).paint(painter, index, dpiX, dpiY);
}

namespace {

QPageLayout pageLayoutOf(const PageModel& model) {
    const QSizeF upright(std::min(model.pageWidth, model.pageHeight),
                         std::max(model.pageWidth, model.pageHeight));
    const QPageSize size(upright, QPageSize::Millimeter, QString(),
                         QPageSize::FuzzyOrientationMatch);
    const auto orientation =
        model.pageWidth > model.pageHeight ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace

QPageLayout ReportEngine::pageLayout() const {
    return pageLayoutOf(pages_);
}

bool ReportEngine::exportPdf(const QString& path, int fromPage, int toPage) {
    finishPreparing();
    // A blank file would pass for the report: without pages there is nothing to write.
    if (pageCount() == 0) {
        fail(
            QStringLiteral("Sestava nemá připravené stránky, soubor „%1“ nebyl zapsán.").arg(path));
        return false;
    }
    const int last = toPage <= 0 ? pageCount() : std::min(toPage, pageCount());
    const int first = std::max(1, fromPage);
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(pageLayoutOf(pages_));
    QPainter painter;
    if (!painter.begin(&writer)) {
        fail(QStringLiteral("Soubor „%1“ nelze zapsat.").arg(path));
        return false;
    }
    PagePainter pagePainter(pages_);
    for (int page = first; page <= last; ++page) {
        if (page > first)
            writer.newPage();
        pagePainter.paint(painter, page - 1, writer.resolution(), writer.resolution());
    }
    painter.end();
    return true;
}

QStringList ReportEngine::renderPng(const QString& prefix, int dpi) {
    finishPreparing();
    QStringList written;
    PagePainter pagePainter(pages_);
    const double pxPerMm = dpi / 25.4;
    for (int i = 0; i < pageCount(); ++i) {
        QImage image(qRound(pages_.pageWidth * pxPerMm), qRound(pages_.pageHeight * pxPerMm),
                     QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            pagePainter.paint(painter, i, dpi, dpi);
        }
        const QString name = prefix + QString::number(i + 1) + QStringLiteral(".png");
        if (!image.save(name, "PNG")) {
            fail(QStringLiteral("Soubor „%1“ nelze zapsat.").arg(name));
            return written;
        }
        written << name;
    }
    return written;
}

} // namespace kelvo
