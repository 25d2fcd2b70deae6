#pragma once

#include "reports/datasource.h"
#include "reports/pagemodel.h"
#include "reports/reporttemplate.h"
#include "reports/textmeasurer.h"

#include <memory>
#include <QDate>

namespace kelvo {

// Everything a layout run reads besides the template.
struct LayoutInput {
    ReportDataSource* source = nullptr;                 // may be null: the report then has no rows
    std::vector<std::pair<QString, QString>> variables; // name, expression; these win
    QDate printDate;
    TextMeasurer* measurer = nullptr; // required when a text item wraps
};

// Turns a template and the rows of a data source into pages. It works a row at a
// time, so a caller can stop as soon as the first pages are ready and go on later.
// Rules: the report title opens the first page; page header and footer are on
// every page; a band that does not fit goes to the next page; a group header that
// keeps with its data goes there together with its first row; a band taller than
// an empty page is placed anyway (cut off) rather than pushing pages forever.
class ReportLayout {
  public:
    ReportLayout(const ReportTemplate& report, LayoutInput input);
    ~ReportLayout();
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    // Compiles the expressions against the data source and moves it to its first
    // row. False when an expression names an unknown field or variable.
    bool start();
    QString errorText() const;
    int errorLine() const; // the template line at fault, 0 when none

    // Lays out until at least `pages` pages are complete or the report has ended.
    // Returns false once the report has ended.
    bool advance(int pages);
    void finish() { advance(INT_MAX); }
    bool finished() const;

    // The pages laid out so far: the complete ones not taken yet, then the one
    // being filled unless finished(); the paper and styles from start() on.
    const PageModel& model() const;
    // Pages complete so far, those taken included (all of them after finish()).
    int completedPages() const;
    PageModel takeModel();
    // Moves the complete pages out of model(), so that a caller can show them
    // while the layout goes on; the page numbers go on counting.
    std::vector<Page> takeCompletedPages();

  private:
    struct State;
    std::unique_ptr<State> d_;
};

} // namespace kelvo
