#pragma once

#include <memory>
#include <QDate>
#include <QString>
#include <QVariant>
#include <vector>

namespace kelvo {

// The expression language of report texts, written inside brackets:
//   frxDBDataset1."CENA"        a field of the current row (name ignoring case)
//   kdatu                       a report variable (its value is itself an expression)
//   PAGE, PAGES, DATE, LINE     page number, page count, print date, row number
//   SUM(expr), COUNT()          over the group (group footer) or the report (summary)
//   'text', 12.5, ( ), + - * /  literals and arithmetic ('+' joins texts)
enum class ExprKind : unsigned char {
    Literal,
    Field,
    Variable,
    Page,
    Pages,
    Date,
    Line,
    Sum,
    Count,
    Binary,
    Negate
};

struct Expr {
    ExprKind kind = ExprKind::Literal;
    QVariant literal;
    QString dataSet; // Field: the data set name as written
    QString name;    // Field or Variable: the name as written
    int index = -1;  // bound later: field position, variable index or SUM slot
    QChar op;
    std::unique_ptr<Expr> left;
    std::unique_ptr<Expr> right; // also SUM's argument (in left)
};
using ExprPtr = std::unique_ptr<Expr>;

// Parses one expression (the inside of a bracket). On failure returns null and
// sets *error to a Czech reason.
ExprPtr parseExpression(const QString& source, QString* error);

// A text item's content cut into literal pieces and bracketed expressions.
struct TextPart {
    QString literal;
    ExprPtr expr; // null for a literal piece
};
std::vector<TextPart> parseText(const QString& text, QString* error);

// What an expression can ask of the report while it is evaluated.
class EvalScope {
  public:
    virtual ~EvalScope() = default;
    virtual QVariant field(int index) const = 0;
    virtual QVariant variable(int index) = 0;
    virtual QVariant special(ExprKind kind) const = 0; // Page, Pages, Date, Line, Count
    virtual QVariant sum(int slot) const = 0;
};

QVariant evaluate(const Expr& expr, EvalScope& scope);

// A value as a number: numbers as they are, texts read with '.' or ',', else 0.
double toNumber(const QVariant& value);

// Calls visit for the expression and each of its sub-expressions.
template <typename Visit> void forEachNode(Expr& expr, const Visit& visit) {
    visit(expr);
    if (expr.left)
        forEachNode(*expr.left, visit);
    if (expr.right)
        forEachNode(*expr.right, visit);
}

} // namespace kelvo
