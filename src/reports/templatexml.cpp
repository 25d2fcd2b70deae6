#include "reports/templatexml.h"

#include "reports/expression.h"

#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace kelvo {

QString TemplateError::text() const {
    // Variables set by the program have no line in the file.
    if (line <= 0)
        return QStringLiteral("Chyba v šabloně: %1").arg(message);
    return QStringLiteral("Chyba v šabloně na řádku %1: %2").arg(line).arg(message);
}

int ReportTemplate::styleIndex(const QString& name) const {
    for (size_t i = 0; i < styles.size(); ++i) {
        if (styles[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return 0;
}

namespace {

// Signals a template error from deep inside the reader; caught in readTemplate().
struct ReadFailure {
    TemplateError error;
};

const char* alignName(HAlign align) {
    switch (align) {
    case HAlign::Center:
        return "center";
    case HAlign::Right:
        return "right";
    default:
        return "left";
    }
}

class Reader {
  public:
    explicit Reader(const QString& xml) : xml_(xml) {}

    ReportTemplate read() {
        if (!nextElement() || xml_.name() != QLatin1String("report"))
            failHere(QStringLiteral("šablona musí začínat prvkem <report>"));
        checkAttributes({});
        ReportTemplate report;
        while (nextChild()) {
            const auto name = xml_.name();
            if (name == QLatin1String("page"))
                readPage(report.page);
            else if (name == QLatin1String("styles"))
                readStyles(report);
            else if (name == QLatin1String("variables"))
                readVariables(report);
            else if (name == QLatin1String("reportTitle"))
                readOnce(report.title);
            else if (name == QLatin1String("pageHeader"))
                readOnce(report.pageHeader);
            else if (name == QLatin1String("group"))
                report.groups.push_back(readGroup());
            else if (name == QLatin1String("masterData"))
                readOnce(report.masterData);
            else if (name == QLatin1String("reportSummary"))
                readOnce(report.summary);
            else if (name == QLatin1String("pageFooter"))
                readOnce(report.pageFooter);
            else
                failHere(QStringLiteral("neznámý prvek <%1>").arg(name));
        }
        if (xml_.hasError())
            failXml();
        checkStyles(report);
        return report;
    }

  private:
    // Moves to the next start element of the document.
    bool nextElement() {
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement())
                return true;
        }
        if (xml_.hasError())
            failXml();
        return false;
    }

    // Moves to the next child element of the current element; false at its end.
    bool nextChild() {
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement())
                return true;
            if (xml_.isEndElement())
                return false;
            if (xml_.isCharacters() && !xml_.isWhitespace())
                failHere(
                    QStringLiteral("nečekaný text „%1“").arg(xml_.text().toString().trimmed()));
        }
        if (xml_.hasError())
            failXml();
        return false;
    }

    void readPage(PageSetup& page) {
        checkAttributes({"width", "height", "orientation", "left", "right", "top", "bottom"});
        page.paperWidth = number("width", page.paperWidth);
        page.paperHeight = number("height", page.paperHeight);
        const QString orientation = attr("orientation");
        if (orientation == QLatin1String("landscape"))
            page.landscape = true;
        else if (orientation.isEmpty() || orientation == QLatin1String("portrait"))
            page.landscape = false;
        else
            failHere(QStringLiteral("orientace musí být „portrait“ nebo „landscape“"));
        page.leftMargin = number("left", page.leftMargin);
        page.rightMargin = number("right", page.rightMargin);
        page.topMargin = number("top", page.topMargin);
        page.bottomMargin = number("bottom", page.bottomMargin);
        if (page.width() - page.leftMargin - page.rightMargin <= 0 ||
            page.height() - page.topMargin - page.bottomMargin <= 0)
            failHere(QStringLiteral("okraje jsou větší než stránka"));
        expectNoChildren();
    }

    void readStyles(ReportTemplate& report) {
        checkAttributes({});
        while (nextChild()) {
            if (xml_.name() != QLatin1String("style"))
                failHere(QStringLiteral("v <styles> smí být jen <style>"));
            checkAttributes({"name", "font", "size", "bold", "italic", "align"});
            ReportStyle style;
            style.name = attr("name");
            if (style.name.isEmpty())
                failHere(QStringLiteral("styl nemá jméno"));
            if (const QString font = attr("font"); !font.isEmpty())
                style.family = font;
            style.size = number("size", style.size);
            if (style.size <= 0)
                failHere(QStringLiteral("velikost písma musí být kladná"));
            style.bold = boolean("bold", false);
            style.italic = boolean("italic", false);
            style.align = alignment("align").value_or(HAlign::Left);
            report.styles.push_back(style);
            expectNoChildren();
        }
    }

    void readVariables(ReportTemplate& report) {
        checkAttributes({});
        while (nextChild()) {
            if (xml_.name() != QLatin1String("variable"))
                failHere(QStringLiteral("v <variables> smí být jen <variable>"));
            checkAttributes({"name", "value"});
            const QString name = attr("name");
            if (name.isEmpty())
                failHere(QStringLiteral("proměnná nemá jméno"));
            const QString value = attr("value");
            QString error;
            if (!value.trimmed().isEmpty() && !parseExpression(value, &error))
                failHere(error);
            report.variables.emplace_back(name, value);
            expectNoChildren();
        }
    }

    void readOnce(std::optional<ReportBand>& band) {
        if (band)
            failHere(QStringLiteral("pásmo <%1> je v šabloně dvakrát").arg(xml_.name()));
        band = readBand();
    }

    ReportGroup readGroup() {
        checkAttributes({"condition", "keepWithData", "repeatOnNewPage"});
        ReportGroup group;
        group.sourceLine = line();
        group.condition = attr("condition");
        if (group.condition.trimmed().isEmpty())
            failHere(QStringLiteral("skupina nemá podmínku"));
        checkText(group.condition);
        group.keepWithData = boolean("keepWithData", true);
        group.repeatOnNewPage = boolean("repeatOnNewPage", false);
        bool hasHeader = false;
        while (nextChild()) {
            if (xml_.name() == QLatin1String("groupHeader") && !hasHeader) {
                group.header = readBand();
                hasHeader = true;
            } else if (xml_.name() == QLatin1String("groupFooter") && !group.footer) {
                group.footer = readBand();
            } else {
                failHere(
                    QStringLiteral("ve skupině smí být jedno <groupHeader> a jedno <groupFooter>"));
            }
        }
        return group;
    }

    ReportBand readBand() {
        checkAttributes({"height"});
        ReportBand band;
        band.sourceLine = line();
        band.height = number("height", 0);
        if (band.height < 0)
            failHere(QStringLiteral("výška pásma nesmí být záporná"));
        while (nextChild())
            band.items.push_back(readItem());
        return band;
    }

    ReportItem readItem() {
        ReportItem item;
        item.sourceLine = line();
        const auto name = xml_.name();
        if (name == QLatin1String("text")) {
            item.kind = ItemKind::Text;
            checkAttributes({"x", "y", "width", "height", "style", "align", "format", "wrap"});
        } else if (name == QLatin1String("line") || name == QLatin1String("rect")) {
            item.kind = name == QLatin1String("line") ? ItemKind::Line : ItemKind::Rect;
            checkAttributes({"x", "y", "width", "height", "lineWidth"});
        } else {
            failHere(QStringLiteral("neznámý prvek <%1>; v pásmu smí být <text>, <line> a <rect>")
                         .arg(name));
        }
        item.x = number("x", 0);
        item.y = number("y", 0);
        item.width = number("width", 0);
        item.height = number("height", 0);
        if (item.kind == ItemKind::Text) {
            item.style = attr("style");
            item.align = alignment("align");
            item.format = attr("format");
            item.wrap = boolean("wrap", false);
            item.text = xml_.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            if (xml_.hasError())
                failXml();
            checkText(item.text);
            styleUses_.push_back({item.style, item.sourceLine});
        } else {
            item.lineWidth = number("lineWidth", item.lineWidth);
            expectNoChildren();
        }
        return item;
    }

    void checkText(const QString& text) {
        QString error;
        parseText(text, &error);
        if (!error.isEmpty())
            failHere(error);
    }

    void checkStyles(const ReportTemplate& report) {
        for (const auto& use : styleUses_) {
            const QString& style = use.first;
            if (style.isEmpty())
                continue;
            const bool known =
                std::any_of(report.styles.begin(), report.styles.end(), [&](const ReportStyle& s) {
                    return s.name.compare(style, Qt::CaseInsensitive) == 0;
                });
            if (!known)
                throw ReadFailure{{use.second, QStringLiteral("neznámý styl „%1“").arg(style)}};
        }
    }

    void expectNoChildren() {
        if (nextChild())
            failHere(QStringLiteral("prvek <%1> zde nesmí být").arg(xml_.name()));
    }

    void checkAttributes(std::initializer_list<const char*> allowed) {
        for (const QXmlStreamAttribute& a : xml_.attributes()) {
            const bool known = std::any_of(allowed.begin(), allowed.end(), [&](const char* name) {
                return a.name() == QLatin1String(name);
            });
            if (!known)
                failHere(
                    QStringLiteral("neznámý atribut „%1“ prvku <%2>").arg(a.name(), xml_.name()));
        }
    }

    QString attr(const char* name) const {
        return xml_.attributes().value(QLatin1String(name)).toString();
    }

    double number(const char* name, double fallback) {
        const QString text = attr(name).trimmed();
        if (text.isEmpty())
            return fallback;
        bool ok = false;
        const double value =
            QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok)
            failHere(QStringLiteral("atribut „%1“ musí být číslo, ne „%2“")
                         .arg(QLatin1String(name), text));
        return value;
    }

    bool boolean(const char* name, bool fallback) {
        const QString text = attr(name).trimmed().toLower();
        if (text.isEmpty())
            return fallback;
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return true;
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return false;
        failHere(QStringLiteral("atribut „%1“ musí být true nebo false").arg(QLatin1String(name)));
    }

    std::optional<HAlign> alignment(const char* name) {
        const QString text = attr(name).trimmed();
        if (text.isEmpty())
            return std::nullopt;
        for (HAlign a : {HAlign::Left, HAlign::Center, HAlign::Right}) {
            if (text == QLatin1String(alignName(a)))
                return a;
        }
        failHere(QStringLiteral("zarovnání musí být left, center nebo right"));
    }

    int line() const { return int(xml_.lineNumber()); }

    [[noreturn]] void failHere(const QString& message) { throw ReadFailure{{line(), message}}; }
    [[noreturn]] void failXml() {
        throw ReadFailure{
            {line(), QStringLiteral("nesprávný zápis XML (%1)").arg(xml_.errorString())}};
    }

    QXmlStreamReader xml_;
    std::vector<std::pair<QString, int>> styleUses_;
};

