#include "reports/reportlayout.h"

#include "reports/expression.h"
#include "reports/templatexml.h"
#include "reports/valueformat.h"

#include <climits>
#include <QHash>

namespace kelvo {

namespace {

constexpr double kEpsilon = 1e-6;

struct CompiledItem {
    const ReportItem* item = nullptr;
    std::vector<TextPart> parts;
    quint16 style = 0;
    HAlign align = HAlign::Left;
};

struct CompiledBand {
    const ReportBand* band = nullptr;
    std::vector<CompiledItem> items;
    int aggregateLevel = 0; // whose SUM and COUNT the band shows
};

struct PendingText {
    float x, y, width, height;
    QString text;
    quint16 style;
    HAlign align;
    bool hasPageCount;
};

// One evaluated band, ready to be put on a page at some height.
struct BandInstance {
    double height = 0;
    std::vector<PendingText> texts;
    std::vector<LineRun> lines;
    std::vector<RectRun> rects;

    void clear() {
        height = 0;
        texts.clear();
        lines.clear();
        rects.clear();
    }
};

struct Variable {
    QString name;
    QString source;
    ExprPtr expr;
    int line = 0;
};

// Breaks a text into lines no wider than `width`, at blanks; a word wider than
// the line keeps a line of its own.
QStringList wrapText(const QString& text, double width, const ReportStyle& style,
                     TextMeasurer& measurer) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (line.isEmpty() || measurer.width(candidate, style) <= width + kEpsilon) {
                line = candidate;
            } else {
                lines << line;
                line = word;
            }
        }
        lines << line;
    }
    return lines;
}

} // namespace

struct ReportLayout::State final : EvalScope {
    const ReportTemplate& report;
    LayoutInput input;
    QString error;
    int errorLine = 0;

    // Compiled template.
    std::vector<Variable> variables;
    std::optional<CompiledBand> title, pageHeader, masterData, summary, pageFooter;
    std::vector<CompiledBand> groupHeaders, groupFooters; // footers may have no band
    std::vector<std::vector<TextPart>> groupConditions;
    std::vector<const Expr*> sumArguments;
    std::vector<int> usedFields;

    // Walk state.
    enum class Phase { NotStarted, Rows, Done } phase = Phase::NotStarted;
    PageModel model;
    int completed = 0;
    size_t taken = 0; // complete pages the caller has taken out of the model
    double y = 0;
    bool pageHasBody = false;
    int openLevels = 0;
    bool firstRow = true;
    qint64 line = 0;
    std::vector<QString> groupKeys;
    // Accumulators per level: 0 the report, 1..G the groups, G+1 the page.
    std::vector<std::vector<double>> sums;
    std::vector<qint64> counts;

    // Evaluation state.
    int aggregateLevel = 0;
    bool fromSnapshot = false;
    std::vector<QVariant> snapshot;
    mutable bool pageCountUsed = false;
    int variableDepth = 0;
    BandInstance scratch, pageScratch, dataInstance;
    std::vector<BandInstance> headerInstances;

    State(const ReportTemplate& r, LayoutInput in) : report(r), input(std::move(in)) {}

    int groupCount() const { return int(report.groups.size()); }
    // Pages begun so far, the one being filled included; the page number of the last.
    size_t pagesStarted() const { return taken + model.pages.size(); }
    int pageLevel() const { return groupCount() + 1; }

    // --- EvalScope
    QVariant field(int index) const override {
        if (index < 0)
            return {};
        return fromSnapshot ? snapshot[size_t(index)] : input.source->value(index);
    }
    QVariant variable(int index) override {
        // Cycles are refused when compiling; the depth guard is a last safety net.
        if (variableDepth > 32 || !variables[size_t(index)].expr)
            return QString();
        ++variableDepth;
        QVariant value = evaluate(*variables[size_t(index)].expr, *this);
        --variableDepth;
        return value;
    }
    QVariant special(ExprKind kind) const override {
        switch (kind) {
        case ExprKind::Page:
            return qlonglong(pagesStarted());
        case ExprKind::Pages:
            pageCountUsed = true;
            return QString(kPageCountMark);
        case ExprKind::Date:
            return input.printDate;
        case ExprKind::Line:
            return line;
        case ExprKind::Count:
            return counts[size_t(aggregateLevel)];
        default:
            return {};
        }
    }
    QVariant sum(int slot) const override { return sums[size_t(aggregateLevel)][size_t(slot)]; }

