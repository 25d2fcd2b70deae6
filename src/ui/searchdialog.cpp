#include "ui/searchdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>

namespace kelvo {

SearchDialog::SearchDialog(Query& list, MessageService& messages, const DateFormat& dateFormat,
                           int startField, QWidget* parent)
    : QDialog(parent), search_(list, messages, dateFormat, startField) {
    setWindowTitle(QStringLiteral("Hledat"));
    setModal(true);

    fieldChooser = new QComboBox(this);
    for (const ListSearch::Field& field : ListSearch::fields())
        fieldChooser->addItem(field.label);
    fieldChooser->setCurrentIndex(search_.field());
    textEdit = new QLineEdit(this);
    lines_ = new QStringListModel(this);
    linesView = new QListView(this);
    linesView->setModel(lines_);
    linesView->setUniformItemSizes(true);
    linesView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    showSelectionBox = new QCheckBox(QStringLiteral("zobrazit výběr"), this);
    showSelectionBox->setChecked(true);
    partialBox = new QCheckBox(QStringLiteral("hledat i části"), this);
    partialBox->setChecked(true);
    takeButton = new QPushButton(QStringLiteral("převzít"), this);
    takeButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("storno"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Prohledávat"), this), 0, 0);
    layout->addWidget(fieldChooser, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Co hledat"), this), 1, 0);
    layout->addWidget(textEdit, 1, 1);
    layout->addWidget(linesView, 2, 0, 1, 2);
    layout->addWidget(showSelectionBox, 3, 0);
    layout->addWidget(partialBox, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(takeButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons, 4, 0, 1, 2);
    resize(360, 420);

    connect(fieldChooser, &QComboBox::currentIndexChanged, this, [this](int index) {
        search_.setField(index);
        refill();
    });
    connect(textEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        search_.setText(text);
        refill();
    });
    connect(showSelectionBox, &QCheckBox::toggled, this, [this](bool on) {
        linesView->setVisible(on);
        partialBox->setVisible(on);
        search_.setShowSelection(on);
        refill();
    });
    connect(partialBox, &QCheckBox::toggled, this, [this](bool on) {
        search_.setPartial(on);
        refill();
    });
    connect(linesView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    search_.selectLine(current.row());
            });
    connect(linesView, &QListView::doubleClicked, this, &SearchDialog::accept);
    connect(takeButton, &QPushButton::clicked, this, &SearchDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &SearchDialog::reject);
    refill();
}

void SearchDialog::refill() {
    lines_->setStringList(search_.lines());
    if (search_.selectedLine() >= 0)
        linesView->setCurrentIndex(lines_->index(search_.selectedLine()));
}

void SearchDialog::accept() {
    if (search_.accept())
        QDialog::accept();
}

void SearchDialog::reject() {
    search_.cancel();
    QDialog::reject();
}

} // namespace kelvo
