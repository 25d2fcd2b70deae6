#include "reports/expression.h"

#include <cmath>

namespace kelvo {

namespace {

class Parser {
  public:
    explicit Parser(const QString& source) : s_(source) {}

    ExprPtr parseAll(QString* error) {
        ExprPtr result = parseSum();
        skipBlanks();
        if (result && pos_ < s_.size())
            fail(QStringLiteral("nečekaný znak „%1“").arg(s_[pos_]));
        if (!error_.isEmpty()) {
            // Long expressions are cut so that the message stays readable.
            const QString shown = s_.size() > 40 ? s_.left(30) + QChar(0x2026) : s_;
            *error = QStringLiteral("výraz „%1“: %2").arg(shown, error_);
            return nullptr;
        }
        return result;
    }

  private:
    ExprPtr parseSum() {
        ExprPtr left = parseProduct();
        while (left) {
            skipBlanks();
            if (!peekIs(u'+') && !peekIs(u'-'))
                break;
            const QChar op = s_[pos_++];
            left = binary(op, std::move(left), parseProduct());
        }
        return left;
    }

    ExprPtr parseProduct() {
        ExprPtr left = parseUnary();
        while (left) {
            skipBlanks();
            if (!peekIs(u'*') && !peekIs(u'/'))
                break;
            const QChar op = s_[pos_++];
            left = binary(op, std::move(left), parseUnary());
        }
        return left;
    }

    ExprPtr parseUnary() {
        // A template is user input: a flood of brackets must not exhaust the stack.
        if (++depth_ > kMaxDepth)
            return fail(QStringLiteral("výraz je příliš hluboko vnořený"));
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth_};
        skipBlanks();
        if (peekIs(u'-')) {
            ++pos_;
            ExprPtr inner = parseUnary();
            if (!inner)
                return nullptr;
            auto node = std::make_unique<Expr>();
            node->kind = ExprKind::Negate;
            node->left = std::move(inner);
            return node;
        }
        return parsePrimary();
    }

    ExprPtr parsePrimary() {
        skipBlanks();
        if (pos_ >= s_.size())
            return fail(QStringLiteral("chybí hodnota"));
        const QChar c = s_[pos_];
        if (c == u'(') {
            ++pos_;
            ExprPtr inner = parseSum();
            if (!inner)
                return nullptr;
            if (!expect(u')'))
                return fail(QStringLiteral("chybí „)“"));
            return inner;
        }
        if (c == u'\'')
            return literal(readQuoted(u'\''));
        if (c.isDigit())
            return parseNumber();
        if (c.isLetter() || c == u'_')
            return parseName();
        return fail(QStringLiteral("nečekaný znak „%1“").arg(c));
    }

    ExprPtr parseNumber() {
        const qsizetype start = pos_;
        while (pos_ < s_.size() && (s_[pos_].isDigit() || s_[pos_] == u'.'))
            ++pos_;
        bool ok = false;
        const double value = s_.mid(start, pos_ - start).toDouble(&ok);
        if (!ok)
            return fail(QStringLiteral("chybné číslo"));
        return literal(value);
    }

    ExprPtr parseName() {
        const QString ident = readIdentifier();
        skipBlanks();
        if (peekIs(u'.')) {
            ++pos_;
            skipBlanks();
            QString fieldName = peekIs(u'"') ? readQuoted(u'"') : readIdentifier();
            if (!error_.isEmpty())
                return nullptr;
            if (fieldName.isEmpty())
                return fail(QStringLiteral("chybí název pole za „%1.“").arg(ident));
            auto node = std::make_unique<Expr>();
            node->kind = ExprKind::Field;
            node->dataSet = ident;
            node->name = fieldName;
            return node;
        }
        const QString upper = ident.toUpper();
        if (peekIs(u'(')) {
            ++pos_;
            auto node = std::make_unique<Expr>();
            if (upper == QLatin1String("SUM")) {
                node->kind = ExprKind::Sum;
                node->left = parseSum();
                if (!node->left)
                    return nullptr;
            } else if (upper == QLatin1String("COUNT")) {
                node->kind = ExprKind::Count;
            } else {
                return fail(QStringLiteral("neznámá funkce „%1“").arg(ident));
            }
            if (!expect(u')'))
                return fail(QStringLiteral("chybí „)“ za argumentem funkce %1").arg(upper));
            return node;
        }
        auto node = std::make_unique<Expr>();
        node->name = ident;
        if (upper == QLatin1String("PAGE"))
            node->kind = ExprKind::Page;
        else if (upper == QLatin1String("PAGES"))
            node->kind = ExprKind::Pages;
        else if (upper == QLatin1String("DATE"))
            node->kind = ExprKind::Date;
        else if (upper == QLatin1String("LINE"))
            node->kind = ExprKind::Line;
        else
            node->kind = ExprKind::Variable;
        return node;
    }

