#pragma once

#include <climits>
#include <QDialog>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;
class QTimer;

namespace kelvo {

class PageView;
class ReportEngine;

// The modal preview of a prepared report: page navigation ("Strana n / N"),
// zoom (fit width, whole page, percentages, Ctrl+wheel), printing with a page
// range and export to PDF. Pages are painted on demand.
//
//   ReportPreview preview(engine, parent);   // engine.prepare() or startPreparing() was true
//   preview.exec();
//
// Over an engine that is still preparing, the preview lays out the rest in short
// slices from the event loop, so the first page shows at once and the window
// answers meanwhile; the label reads "Strana 1 / 12…" until the count is known.
// Going past the pages known, printing and export finish the layout first.
// Closing the preview (or destroying it) stops an unfinished layout, so the data
// source is not read once the preview is gone.
class ReportPreview : public QDialog {
    Q_OBJECT
  public:
    enum class ZoomMode { FitWidth, FitPage, Percent };

    explicit ReportPreview(ReportEngine& engine, QWidget* parent = nullptr);
    ~ReportPreview() override;

    int currentPage() const { return page_; } // 1-based, 0 when there are no pages
    int pageCount() const;                    // the pages known so far
    bool isPreparing() const;                 // more pages are being laid out
    QString pageText() const; // "Strana n / N" as shown
    double zoom() const;
    ZoomMode zoomMode() const { return zoomMode_; }

    // Prints pages fromPage..toPage (1-based, 0 = to the last) on a set-up printer.
    bool printTo(QPrinter& printer, int fromPage = 1, int toPage = 0);

  public slots:
    void setPage(int page); // clamped to the pages there are
    void firstPage() { setPage(1); }
    void previousPage() { setPage(page_ - 1); }
    void nextPage() { setPage(page_ + 1); }
    void lastPage() { setPage(INT_MAX); }
    void setZoomMode(ZoomMode mode);
    void setZoomPercent(double percent);
    void zoomBy(double factor);
    // Asks for a page range with the print dialog and prints.
    void print();
    // Asks for a file name and exports; exportPdf(path) skips the dialog.
    void exportPdfWithDialog();
    bool exportPdf(const QString& path);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

  private:
    void applyZoom();
    void zoomChosen(int index);
    void prepareSlice();
    // Lays out up to `pages` pages (all for INT_MAX) before going on.
    void prepareUpTo(int pages);
    void layoutProgressed();
    void stopPreparing();

    ReportEngine& engine_;
    PageView* view_;
    QScrollArea* scroll_;
    QLabel* pageLabel_;
    QComboBox* zoomBox_;
    QTimer* layoutTimer_;
    bool preparing_ = false; // as last seen, to notice the layout completing
    int page_ = 1;
    ZoomMode zoomMode_ = ZoomMode::FitWidth;
    double percent_ = 100;
};

} // namespace kelvo
