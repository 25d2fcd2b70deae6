#pragma once

#include "core/formats.h"
#include "core/messageservice.h"
#include "db/query.h"
#include "register/querytablemodel.h"

#include <QDialog>

class QMenu;
class QTableView;
class QAction;

namespace kelvo {

// What the six group and rate table windows share: a modal window filled by an
// editable grid over one table (ZQuery1), rows written when the grid leaves
// them, a blank row after the last one for appending, and a pop-up menu whose
// one item "Smazat řádek" deletes the current row without asking.
class TableWindow : public QDialog {
    Q_OBJECT
  public:
    struct Definition {
        QString caption;
        QSize clientSize;
        QString tableQuery; // e.g. "select * from def_skupiny"
        std::vector<QueryColumn> columns;
    };

    TableWindow(Connection& connection, const DateFormat& dateFormat, MessageService& messages,
                const Definition& definition, QWidget* parent = nullptr);

    // The menu command's step before showing: opens the table query. An open
    // query is not read again, so the table is read at the first use in a run.
    void openTable() { ZQuery1.open(); }

    Query ZQuery1;
    QueryTableModel* model() const { return model_; }
    QTableView* suiDBGrid1 = nullptr;
    QMenu* suiPopupMenu1 = nullptr;
    QAction* Smazatdek1 = nullptr;

    void Smazatdek1Click();

    // A row still being edited is written before the window closes; when the
    // write fails the window stays open with the row for correction.
    void done(int result) override;

  private:
    void followQueryRow(int row);

    MessageService& messages_;
    QueryTableModel* model_ = nullptr;
};

// The columns of the rate table windows, with the two titles that differ.
std::vector<QueryColumn> rateTableColumns(const QString& increasedPriceTitle, bool fixedWidths);

} // namespace kelvo
