#include "ui/tablewindow.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace kelvo {

TableWindow::TableWindow(Connection& connection, const DateFormat& dateFormat,
                         MessageService& messages, const Definition& definition, QWidget* parent)
    : QDialog(parent), ZQuery1(connection), messages_(messages) {
    setWindowTitle(definition.caption);
    setModal(true);
    resize(definition.clientSize);
    ZQuery1.setText(definition.tableQuery);

    model_ = new QueryTableModel(ZQuery1, definition.columns, dateFormat, messages_, this);
    model_->setEditable(true);

    suiDBGrid1 = new QTableView(this);
    suiDBGrid1->setObjectName(QStringLiteral("suiDBGrid1"));
    suiDBGrid1->setModel(model_);
    suiDBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    suiDBGrid1->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    for (size_t i = 0; i < definition.columns.size(); ++i) {
        if (definition.columns[i].width > 0)
            suiDBGrid1->setColumnWidth(int(i), definition.columns[i].width);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(suiDBGrid1);

    suiPopupMenu1 = new QMenu(this);
    Smazatdek1 = suiPopupMenu1->addAction(QStringLiteral("Smazat řádek"));
    Smazatdek1->setObjectName(QStringLiteral("Smazatdek1"));
    connect(Smazatdek1, &QAction::triggered, this, &TableWindow::Smazatdek1Click);
    suiDBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(suiDBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        suiPopupMenu1->popup(suiDBGrid1->viewport()->mapToGlobal(pos));
    });

    // Leaving a row writes it; a refused write brings the grid back to it.
    connect(suiDBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (!current.isValid() || current.row() == previous.row())
                    return;
                if (!model_->goToRow(current.row()) && previous.isValid()) {
                    const int back = ZQuery1.currentRow();
                    QTimer::singleShot(0, this, [this, back, previous] {
                        suiDBGrid1->setCurrentIndex(model_->index(back, previous.column()));
                    });
                }
            });
    connect(&ZQuery1, &Query::currentChanged, this, &TableWindow::followQueryRow);
}

void TableWindow::followQueryRow(int row) {
    const QModelIndex current = suiDBGrid1->currentIndex();
    if (row < 0 || (current.isValid() && current.row() == row))
        return;
    if (current.isValid() && current.row() == model_->appendRow())
        return; // the grid stays on the blank row it was moved to
    suiDBGrid1->setCurrentIndex(model_->index(row, current.isValid() ? current.column() : 0));
}

void TableWindow::Smazatdek1Click() {
    const QModelIndex current = suiDBGrid1->currentIndex();
    model_->deleteRowAt(current.isValid() ? current.row() : ZQuery1.currentRow());
}

void TableWindow::done(int result) {
    if (ZQuery1.isEditing() && !model_->goToRow(-1))
        return;
    QDialog::done(result);
}

std::vector<QueryColumn> rateTableColumns(const QString& increasedPriceTitle, bool fixedWidths) {
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    return {
        {QStringLiteral("skupina"), QStringLiteral("Odpis.skupina"), right, left, -1},
        {QStringLiteral("prvnirok"), QStringLiteral("První rok"), right, left,
         fixedWidths ? 58 : -1},
        {QStringLiteral("dalsi"), QStringLiteral("V dalších letech"), right, left,
         fixedWidths ? 97 : -1},
        {QStringLiteral("zvyseny_vstup"), increasedPriceTitle, right, left, fixedWidths ? 162 : -1},
    };
}

} // namespace kelvo
