#pragma once

#include "card/cardcommands.h"
#include "card/shift.h"
#include "core/formats.h"
#include "core/messageservice.h"
#include "db/query.h"
#include "db/settingsfile.h"
#include "depreciation/carddatasets.h"
#include "depreciation/plan.h"

#include <QDialog>
#include <QTableView>
#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace kelvo {

class CardInputs;
class QueryTableModel;

// What the card window is given at creation.
struct CardWindowServices {
    Connection& connection;
    SettingsFile programSettings; // kelvo.ini beside the executable: AccountingMode
    const DateFormat& dateFormat;
    MessageService& messages;
    // "Tisk karty": the main window's print-card command.
    std::function<void()> printCard;
};

// The rows grid: a table view that can hand an open cell editor's text to the
// data set before a command reads it.
class CardRowsGrid final : public QTableView {
    Q_OBJECT
  public:
    using QTableView::QTableView;
    void commitOpenEditor();
};

// "Karta položky": one asset card with its inputs and the grid of its
// depreciation rows. The card editing cycles of the main window open the data
// sets and show the window modally; it ends with 1 ("Uložit") or 2 ("Storno"
// confirmed, or closed by the title bar). Every command runs guarded: a failure
// shows the error box and the window stays open.
class Tfkarta final : public QDialog {
    Q_OBJECT
  public:
    explicit Tfkarta(CardWindowServices services, QWidget* parent = nullptr);
    ~Tfkarta() override;

    Query ZQuery1; // the card
    Query ZQuery2; // the card's depreciation rows
    Query ZQuery3; // the commands' work data set
    Query ZQuery4; // the group list, "select * from def_skupiny"
    CardDataSets dataSets() { return {ZQuery1, ZQuery2, ZQuery3, ZQuery4}; }

    int accountingMode() const { return commands_.accountingMode(); }
    QueryTableModel* rowsModel() const { return rowsModel_; }

    // Runs a handler inside the command guard (buttons, menu items and tests).
    void run(void (Tfkarta::*handler)());

    void suiButton1Click(); // "Uložit"
    void suiButton2Click(); // "Storno"
    void suiButton3Click(); // "Tisk karty"
    void suiButton4Click(); // "Nová karta"
    void suiButton5Click(); // "Klonovat záznam"
    void suiButton6Click(); // "Generace vět odpisů"
    void Posunodpisu1Click();
    void Uloitzznam1Click();
    void FormShow();

    // Inputs in their focus order.
    QLineEdit* suiDBEdit1 = nullptr;  // pora_cislo
    QLineEdit* suiDBEdit3 = nullptr;  // cislokarty
    QLineEdit* suiDBEdit2 = nullptr;  // nazev
    QLineEdit* suiDBEdit4 = nullptr;  // dodavatel
    QLineEdit* suiDBEdit5 = nullptr;  // dat_zhod
    QLineEdit* suiDBEdit6 = nullptr;  // dokl_zhod
    QLineEdit* suiDBEdit7 = nullptr;  // koruny
    QLineEdit* suiDBEdit14 = nullptr; // poznamka
    QLineEdit* suiDBEdit8 = nullptr;  // cena
    QLineEdit* suiDBEdit9 = nullptr;  // datum_za
    QLineEdit* suiDBEdit10 = nullptr; // dokl_za
    QLineEdit* suiDBEdit11 = nullptr; // do_pouziti
    QLineEdit* suiDBEdit15 = nullptr; // misto
    QLineEdit* suiDBEdit12 = nullptr; // datum_vy
    QLineEdit* suiDBEdit13 = nullptr; // dokl_vy
    QComboBox* suiDBComboBox2 = nullptr;       // zp_odpisu
    CardRowsGrid* suiDBGrid1 = nullptr;        // the rows
    QPushButton* suiButton6 = nullptr;         // "Generace vět odpisů"
    QComboBox* suiDBLookupComboBox1 = nullptr; // sk_odpisu
    QPushButton* suiButton4 = nullptr;         // "Nová karta"
    QPushButton* suiButton5 = nullptr;         // "Klonovat záznam"
    QPushButton* suiButton3 = nullptr;         // "Tisk karty"
    QPushButton* suiButton1 = nullptr;         // "Uložit"
    QPushButton* suiButton2 = nullptr;         // "Storno"
    QLabel* legend = nullptr;
    QMenu* suiPopupMenu1 = nullptr;
    QAction* Posunodpisu1 = nullptr;
    QAction* Uloitzznam1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  public slots:
    // Closing by the title bar ends the cycle as a confirmed "Storno" would.
    void reject() override;

  private:
    void buildLeftPanel(QWidget* panel);
    void buildMiddlePanel(QWidget* panel);
    void buildRightPanel(QWidget* panel);
    void buildButtonBar(QWidget* bar);
    void buildRowsGrid(QWidget* panel);
    QLineEdit* addEdit(QWidget* panel, const char* name, const QString& label, const QRect& at,
                       const QString& field, int kind, int labelWidth = 0);
    QPushButton* addButton(QWidget* bar, const char* name, const QString& caption,
                           void (Tfkarta::*handler)());
    void followRowsRow(int row);
    void syncPlanButton();

    CardWindowServices services_;
    CardCommands commands_;
    DepreciationShift shift_;
    PlanGenerator plan_;
    CardInputs* inputs_ = nullptr;
    QueryTableModel* rowsModel_ = nullptr;
};

} // namespace kelvo