QString numberText(double value) {
    return QString::number(value, 'g', 10);
}

class Writer {
  public:
    explicit Writer(QString* out) : xml_(out) { xml_.setAutoFormatting(true); }

    void write(const ReportTemplate& report) {
        xml_.writeStartDocument();
        xml_.writeStartElement(QStringLiteral("report"));
        xml_.writeEmptyElement(QStringLiteral("page"));
        const PageSetup& p = report.page;
        xml_.writeAttribute(QStringLiteral("width"), numberText(p.paperWidth));
        xml_.writeAttribute(QStringLiteral("height"), numberText(p.paperHeight));
        xml_.writeAttribute(QStringLiteral("orientation"),
                            p.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
        xml_.writeAttribute(QStringLiteral("left"), numberText(p.leftMargin));
        xml_.writeAttribute(QStringLiteral("right"), numberText(p.rightMargin));
        xml_.writeAttribute(QStringLiteral("top"), numberText(p.topMargin));
        xml_.writeAttribute(QStringLiteral("bottom"), numberText(p.bottomMargin));
        if (!report.styles.empty()) {
            xml_.writeStartElement(QStringLiteral("styles"));
            for (const ReportStyle& s : report.styles) {
                xml_.writeEmptyElement(QStringLiteral("style"));
                xml_.writeAttribute(QStringLiteral("name"), s.name);
                xml_.writeAttribute(QStringLiteral("font"), s.family);
                xml_.writeAttribute(QStringLiteral("size"), numberText(s.size));
                if (s.bold)
                    xml_.writeAttribute(QStringLiteral("bold"), QStringLiteral("true"));
                if (s.italic)
                    xml_.writeAttribute(QStringLiteral("italic"), QStringLiteral("true"));
                if (s.align != HAlign::Left)
                    xml_.writeAttribute(QStringLiteral("align"), QLatin1String(alignName(s.align)));
            }
            xml_.writeEndElement();
        }
        if (!report.variables.empty()) {
            xml_.writeStartElement(QStringLiteral("variables"));
            for (const auto& [name, value] : report.variables) {
                xml_.writeEmptyElement(QStringLiteral("variable"));
                xml_.writeAttribute(QStringLiteral("name"), name);
                xml_.writeAttribute(QStringLiteral("value"), value);
            }
            xml_.writeEndElement();
        }
        writeBand(QStringLiteral("reportTitle"), report.title);
        writeBand(QStringLiteral("pageHeader"), report.pageHeader);
        for (const ReportGroup& g : report.groups) {
            xml_.writeStartElement(QStringLiteral("group"));
            xml_.writeAttribute(QStringLiteral("condition"), g.condition);
            xml_.writeAttribute(QStringLiteral("keepWithData"),
                                g.keepWithData ? QStringLiteral("true") : QStringLiteral("false"));
            xml_.writeAttribute(QStringLiteral("repeatOnNewPage"), g.repeatOnNewPage
                                                                       ? QStringLiteral("true")
                                                                       : QStringLiteral("false"));
            writeBand(QStringLiteral("groupHeader"), g.header);
            writeBand(QStringLiteral("groupFooter"), g.footer);
            xml_.writeEndElement();
        }
        writeBand(QStringLiteral("masterData"), report.masterData);
        writeBand(QStringLiteral("reportSummary"), report.summary);
        writeBand(QStringLiteral("pageFooter"), report.pageFooter);
        xml_.writeEndElement();
        xml_.writeEndDocument();
    }

  private:
    void writeBand(const QString& element, const std::optional<ReportBand>& band) {
        if (!band)
            return;
        xml_.writeStartElement(element);
        xml_.writeAttribute(QStringLiteral("height"), numberText(band->height));
        for (const ReportItem& item : band->items)
            writeItem(item);
        xml_.writeEndElement();
    }

    void writeItem(const ReportItem& item) {
        static const QString names[] = {QStringLiteral("text"), QStringLiteral("line"),
                                        QStringLiteral("rect")};
        xml_.writeStartElement(names[int(item.kind)]);
        xml_.writeAttribute(QStringLiteral("x"), numberText(item.x));
        xml_.writeAttribute(QStringLiteral("y"), numberText(item.y));
        xml_.writeAttribute(QStringLiteral("width"), numberText(item.width));
        xml_.writeAttribute(QStringLiteral("height"), numberText(item.height));
        if (item.kind == ItemKind::Text) {
            if (!item.style.isEmpty())
                xml_.writeAttribute(QStringLiteral("style"), item.style);
            if (item.align)
                xml_.writeAttribute(QStringLiteral("align"), QLatin1String(alignName(*item.align)));
            if (!item.format.isEmpty())
                xml_.writeAttribute(QStringLiteral("format"), item.format);
            if (item.wrap)
                xml_.writeAttribute(QStringLiteral("wrap"), QStringLiteral("true"));
            xml_.writeCharacters(item.text);
        } else {
            xml_.writeAttribute(QStringLiteral("lineWidth"), numberText(item.lineWidth));
        }
        xml_.writeEndElement();
    }

    QXmlStreamWriter xml_;
};

} // namespace

std::variant<ReportTemplate, TemplateError> readTemplate(const QString& xml) {
    if (xml.trimmed().isEmpty())
        return TemplateError{1, QStringLiteral("šablona musí začínat prvkem <report>")};
    try {
        Reader reader(xml);
        return reader.read();
    } catch (const ReadFailure& failure) {
        return failure.error;
    }
}

QString writeTemplate(const ReportTemplate& report) {
    QString out;
    Writer writer(&out);
    writer.write(report);
    return out;
}

} // namespace kelvo
