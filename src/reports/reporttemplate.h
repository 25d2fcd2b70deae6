#pragma once

#include <optional>
#include <QString>
#include <utility>
#include <vector>

namespace kelvo {

// A banded report template as held in memory. All lengths are millimetres.

enum class HAlign : unsigned char { Left, Center, Right };

struct PageSetup {
    double paperWidth = 210; // of the paper held upright
    double paperHeight = 297;
    bool landscape = false;
    double leftMargin = 10;
    double rightMargin = 10;
    double topMargin = 10;
    double bottomMargin = 10;

    double width() const { return landscape ? paperHeight : paperWidth; }
    double height() const { return landscape ? paperWidth : paperHeight; }
};

struct ReportStyle {
    QString name;
    QString family = QStringLiteral("DejaVu Sans");
    double size = 10; // points
    bool bold = false;
    bool italic = false;
    HAlign align = HAlign::Left;
};

enum class ItemKind : unsigned char { Text, Line, Rect };

// One item of a band, placed relative to the band's top left corner. A line runs
// from (x, y) to (x + width, y + height).
struct ReportItem {
    ItemKind kind = ItemKind::Text;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    QString text;                // text items: literal text with [expressions]
    QString style;               // style name; empty takes the first style
    std::optional<HAlign> align; // overrides the style's alignment
    QString format;              // display format of every expression value
    bool wrap = false;           // breaks into lines; the band grows to fit
    double lineWidth = 0.2;      // lines and rectangles
    int sourceLine = 0;          // line in the template file, for messages
};

struct ReportBand {
    double height = 0;
    std::vector<ReportItem> items;
    int sourceLine = 0;
};

// A group: its header is printed whenever the condition's value changes from one
// row to the next, its footer when the group ends.
struct ReportGroup {
    QString condition;
    bool keepWithData = true;     // header never stays alone at the bottom of a page
    bool repeatOnNewPage = false; // header printed again atop a page the group runs onto
    ReportBand header;
    std::optional<ReportBand> footer;
    int sourceLine = 0;
};

struct ReportTemplate {
    PageSetup page;
    std::vector<ReportStyle> styles;
    std::vector<std::pair<QString, QString>> variables; // name, expression
    std::optional<ReportBand> title;
    std::optional<ReportBand> pageHeader;
    std::vector<ReportGroup> groups; // outermost first
    std::optional<ReportBand> masterData;
    std::optional<ReportBand> summary;
    std::optional<ReportBand> pageFooter;

    bool isEmpty() const {
        return !title && !pageHeader && groups.empty() && !masterData && !summary && !pageFooter;
    }
    // The index of the named style (ignoring case), 0 when there is none of that name.
    int styleIndex(const QString& name) const;
};

// The data set name through which templates reach the bound rows.
inline const QString kDataSetName = QStringLiteral("frxDBDataset1");

} // namespace kelvo
