#include "register/listsearch.h"

#include <algorithm>

namespace kelvo {

const std::vector<ListSearch::Field>& ListSearch::fields() {
    static const std::vector<Field> list{
        {QStringLiteral("id"), QStringLiteral("id")},
        {QStringLiteral("pora_cislo"), QStringLiteral("Pořadové číslo")},
        {QStringLiteral("cislokarty"), QStringLiteral("Inventární číslo")},
        {QStringLiteral("nazev"), QStringLiteral("Název majetku")},
        {QStringLiteral("dodavatel"), QStringLiteral("Dodavatel")},
        {QStringLiteral("dat_zhod"), QStringLiteral("Datum tech. zhod.")},
        {QStringLiteral("dokl_zhod"), QStringLiteral("Doklad")},
        {QStringLiteral("koruny"), QStringLiteral("Kč")},
        {QStringLiteral("cena"), QStringLiteral("Vstupní cena")},
        {QStringLiteral("datum_za"), QStringLiteral("Datum pořízení")},
        {QStringLiteral("dokl_za"), QStringLiteral("Doklad pořízení")},
        {QStringLiteral("do_pouziti"), QStringLiteral("Uvedeno do používání")},
        {QStringLiteral("datum_vy"), QStringLiteral("Datum vyřazení")},
        {QStringLiteral("dokl_vy"), QStringLiteral("Doklad vyřazení")},
        {QStringLiteral("vyrazen"), QStringLiteral("Vyřazen")},
        {QStringLiteral("misto"), QStringLiteral("Umístění")},
        {QStringLiteral("sk_odpisu"), QStringLiteral("Odpisová skupina")},
        {QStringLiteral("zp_odpisu"), QStringLiteral("Způsob odpisování")},
        {QStringLiteral("poznamka"), QStringLiteral("Poznámka")},
        {QStringLiteral("opravky"), QStringLiteral("OPRAVKY")},
    };
    return list;
}

int ListSearch::fieldPosition(const QString& name) {
    const auto& list = fields();
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return 0;
}

ListSearch::ListSearch(Query& list, MessageService& messages, const DateFormat& dateFormat,
                       int startField)
    : list_(list), messages_(messages), dateFormat_(dateFormat), startRow_(list.currentRow()),
      field_(std::clamp(startField, 0, int(fields().size()) - 1)) {
    rebuild();
}

int ListSearch::listField() const {
    return list_.fieldIndex(fields()[size_t(field_)].name);
}

void ListSearch::setField(int position) {
    field_ = std::clamp(position, 0, int(fields().size()) - 1);
    rebuild();
}

void ListSearch::setText(const QString& text) {
    text_ = text;
    rebuild();
}

void ListSearch::setShowSelection(bool on) {
    showSelection_ = on;
    rebuild();
}

void ListSearch::setPartial(bool on) {
    partial_ = on;
    rebuild();
}

// Without "hledat i části" the shown lines are those that begin with the text.
void ListSearch::rebuild() {
    rows_.clear();
    selected_ = -1;
    const int column = listField();
    if (!showSelection_ || column < 0 || !list_.isOpen())
        return;
    for (int row = 0; row < list_.rowCount(); ++row) {
        const QString line = list_.displayText(row, column, dateFormat_.pattern());
        const bool match =
            text_.isEmpty() || (partial_ ? line.contains(text_, Qt::CaseInsensitive)
                                         : line.startsWith(text_, Qt::CaseInsensitive));
        if (match)
            rows_.push_back(row);
    }
    if (!rows_.empty())
        selectLine(0);
}

QStringList ListSearch::lines() const {
    QStringList result;
    const int column = listField();
    for (int row : rows_)
        result << list_.displayText(row, column, dateFormat_.pattern());
    return result;
}

void ListSearch::selectLine(int line) {
    if (line < 0 || line >= lineCount())
        return;
    selected_ = line;
    list_.moveTo(rows_[size_t(line)]);
}

bool ListSearch::accept() {
    if (showSelection_)
        return true;
    const int column = listField();
    if (column >= 0) {
        const FieldInfo& info = list_.field(column);
        QVariant wanted = text_.trimmed();
        if (info.type == FieldType::Date || info.type == FieldType::DateTime) {
            wanted = dateFormat_.parse(text_.trimmed());
        } else if (info.type == FieldType::Integer || info.type == FieldType::Float) {
            QString number = text_;
            wanted = number.remove(QLatin1Char(' '))
                         .remove(QChar(0x00A0))
                         .replace(QLatin1Char(','), QLatin1Char('.'));
        } else {
            wanted = text_;
        }
        if (list_.locate(info.name, wanted, Qt::CaseInsensitive))
            return true;
    }
    messages_.beep();
    messages_.show(Message{MessageIcon::Information,
                           {QStringLiteral("OK")},
                           QStringLiteral("Record not found"),
                           QStringLiteral("Hledat")});
    return false;
}

void ListSearch::cancel() {
    if (startRow_ >= 0)
        list_.moveTo(startRow_);
}

} // namespace kelvo