    QString readIdentifier() {
        const qsizetype start = pos_;
        while (pos_ < s_.size() && (s_[pos_].isLetterOrNumber() || s_[pos_] == u'_'))
            ++pos_;
        return s_.mid(start, pos_ - start);
    }

    // A quoted text; a doubled quote stands for one quote character.
    QString readQuoted(QChar quote) {
        ++pos_;
        QString text;
        while (pos_ < s_.size()) {
            if (s_[pos_] == quote) {
                if (pos_ + 1 < s_.size() && s_[pos_ + 1] == quote) {
                    text += quote;
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return text;
            }
            text += s_[pos_++];
        }
        fail(QStringLiteral("neukončený text v uvozovkách"));
        return {};
    }

    ExprPtr literal(const QVariant& value) {
        if (!error_.isEmpty())
            return nullptr;
        auto node = std::make_unique<Expr>();
        node->literal = value;
        return node;
    }

    ExprPtr binary(QChar op, ExprPtr left, ExprPtr right) {
        if (!right)
            return nullptr;
        auto node = std::make_unique<Expr>();
        node->kind = ExprKind::Binary;
        node->op = op;
        node->left = std::move(left);
        node->right = std::move(right);
        return node;
    }

    void skipBlanks() {
        while (pos_ < s_.size() && s_[pos_].isSpace())
            ++pos_;
    }
    bool peekIs(char16_t c) const { return pos_ < s_.size() && s_[pos_] == c; }
    bool expect(char16_t c) {
        skipBlanks();
        if (!peekIs(c))
            return false;
        ++pos_;
        return true;
    }
    ExprPtr fail(const QString& message) {
        if (error_.isEmpty())
            error_ = message;
        return nullptr;
    }

    static constexpr int kMaxDepth = 64;
    const QString& s_;
    qsizetype pos_ = 0;
    int depth_ = 0;
    QString error_;
};

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

} // namespace

double toNumber(const QVariant& v) {
    if (isNumber(v))
        return v.toDouble();
    bool ok = false;
    const double value =
        v.toString().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? value : 0.0;
}

namespace {

QVariant arithmetic(QChar op, const QVariant& a, const QVariant& b) {
    if (op == u'+' && (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString))
        return a.toString() + b.toString();
    const double x = toNumber(a);
    const double y = toNumber(b);
    switch (op.unicode()) {
    case u'+':
        return x + y;
    case u'-':
        return x - y;
    case u'*':
        return x * y;
    default:
        return y == 0 ? QVariant() : QVariant(x / y); // no infinity on paper
    }
}

} // namespace

ExprPtr parseExpression(const QString& source, QString* error) {
    Parser parser(source);
    return parser.parseAll(error);
}

std::vector<TextPart> parseText(const QString& text, QString* error) {
    std::vector<TextPart> parts;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('['), pos);
        if (open < 0) {
            parts.push_back({text.mid(pos), nullptr});
            break;
        }
        if (open > pos)
            parts.push_back({text.mid(pos, open - pos), nullptr});
        // The closing bracket is the first one outside quotes.
        qsizetype close = open + 1;
        QChar quote;
        for (; close < text.size(); ++close) {
            const QChar c = text[close];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'\'' || c == u'"') {
                quote = c;
            } else if (c == u']') {
                break;
            }
        }
        if (close >= text.size()) {
            *error = QStringLiteral("chybí „]“ za „%1“").arg(text.mid(open));
            return {};
        }
        ExprPtr expr = parseExpression(text.mid(open + 1, close - open - 1), error);
        if (!expr)
            return {};
        parts.push_back({QString(), std::move(expr)});
        pos = close + 1;
    }
    return parts;
}

QVariant evaluate(const Expr& expr, EvalScope& scope) {
    switch (expr.kind) {
    case ExprKind::Literal:
        return expr.literal;
    case ExprKind::Field:
        return scope.field(expr.index);
    case ExprKind::Variable:
        return scope.variable(expr.index);
    case ExprKind::Sum:
        return scope.sum(expr.index);
    case ExprKind::Negate: {
        const QVariant inner = evaluate(*expr.left, scope);
        return inner.isValid() ? QVariant(-toNumber(inner)) : QVariant();
    }
    case ExprKind::Binary:
        return arithmetic(expr.op, evaluate(*expr.left, scope), evaluate(*expr.right, scope));
    default:
        return scope.special(expr.kind);
    }
}

} // namespace kelvo
