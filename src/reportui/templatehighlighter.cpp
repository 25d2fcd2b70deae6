#include "reportui/templatehighlighter.h"

namespace kelvo {

namespace {

QTextCharFormat charFormat(const QColor& colour, bool bold = false) {
    QTextCharFormat f;
    f.setForeground(colour);
    if (bold)
        f.setFontWeight(QFont::Bold);
    return f;
}

} // namespace

TemplateHighlighter::TemplateHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    // Later rules paint over earlier ones: an expression inside a value stays visible.
    rules_.push_back({QRegularExpression(QStringLiteral("</?[A-Za-z][A-Za-z0-9]*|/?>")),
                      charFormat(QColor(0, 0, 160), true)});
    rules_.push_back({QRegularExpression(QStringLiteral("\\b[A-Za-z]+(?=\\s*=)")),
                      charFormat(QColor(140, 0, 0))});
    rules_.push_back(
        {QRegularExpression(QStringLiteral("\"[^\"]*\"")), charFormat(QColor(0, 110, 0))});
    rules_.push_back({QRegularExpression(QStringLiteral("\\[[^\\]]*\\]")),
                      charFormat(QColor(120, 0, 140), true)});
    commentFormat_ = charFormat(QColor(128, 128, 128));
    commentFormat_.setFontItalic(true);
}

void TemplateHighlighter::highlightBlock(const QString& text) {
    for (const Rule& rule : rules_) {
        auto matches = rule.pattern.globalMatch(text);
        while (matches.hasNext()) {
            const auto match = matches.next();
            setFormat(int(match.capturedStart()), int(match.capturedLength()), rule.format);
        }
    }
    // Comments may span lines: state 1 means the block ends inside one.
    int start = previousBlockState() == 1 ? 0 : int(text.indexOf(QLatin1String("<!--")));
    setCurrentBlockState(0);
    while (start >= 0) {
        const int end = int(text.indexOf(QLatin1String("-->"), start));
        if (end < 0) {
            setFormat(start, int(text.size()) - start, commentFormat_);
            setCurrentBlockState(1);
            break;
        }
        setFormat(start, end + 3 - start, commentFormat_);
        start = int(text.indexOf(QLatin1String("<!--"), end + 3));
    }
}

} // namespace kelvo
