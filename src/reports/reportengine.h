#pragma once

#include "core/clock.h"
#include "core/messageservice.h"
#include "reports/datasource.h"
#include "reports/pagemodel.h"
#include "reports/reporttemplate.h"
#include "reports/textmeasurer.h"

#include <chrono>
#include <climits>
#include <memory>
#include <QPageLayout>
#include <QPainter>
#include <QString>
#include <utility>

namespace kelvo {

class ReportLayout;

// The one report object through which every print runs.
//
//   ReportEngine engine(clock, &messages);
//   engine.bindDataSet(&rows);              // reached as frxDBDataset1 in templates
//   engine.loadFromFile("invent.fr3");       // bare name: the current directory
//   engine.setVariable("kdatu", "'01.10.2014'");
//   if (engine.prepare())                    // walks the rows from first to last
//       ... ReportPreview(engine).exec() or engine.exportPdf(path) ...
//
// The preview need not wait for the whole report: startPreparing() lays out the
// first page only and the preview lays out the rest in slices while it is shown.
//
// Errors (a malformed template, an unknown field, a file that cannot be written)
// go to the MessageService when one is given, and stay readable in errorText().
class ReportEngine {
  public:
    explicit ReportEngine(const Clock& clock, MessageService* messages = nullptr);
    ~ReportEngine();
    ReportEngine(const ReportEngine&) = delete;
    ReportEngine& operator=(const ReportEngine&) = delete;

    // --- Data. The source stays the caller's; it must outlive the engine's use.
    // Binding another source drops an unfinished layout of the old one.
    void bindDataSet(ReportDataSource* source);
    ReportDataSource* dataSet() const { return source_; }

    // --- The template.
    // Discards the whole report (template, variables, prepared pages) and reads the
    // file; a bare name is looked for in the current directory. A missing file
    // leaves an empty report and says nothing; a malformed one leaves an empty
    // report whose prepare() fails with the template's error and line.
    void loadFromFile(const QString& bareOrFullName);
    // Replaces the template by one read from text, keeping file name and
    // variables. False when the text is malformed (see loadError()).
    bool loadFromText(const QString& xml);
    // Writes the current template; the file name of the last load when empty.
    bool saveToFile(const QString& path = QString());

    QString fileName() const { return fileName_; } // absolute, even when missing
    // The template's text as read (kept even when malformed), or the current
    // template written out when it did not come from text.
    QString templateText() const;
    const ReportTemplate& reportTemplate() const { return template_; }
    void setTemplate(ReportTemplate report);
    QString loadError() const { return loadError_; }
    int loadErrorLine() const { return loadErrorLine_; }

    // --- Variables: a name (case ignored) and an expression, so "'01.10.2014'"
    // gives the text itself. Added when the template does not declare it.
    void setVariable(const QString& name, const QString& expression);
    // Template declarations first, then the ones set here (which win).
    std::vector<std::pair<QString, QString>> variables() const;

    // Text measuring for wrapped texts; the real fonts unless a test sets another.
    void setTextMeasurer(std::unique_ptr<TextMeasurer> measurer);

    // --- Preparing: clears the last run's pages and lays out the report over all
    // rows. False with errorText() (and a message) when it failed.
    bool prepare();
    QString errorText() const { return error_; }
    int errorLine() const { return errorLine_; } // the template line at fault, 0 when none

    // The designer lays out on every edit and shows errors itself: it swaps the
    // message service out meanwhile. Returns the previous one.
    MessageService* setMessageService(MessageService* messages) {
        return std::exchange(messages_, messages);
    }

    // --- Preparing a page at a time. startPreparing() is prepare() up to the end of
    // the first page, with the same errors; the rest follows in continuePreparing()
    // slices, up to a page with prepareUpTo() or at once with finishPreparing().
    // Meanwhile pageCount(), page(), pageModel() and paintPage() see the pages
    // complete so far, and the page count prints as "…" as it is not known yet.
    // Loading, binding another source, changing the measurer or preparing anew
    // drop an unfinished layout; so does stopPreparing().
    bool startPreparing();
    bool isPreparing() const { return layout_ != nullptr; }
    // Lays out for about `budget` (one page at least); true while more is to come.
    bool continuePreparing(std::chrono::milliseconds budget);
    // Lays out until `pages` pages are complete or the report has ended.
    void prepareUpTo(int pages);
    void finishPreparing() { prepareUpTo(INT_MAX); }
    // Drops an unfinished layout and its pages: an incomplete report must not
    // pass for the whole one, and the data source is not read again.
    void stopPreparing();
    // Lets the pages go, finished or not; the template, its variables and the
    // bound rows stay. A long report's pages would otherwise hold their memory
    // until the next print.
    void releasePages();

    int pageCount() const { return pages_.pageCount(); }
    const Page& page(int index) const { return pages_.pages.at(size_t(index)); }
    const PageModel& pageModel() const { return pages_; }

    // --- Output of the prepared pages. Export and PNGs finish the layout first.
    // The paper of the prepared pages, without margins (the pages carry their own).
    QPageLayout pageLayout() const;
    void paintPage(QPainter& painter, int index, double dpiX, double dpiY) const;
    // Pages from `fromPage` to `toPage` (1-based, 0 = to the last) into a PDF file.
    bool exportPdf(const QString& path, int fromPage = 1, int toPage = 0);
    // One PNG per page named prefix + page number + ".png"; the files written.
    QStringList renderPng(const QString& prefix, int dpi = 150);

  private:
    void fail(const QString& text);
    void discard();
    void takeLaidOutPages();

    const Clock& clock_;
    MessageService* messages_;
    ReportDataSource* source_ = nullptr;
    std::unique_ptr<TextMeasurer> measurer_;
    ReportTemplate template_;
    QString sourceText_;
    QString fileName_;
    QString loadError_;
    int loadErrorLine_ = 0;
    std::vector<std::pair<QString, QString>> variables_;
    PageModel pages_;
    QString error_;
    int errorLine_ = 0;
    // The layout under way; it reads template_, measurer_ and the source, so it is
    // dropped before any of them changes (and destroyed first).
    std::unique_ptr<ReportLayout> layout_;
};

} // namespace kelvo