    // --- Compiling
    bool fail(int sourceLine, const QString& message) {
        if (error.isEmpty()) {
            error = TemplateError{sourceLine, message}.text();
            errorLine = sourceLine;
        }
        return false;
    }

    int variableIndex(const QString& name) const {
        for (size_t i = 0; i < variables.size(); ++i) {
            if (variables[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return int(i);
        }
        return -1;
    }

    bool bind(Expr& root, int sourceLine) {
        bool ok = true;
        forEachNode(root, [&](Expr& node) {
            if (!ok)
                return;
            if (node.kind == ExprKind::Field) {
                if (node.dataSet.compare(kDataSetName, Qt::CaseInsensitive) != 0) {
                    ok = fail(sourceLine,
                              QStringLiteral("neznámá datová sada „%1“").arg(node.dataSet));
                    return;
                }
                // Without bound rows the fields are empty; with rows a wrong name is an error.
                if (!input.source || input.source->fieldCount() == 0)
                    return;
                node.index = input.source->fieldIndex(node.name);
                if (node.index < 0)
                    ok = fail(sourceLine, QStringLiteral("datová sada %1 nemá pole „%2“")
                                              .arg(kDataSetName, node.name));
                else if (std::find(usedFields.begin(), usedFields.end(), node.index) ==
                         usedFields.end())
                    usedFields.push_back(node.index);
            } else if (node.kind == ExprKind::Variable) {
                node.index = variableIndex(node.name);
                if (node.index < 0)
                    ok = fail(sourceLine, QStringLiteral("neznámá proměnná „%1“").arg(node.name));
            } else if (node.kind == ExprKind::Sum) {
                node.index = int(sumArguments.size());
                sumArguments.push_back(node.left.get());
            }
        });
        return ok;
    }

    bool compileText(const QString& text, int sourceLine, std::vector<TextPart>& parts) {
        QString message;
        parts = parseText(text, &message);
        if (!message.isEmpty())
            return fail(sourceLine, message);
        for (TextPart& part : parts) {
            if (part.expr && !bind(*part.expr, sourceLine))
                return false;
        }
        return true;
    }

    bool compileBand(const ReportBand& band, int level, CompiledBand& out) {
        out.band = &band;
        out.aggregateLevel = level;
        for (const ReportItem& item : band.items) {
            CompiledItem compiled;
            compiled.item = &item;
            if (item.kind == ItemKind::Text) {
                if (!compileText(item.text, item.sourceLine, compiled.parts))
                    return false;
                compiled.style = quint16(report.styleIndex(item.style));
                const ReportStyle& style = model.styles[compiled.style];
                compiled.align = item.align.value_or(style.align);
                if (item.wrap && !input.measurer)
                    return fail(item.sourceLine,
                                QStringLiteral("zalamovaný text potřebuje měření písma"));
            }
            out.items.push_back(std::move(compiled));
        }
        return true;
    }

    bool compileOptional(const std::optional<ReportBand>& band, int level,
                         std::optional<CompiledBand>& out) {
        if (!band)
            return true;
        out.emplace();
        return compileBand(*band, level, *out);
    }

    bool compileVariables() {
        for (const auto& [name, source] : report.variables) {
            if (variableIndex(name) < 0)
                variables.push_back({name, source, nullptr, 0});
        }
        for (const auto& [name, source] : input.variables) {
            const int index = variableIndex(name);
            if (index >= 0)
                variables[size_t(index)].source = source;
            else
                variables.push_back({name, source, nullptr, 0});
        }
        for (Variable& v : variables) {
            if (v.source.trimmed().isEmpty())
                continue;
            QString message;
            v.expr = parseExpression(v.source, &message);
            if (!v.expr)
                return fail(0, QStringLiteral("proměnná „%1“: %2").arg(v.name, message));
        }
        for (Variable& v : variables) {
            if (v.expr && !bind(*v.expr, 0))
                return false;
        }
        // A variable must not reach itself through others.
        for (size_t i = 0; i < variables.size(); ++i) {
            if (reaches(int(i), int(i), 0))
                return fail(
                    0,
                    QStringLiteral("proměnná „%1“ odkazuje sama na sebe").arg(variables[i].name));
        }
        return true;
    }

    bool reaches(int from, int target, int depth) {
        if (depth > int(variables.size()) || !variables[size_t(from)].expr)
            return false;
        bool found = false;
        forEachNode(*variables[size_t(from)].expr, [&](Expr& node) {
            if (node.kind == ExprKind::Variable && !found)
                found = node.index == target || reaches(node.index, target, depth + 1);
        });
        return found;
    }

    bool compile() {
        model.pageWidth = report.page.width();
        model.pageHeight = report.page.height();
        model.landscape = report.page.landscape;
        model.styles = report.styles;
        if (model.styles.empty())
            model.styles.push_back(ReportStyle{QStringLiteral("default")});
        if (!compileVariables())
            return false;
        const int groups = groupCount();
        groupHeaders.resize(size_t(groups));
        groupFooters.resize(size_t(groups));
        groupConditions.resize(size_t(groups));
        for (int i = 0; i < groups; ++i) {
            const ReportGroup& g = report.groups[size_t(i)];
            if (!compileText(g.condition, g.sourceLine, groupConditions[size_t(i)]) ||
                !compileBand(g.header, 0, groupHeaders[size_t(i)]))
                return false;
            if (g.footer && !compileBand(*g.footer, i + 1, groupFooters[size_t(i)]))
                return false;
        }
        return compileOptional(report.title, 0, title) &&
               compileOptional(report.pageHeader, 0, pageHeader) &&
               compileOptional(report.masterData, 0, masterData) &&
               compileOptional(report.summary, 0, summary) &&
               compileOptional(report.pageFooter, pageLevel(), pageFooter);
    }

    // --- Evaluating bands
    QString textOf(const std::vector<TextPart>& parts, const QString& format) {
        QString text;
        for (const TextPart& part : parts)
            text += part.expr ? formatValue(evaluate(*part.expr, *this), format) : part.literal;
        return text;
    }

    void instantiate(const CompiledBand& band, BandInstance& out) {
        out.clear();
        out.height = band.band->height;
        aggregateLevel = band.aggregateLevel;
        for (const CompiledItem& c : band.items) {
            const ReportItem& item = *c.item;
            if (item.kind == ItemKind::Line) {
                out.lines.push_back({float(item.x), float(item.y), float(item.x + item.width),
                                     float(item.y + item.height), float(item.lineWidth)});
                continue;
            }
            if (item.kind == ItemKind::Rect) {
                out.rects.push_back({float(item.x), float(item.y), float(item.width),
                                     float(item.height), float(item.lineWidth)});
                continue;
            }
            pageCountUsed = false;
            QString text = textOf(c.parts, item.format);
            if (text.isEmpty())
                continue;
            const bool pages = pageCountUsed;
            if (!item.wrap) {
                out.texts.push_back({float(item.x), float(item.y), float(item.width),
                                     float(item.height), std::move(text), c.style, c.align, pages});
                continue;
            }
            const ReportStyle& style = model.styles[c.style];
            const double lineHeight = input.measurer->lineHeight(style);
            const QStringList lines = wrapText(text, item.width, style, *input.measurer);
            double lineY = item.y;
            for (const QString& l : lines) {
                out.texts.push_back({float(item.x), float(lineY), float(item.width),
                                     float(lineHeight), l, c.style, c.align, pages});
                lineY += lineHeight;
            }
            out.height = std::max(out.height, lineY);
        }
    }

    // --- Pages
    double bodyBottom() const {
        const double footer = pageFooter ? pageFooter->band->height : 0;
        return model.pageHeight - report.page.bottomMargin - footer;
    }

    void place(const BandInstance& band) {
        Page& page = model.pages.back();
        const float left = float(report.page.leftMargin);
        const float top = float(y);
        for (const PendingText& t : band.texts) {
            const qsizetype length = std::min<qsizetype>(t.text.size(), 0xFFFF);
            page.texts.push_back({left + t.x, top + t.y, t.width, t.height,
                                  quint32(page.pool.size()), quint16(length), t.style, t.align,
                                  t.hasPageCount});
            page.pool.append(QStringView(t.text).left(length));
        }
        for (const LineRun& l : band.lines)
            page.lines.push_back({left + l.x1, top + l.y1, left + l.x2, top + l.y2, l.width});
        for (const RectRun& r : band.rects)
            page.rects.push_back({left + r.x, top + r.y, r.width, r.height, r.lineWidth});
        y += band.height;
    }

    void placeBand(const CompiledBand& band) {
        instantiate(band, scratch);
        ensureRoom(scratch.height);
        place(scratch);
    }

    void startPage() {
        model.pages.emplace_back();
        y = report.page.topMargin;
        pageHasBody = false;
        std::fill(sums[size_t(pageLevel())].begin(), sums[size_t(pageLevel())].end(), 0.0);
        counts[size_t(pageLevel())] = 0;
        if (pagesStarted() == 1 && title) {
            instantiate(*title, pageScratch);
            place(pageScratch);
            pageHasBody = true;
        }
        if (pageHeader) {
            instantiate(*pageHeader, pageScratch);
            place(pageScratch);
        }
        // The groups that run on from the last page show their headers again.
        for (int i = 0; i < openLevels; ++i) {
            if (report.groups[size_t(i)].repeatOnNewPage) {
                instantiate(groupHeaders[size_t(i)], pageScratch);
                place(pageScratch);
            }
        }
    }

    void finishPage() {
        if (pageFooter) {
            // The footer's fields show the last row placed on the page, not the
            // row that opens the next one (or none at the end).
            const bool live = fromSnapshot;
            fromSnapshot = !firstRow;
            instantiate(*pageFooter, pageScratch);
            fromSnapshot = live;
            y = model.pageHeight - report.page.bottomMargin - pageScratch.height;
            place(pageScratch);
        }
        ++completed;
    }

    // Moves to a new page unless `height` fits below the cursor. A page with
    // nothing but its header takes the band anyway, so a band taller than a page
    // cannot push pages forever.
    void ensureRoom(double height) {
        if (y + height <= bodyBottom() + kEpsilon || !pageHasBody) {
            pageHasBody = true;
            return;
        }
        finishPage();
        startPage();
        pageHasBody = true;
    }

    void closeGroups(int level) {
        fromSnapshot = true;
        for (int i = groupCount() - 1; i >= level; --i) {
            openLevels = i;
            if (groupFooters[size_t(i)].band)
                placeBand(groupFooters[size_t(i)]);
            std::fill(sums[size_t(i + 1)].begin(), sums[size_t(i + 1)].end(), 0.0);
            counts[size_t(i + 1)] = 0;
        }
        fromSnapshot = false;
    }

    void processRow() {
        const int groups = groupCount();
        int changed = groups;
        aggregateLevel = 0;
        for (int i = 0; i < groups; ++i) {
            QString key = textOf(groupConditions[size_t(i)], QString());
            if (changed == groups && (firstRow || key != groupKeys[size_t(i)]))
                changed = i;
            groupKeys[size_t(i)] = std::move(key);
        }
        if (!firstRow && changed < groups)
            closeGroups(changed);
        firstRow = false;
        ++line;

        // Bands are evaluated before we know whether they fit; one that moves to
        // a new page is evaluated again there, so that [PAGE] is its own page.
        const size_t evaluatedOn = pagesStarted();
        BandInstance& data = dataInstance;
        data.clear();
        if (masterData)
            instantiate(*masterData, data);

        if (changed < groups) {
            headerInstances.resize(size_t(groups));
            double together = data.height;
            bool keep = false;
            for (int i = changed; i < groups; ++i) {
                instantiate(groupHeaders[size_t(i)], headerInstances[size_t(i)]);
                together += headerInstances[size_t(i)].height;
                keep = keep || report.groups[size_t(i)].keepWithData;
            }
            openLevels = changed;
            if (keep)
                ensureRoom(together);
            for (int i = changed; i < groups; ++i) {
                ensureRoom(headerInstances[size_t(i)].height);
                if (pagesStarted() != evaluatedOn)
                    instantiate(groupHeaders[size_t(i)], headerInstances[size_t(i)]);
                place(headerInstances[size_t(i)]);
                openLevels = i + 1;
            }
        }
        if (masterData) {
            ensureRoom(data.height);
            if (pagesStarted() != evaluatedOn)
                instantiate(*masterData, data);
            place(data);
        }
        accumulate();
    }

    void accumulate() {
        aggregateLevel = 0;
        for (size_t slot = 0; slot < sumArguments.size(); ++slot) {
            const double value = toNumber(evaluate(*sumArguments[slot], *this));
            for (auto& level : sums)
                level[slot] += value;
        }
        for (qint64& c : counts)
            ++c;
        for (int index : usedFields)
            snapshot[size_t(index)] = input.source->value(index);
    }

    void finishReport() {
        if (!firstRow)
            closeGroups(0);
        openLevels = 0;
        if (summary) {
            fromSnapshot = !firstRow;
            placeBand(*summary);
            fromSnapshot = false;
        }
        finishPage();
        phase = Phase::Done;
    }
};

ReportLayout::ReportLayout(const ReportTemplate& report, LayoutInput input)
    : d_(std::make_unique<State>(report, std::move(input))) {}

ReportLayout::~ReportLayout() = default;

bool ReportLayout::start() {
    State& d = *d_;
    if (d.phase != State::Phase::NotStarted)
        return d.error.isEmpty();
    if (!d.compile()) {
        d.phase = State::Phase::Done;
        d.model.pages.clear();
        return false;
    }
    const size_t levels = size_t(d.groupCount() + 2);
    d.sums.assign(levels, std::vector<double>(d.sumArguments.size(), 0.0));
    d.counts.assign(levels, 0);
    d.groupKeys.resize(size_t(d.groupCount()));
    if (d.input.source) {
        d.snapshot.resize(size_t(std::max(0, d.input.source->fieldCount())));
        d.input.source->first();
    }
    d.startPage();
    d.phase = State::Phase::Rows;
    return true;
}

QString ReportLayout::errorText() const {
    return d_->error;
}
int ReportLayout::errorLine() const {
    return d_->errorLine;
}

bool ReportLayout::advance(int pages) {
    State& d = *d_;
    if (d.phase == State::Phase::NotStarted && !start())
        return false;
    while (d.phase == State::Phase::Rows && d.completed < pages) {
        if (!d.input.source || (!d.masterData && d.report.groups.empty()) ||
            d.input.source->eof()) {
            d.finishReport();
            break;
        }
        d.processRow();
        d.input.source->next();
    }
    return d.phase != State::Phase::Done;
}

bool ReportLayout::finished() const {
    return d_->phase == State::Phase::Done;
}
const PageModel& ReportLayout::model() const {
    return d_->model;
}
int ReportLayout::completedPages() const {
    return d_->completed;
}
PageModel ReportLayout::takeModel() {
    return std::move(d_->model);
}

std::vector<Page> ReportLayout::takeCompletedPages() {
    State& d = *d_;
    const auto count = std::ptrdiff_t(size_t(d.completed) - d.taken);
    std::vector<Page> pages(std::make_move_iterator(d.model.pages.begin()),
                            std::make_move_iterator(d.model.pages.begin() + count));
    d.model.pages.erase(d.model.pages.begin(), d.model.pages.begin() + count);
    d.taken += size_t(count);
    return pages;
}

} // namespace kelvo
