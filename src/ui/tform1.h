#pragma once

#include "core/clock.h"
#include "core/formats.h"
#include "core/messageservice.h"
#include "db/query.h"
#include "db/settingsfile.h"
#include "register/assetlist.h"
#include "register/querytablemodel.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QTableView;

namespace kelvo {

class Tfkarta;
class Tfzvysen15;
class Tfzrychlene;
class Tfskupina;
class Tfrovnomerne;
class Tfzvysen20;
class Tfzvysen10;
class Tfinventura;
class Tfservis;
class TableWindow;
class CardEditingCycles;
class UpdateCommand;
class ProcessInstallerStarter;
class ReportEngine;
class ReportWindows;
class PrintCommands;

// What the main window is given at creation.
struct MainWindowServices {
    Connection& connection; // the one connection, owned by the program's entry
    SettingsFile settings;  // the file named after the executable: connection keys
    SettingsFile programSettings; // kelvo.ini beside the executable: update server, AccountingMode
    const Clock& clock;
    DateFormat& dateFormat;
    MessageService& messages;
    QStringList arguments; // the command line; "/ES" first opens the report designer
};

// "ZERUT-seznam položek": the list of asset cards, its menus and commands.
// Its creation runs FormCreate (connection keys, schema upgrade); its first show
// runs FormShow (opens the list). Every command runs guarded: a failure shows
// the error box and leaves the window usable.
class TForm1 final : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm1(MainWindowServices services, QWidget* parent = nullptr);
    ~TForm1() override;

    // The windows created after this one, in the start-up order.
    struct Windows {
        Tfkarta* fkarta = nullptr;
        Tfzvysen15* fzvysen15 = nullptr;
        Tfzrychlene* fzrychlene = nullptr;
        Tfskupina* fskupina = nullptr;
        Tfrovnomerne* frovnomerne = nullptr;
        Tfzvysen20* fzvysen20 = nullptr;
        Tfzvysen10* fzvysen10 = nullptr;
        Tfinventura* finventura = nullptr;
        Tfservis* fservis = nullptr;
    };
    void setWindows(const Windows& windows) { windows_ = windows; }
    const Windows& windows() const { return windows_; }

    AssetList& list() { return list_; }
    QueryTableModel* listModel() const { return model_; }
    MessageService& messages() const { return services_.messages; }
    const DateFormat& dateFormat() const { return services_.dateFormat; }
    const Clock& clock() const { return services_.clock; }

    // Runs a handler inside the command guard (menus, grid events and tests).
    void run(void (TForm1::*handler)());

    QTableView* suiDBGrid1 = nullptr;
    QMenu* suiPopupMenu1 = nullptr;
    // Main menu items (the ones a later handler or a test needs by name).
    QAction* Zobrazitjenaktuln1 = nullptr;
    QAction* Zaaditkartu2 = nullptr;

    // --- "Hlavní nabídka"
    void Novkarta1Click();
    void Opravakarty1Click();
    void Vyaditkartu1Click();
    void Provstodpis1Click();
    // --- "Tisk"
    void Vybrankarta1Click();
    void Seznamkaret1Click();
    void tiskodpis1Click();
    void Inventurnsoupis1Click();
    // --- "Servis"
    void Definiceodpisovchskupin1Click();
    void Rovnomrnodpis1Click();
    void Zrychlenodpis1Click();
    void Odpiszveno101Click();
    void Odpiszveno151Click();
    void Odpiszveno201Click();
    void Nastavenprogramu1Click();
    void Kontrolanovverze1Click();
    // --- "Konec"
    void Opravdu1Click();
    // --- pop-up menu of the grid
    void Hledatvseznamu1Click();
    void Vymazatzznam1Click();
    void Vyaditkartu2Click();
    void Zobrazitjenaktuln1Click();
    void Zaaditkartu2Click();
    // --- grid events
    void suiDBGrid1DblClick();
    void suiDBGrid1TitleClick(int column);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void buildGrid();
    void buildMenus();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     void (TForm1::*handler)());
    void followListRow(int row);
    void syncFilterItems();
    void showTableWindow(TableWindow* window);
    void runCardCycle(const std::function<void(CardEditingCycles&)>& cycle);

    MainWindowServices services_;
    AssetList list_;
    QueryTableModel* model_ = nullptr;
    Windows windows_;
    bool shown_ = false;
    bool closing_ = false; // tells a running update check to stop waiting
    Query ZQuery3;         // the report query of the card, posted-rows and inventory prints
    std::unique_ptr<ReportEngine> frxReport1;
    std::unique_ptr<ReportWindows> reportWindows_;
    std::unique_ptr<PrintCommands> prints_;
    std::unique_ptr<ProcessInstallerStarter> installer_;
    std::unique_ptr<UpdateCommand> update_;
};

} // namespace kelvo
