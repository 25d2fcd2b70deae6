#include "ui/cardinputs.h"

#include "register/commandguard.h"

#include <QComboBox>
#include <QLineEdit>
#include <cmath>

namespace kelvo {

CardInputs::CardInputs(Query& card, Query& groups, const DateFormat& dateFormat,
                       MessageService& messages, QObject* parent)
    : QObject(parent), card_(card), groups_(groups), dateFormat_(dateFormat), messages_(messages) {
    // Reopening the card drops whatever was typed; a change of the row itself
    // (a write, a post by a command) keeps what the user is still typing.
    connect(&card_, &Query::reset, this, [this] { load(false); });
    connect(&card_, &Query::rowChanged, this, [this] { load(true); });
    connect(&groups_, &Query::reset, this, &CardInputs::loadGroups);
}

void CardInputs::bind(QLineEdit* edit, const QString& field, InputKind kind) {
    bindings_.push_back({edit, field, kind});
    const size_t index = bindings_.size() - 1;
    connect(edit, &QLineEdit::editingFinished, this, [this, index] {
        if (!busy_)
            runCommand(messages_, [this, index] { write(bindings_[index], true); });
    });
}

void CardInputs::bindMethod(QComboBox* combo) {
    method_ = combo;
    connect(combo, &QComboBox::activated, this, [this](int index) {
        runCommand(messages_, [this, index] {
            card_.setValue(QStringLiteral("zp_odpisu"), method_->itemText(index));
        });
    });
}

void CardInputs::bindGroup(QComboBox* combo) {
    group_ = combo;
    connect(combo, &QComboBox::activated, this, [this](int index) {
        runCommand(messages_, [this, index] {
            card_.setValue(QStringLiteral("sk_odpisu"), group_->itemText(index));
            showGroup();
        });
    });
}

QString CardInputs::invalidDateText(const QString& text) {
    return QStringLiteral("„%1“ není platné datum.").arg(text);
}

QString CardInputs::invalidNumberText(const QString& text) {
    return QStringLiteral("„%1“ není platné číslo.").arg(text);
}

double CardInputs::parseNumber(const QString& text, bool* ok) {
    QString plain;
    for (const QChar c : text) {
        if (!c.isSpace())
            plain += c == QLatin1Char(',') ? QLatin1Char('.') : c;
    }
    if (plain.isEmpty()) {
        *ok = true;
        return 0;
    }
    const double value = plain.toDouble(ok);
    *ok = *ok && std::isfinite(value);
    return *ok ? value : 0;
}

void CardInputs::load(bool keepTyped) {
    const int row = card_.currentRow();
    for (const Binding& binding : bindings_) {
        if (keepTyped && binding.edit->isModified())
            continue;
        const int field = card_.fieldIndex(binding.field);
        if (field >= 0 && binding.kind == InputKind::Text && card_.field(field).maxLength > 0)
            binding.edit->setMaxLength(card_.field(field).maxLength);
        binding.edit->setText(field >= 0 && row >= 0
                                  ? card_.displayText(row, field, dateFormat_.pattern())
                                  : QString());
        binding.edit->setCursorPosition(0);
    }
    if (method_)
        method_->setCurrentIndex(method_->findText(card_.asString(QStringLiteral("zp_odpisu"))));
    showGroup();
}

void CardInputs::loadGroups() {
    if (!group_)
        return;
    group_->clear();
    const int field = groups_.fieldIndex(QStringLiteral("sk_odpisu"));
    for (int row = 0; field >= 0 && row < groups_.rowCount(); ++row)
        group_->addItem(groups_.valueAt(row, field).toString());
    showGroup();
}

// The plan generation reads the group from the group list's current row, so
// that row follows the card's value.
void CardInputs::showGroup() {
    if (!group_)
        return;
    const QString value = card_.asString(QStringLiteral("sk_odpisu"));
    group_->setCurrentIndex(group_->findText(value));
    if (!value.isEmpty() && groups_.isOpen())
        groups_.locate(QStringLiteral("sk_odpisu"), value);
}

CardInputs::WriteResult CardInputs::write(const Binding& binding, bool report) {
    QLineEdit* edit = binding.edit;
    if (!edit->isModified())
        return WriteResult::Skipped;
    const QString text = edit->text();
    QVariant value;
    QString refusal;
    switch (binding.kind) {
    case InputKind::Text:
        value = text;
        break;
    case InputKind::Date:
        if (text.trimmed().isEmpty()) {
            value = QVariant(QMetaType::fromType<QDate>());
        } else {
            const QDate date = dateFormat_.parse(text.trimmed());
            if (date.isValid())
                value = date;
            else
                refusal = invalidDateText(text);
        }
        break;
    case InputKind::Number: {
        bool ok = false;
        const double number = parseNumber(text, &ok);
        if (ok)
            value = number;
        else
            refusal = invalidNumberText(text);
        break;
    }
    }
    if (!refusal.isEmpty()) {
        if (report) {
            // The box takes the focus, which would finish the edit once more.
            busy_ = true;
            messages_.show(Message{MessageIcon::Warning, {QStringLiteral("OK")}, refusal});
            busy_ = false;
        }
        return WriteResult::Refused;
    }
    card_.setValue(binding.field, value);
    edit->setModified(false);
    const int field = card_.fieldIndex(binding.field);
    if (field >= 0 && card_.currentRow() >= 0)
        edit->setText(card_.displayText(card_.currentRow(), field, dateFormat_.pattern()));
    return WriteResult::Written;
}

bool CardInputs::writePending(const QLineEdit* unchecked) {
    for (const Binding& binding : bindings_) {
        const bool checked = binding.edit != unchecked;
        if (write(binding, checked) == WriteResult::Refused && checked) {
            binding.edit->setFocus();
            binding.edit->selectAll();
            return false;
        }
    }
    return true;
}

} // namespace kelvo
