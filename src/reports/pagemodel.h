#pragma once

#include "reports/reporttemplate.h"

#include <QString>
#include <vector>

namespace kelvo {

// The prepared report: pages of positioned text runs, lines and rectangles, in
// millimetres from the paper's top left corner. Kept compact because a long list
// has thousands of pages: a run stores its box and a slice of the page's text pool.

struct TextRun {
    float x, y, width, height;
    quint32 offset; // into Page::pool
    quint16 length;
    quint16 style; // index into PageModel::styles
    HAlign align;
    bool hasPageCount; // holds the page-count mark, resolved when read
};

struct LineRun {
    float x1, y1, x2, y2, width;
};

struct RectRun {
    float x, y, width, height, lineWidth;
};

struct Page {
    std::vector<TextRun> texts;
    std::vector<LineRun> lines;
    std::vector<RectRun> rects;
    QString pool;

    // The run's text with the page count filled in; kPageCountUnknown fills in
    // an ellipsis instead.
    QString text(const TextRun& run, int pageCount) const;
    // Every text of the page joined by line breaks, in placing order (for tests
    // and searches).
    QString plainText(int pageCount) const;
};

// Stands for the page count in a run's text until all pages are known.
inline constexpr QChar kPageCountMark = QChar(0xE000);
// The page count while the report is still being laid out: no number would be right yet.
inline constexpr int kPageCountUnknown = -1;

struct PageModel {
    double pageWidth = 210;
    double pageHeight = 297;
    bool landscape = false;
    std::vector<ReportStyle> styles;
    std::vector<Page> pages;
    // False while the report is still being laid out: `pages` are those complete
    // so far, and a page-count mark shows as an ellipsis.
    bool complete = true;

    int pageCount() const { return int(pages.size()); }
    // What a page-count mark stands for: the page count, or kPageCountUnknown.
    int pageCountShown() const { return complete ? pageCount() : kPageCountUnknown; }
};

} // namespace kelvo
