#pragma once

#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <vector>

namespace kelvo {

// Colours a template's XML in the designer: elements, attribute names and
// values, [expressions] and comments.
class TemplateHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
  public:
    explicit TemplateHighlighter(QTextDocument* document);

  protected:
    void highlightBlock(const QString& text) override;

  private:
    struct Rule {
        QRegularExpression pattern;
        QTextCharFormat format;
    };
    std::vector<Rule> rules_;
    QTextCharFormat commentFormat_;
};

} // namespace kelvo
