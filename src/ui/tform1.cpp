#include "ui/tform1.h"

#include "depreciation/yearlyposting.h"
#include "maintenance/installerstarter.h"
#include "maintenance/updatecommand.h"
#include "register/cardcycles.h"
#include "register/cardstate.h"
#include "register/commandguard.h"
#include "register/startup.h"
#include "reports/printcommands.h"
#include "reports/reportengine.h"
#include "reportui/reportwindows.h"
#include "ui/searchdialog.h"
#include "ui/tfinventura.h"
#include "ui/tfkarta.h"
#include "ui/tfoznam.h"
#include "ui/tfrovnomerne.h"
#include "ui/tfservis.h"
#include "ui/tfskupina.h"
#include "ui/tfzrychlene.h"
#include "ui/tfzvysen10.h"
#include "ui/tfzvysen15.h"
#include "ui/tfzvysen20.h"

#include <QCloseEvent>
#include <QColor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <QTableView>

namespace kelvo {
namespace {

std::vector<QueryColumn> listColumns() {
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const auto centre = Qt::AlignHCenter | Qt::AlignVCenter;
    auto column = [](const char* field, const char* title, int width, Qt::Alignment values,
                     Qt::Alignment titles, bool visible = true) {
        return QueryColumn{
            QLatin1String(field), QString::fromUtf8(title), values, titles, width, visible};
    };
    return {
        column("pora_cislo", "Pořadové číslo", -1, right, centre, false),
        column("cislokarty", "Invent. číslo", 87, right, centre),
        column("nazev", "Název majetku", 295, left, left),
        column("dodavatel", "Dodavatel", 259, left, left),
        column("cena", "Vstupní cena", 100, right, centre),
        column("datum_za", "Datum pořízení", 100, right, centre),
        column("dokl_za", "Doklad pořízení", 110, right, centre),
        column("misto", "Umístění", 150, left, left),
        column("sk_odpisu", "Odpisová skupina", 116, right, centre),
        column("zp_odpisu", "Způsob odpisování", 126, right, centre),
        column("do_pouziti", "Uvedeno do používání", 130, right, left),
        column("datum_vy", "Datum vyřazení", 100, right, left),
        column("dokl_vy", "Doklad vyřazení", 110, right, left),
        column("dat_zhod", "Datum tech.zhod.", 100, right, left),
        column("dokl_zhod", "Doklad", 149, right, centre),
        column("koruny", "Kč", 100, right, centre),
        column("poznamka", "Poznámka", 300, left, left),
        column("vyrazen", "Vyřazen", -1, centre, left, false),
    };
}

} // namespace

TForm1::TForm1(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), list_(services_.connection),
      ZQuery3(services_.connection) {
    frxReport1 = std::make_unique<ReportEngine>(services_.clock, &services_.messages);
    reportWindows_ = std::make_unique<ReportWindows>(*frxReport1, &services_.messages, this);
    prints_ = std::make_unique<PrintCommands>(list_.query(), ZQuery3, *reportWindows_,
                                              services_.arguments, services_.messages);
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("ZERUT-seznam položek"));
    setMinimumSize(130, 32);
    buildGrid();
    buildMenus();

    // The client area below the menu bar is 1119 x 522, centred on the screen.
    resize(1119, 522 + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    run(&TForm1::FormCreate);
}

TForm1::~TForm1() = default;

void TForm1::run(void (TForm1::*handler)()) {
    runCommand(services_.messages, [this, handler] { (this->*handler)(); });
}

void TForm1::FormCreate() {
    formCreate(services_.connection, services_.settings);
}

void TForm1::FormShow() {
    formShow(list_, windows_.fkarta ? &windows_.fkarta->ZQuery2 : nullptr);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_ || event->spontaneous())
        return;
    shown_ = true;
    run(&TForm1::FormShow);
}

void TForm1::buildGrid() {
    model_ = new QueryTableModel(list_.query(), listColumns(), services_.dateFormat,
                                 services_.messages, this);
    // suiDBGrid1DrawColumnCell: discarded cards (listed only while all cards are
    // shown) stand in grey text.
    model_->setRowColour([this](const Query&, int row) {
        return list_.isDiscarded(row) ? QVariant(QColor(128, 128, 128)) : QVariant();
    });

    suiDBGrid1 = new QTableView(this);
    suiDBGrid1->setObjectName(QStringLiteral("suiDBGrid1"));
    suiDBGrid1->setModel(model_);
    suiDBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    suiDBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    suiDBGrid1->setShowGrid(true);
    suiDBGrid1->verticalHeader()->setDefaultSectionSize(20);
    suiDBGrid1->verticalHeader()->setFixedWidth(14);
    suiDBGrid1->horizontalHeader()->setSectionsClickable(true);
    suiDBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    suiDBGrid1->horizontalHeader()->setHighlightSections(false);
    suiDBGrid1->setStyleSheet(QStringLiteral(
        "QTableView { background-color: #E8E8E8; color: black; }"
        "QHeaderView::section:horizontal { background-color: #444AA0; color: white;"
        " border: 1px solid #30357A; }"
        "QHeaderView::section:vertical { background-color: #E8E8E8; border: 1px solid #C0C0C0; }"));
    const auto& columns = model_->columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].width > 0)
            suiDBGrid1->setColumnWidth(int(i), columns[i].width);
        suiDBGrid1->setColumnHidden(int(i), !columns[i].visible);
    }
    setCentralWidget(suiDBGrid1);

    connect(suiDBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        runCommand(services_.messages, [this, column] { suiDBGrid1TitleClick(column); });
    });
    connect(suiDBGrid1, &QTableView::doubleClicked, this,
            [this] { run(&TForm1::suiDBGrid1DblClick); });
    connect(suiDBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != list_.query().currentRow())
                    runCommand(services_.messages,
                               [this, current] { list_.query().moveTo(current.row()); });
            });
    connect(&list_.query(), &Query::currentChanged, this, &TForm1::followListRow);
}

void TForm1::followListRow(int row) {
    const QModelIndex current = suiDBGrid1->currentIndex();
    if (row < 0 || (current.isValid() && current.row() == row))
        return;
    int column =
        current.isValid() ? current.column() : model_->columnOf(QStringLiteral("cislokarty"));
    suiDBGrid1->setCurrentIndex(model_->index(row, column));
}

QAction* TForm1::addItem(QMenu* menu, const char* name, const QString& caption,
                         void (TForm1::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, [this, handler] { run(handler); });
    return action;
}

void TForm1::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("suiMainMenu1"));
    QMenu* main = bar->addMenu(QStringLiteral("Hlavní nabídka"));
    addItem(main, "Novkarta1", QStringLiteral("Nová karta"), &TForm1::Novkarta1Click);
    addItem(main, "Opravakarty1", QStringLiteral("Oprava karty"), &TForm1::Opravakarty1Click);
    addItem(main, "Vyaditkartu1", QStringLiteral("Vyřadit kartu"), &TForm1::Vyaditkartu1Click);
    main->addSeparator();
    addItem(main, "Provstodpis1", QStringLiteral("Provést odpisy"), &TForm1::Provstodpis1Click);

    QMenu* print = bar->addMenu(QStringLiteral("Tisk"));
    addItem(print, "Vybrankarta1", QStringLiteral("Tisk karty"), &TForm1::Vybrankarta1Click);
    addItem(print, "Seznamkaret1", QStringLiteral("Tisk seznamu"), &TForm1::Seznamkaret1Click);
    addItem(print, "tiskodpis1", QStringLiteral("Tisk odpisů"), &TForm1::tiskodpis1Click);
    print->addSeparator();
    addItem(print, "Inventurnsoupis1", QStringLiteral("Inventurní soupis"),
            &TForm1::Inventurnsoupis1Click);

    QMenu* service = bar->addMenu(QStringLiteral("Servis"));
    service->setObjectName(QStringLiteral("Servis1"));
    addItem(service, "Definiceodpisovchskupin1", QStringLiteral("Odpisové skupiny"),
            &TForm1::Definiceodpisovchskupin1Click);
    addItem(service, "Rovnomrnodpis1", QStringLiteral("Rovnoměrný odpis"),
            &TForm1::Rovnomrnodpis1Click);
    addItem(service, "Zrychlenodpis1", QStringLiteral("Zrychlený odpis"),
            &TForm1::Zrychlenodpis1Click);
    addItem(service, "Odpiszveno101", QStringLiteral("Odpis-zvýšen o 10%"),
            &TForm1::Odpiszveno101Click);
    addItem(service, "Odpiszveno151", QStringLiteral("Odpis-zvýšen o 15%"),
            &TForm1::Odpiszveno151Click);
    addItem(service, "Odpiszveno201", QStringLiteral("Odpis-zvýšen o 20%"),
            &TForm1::Odpiszveno201Click);
    service->addSeparator();
    addItem(service, "Nastavenprogramu1", QStringLiteral("Nastavení programu"),
            &TForm1::Nastavenprogramu1Click);
    addItem(service, "Kontrolanovverze1", QStringLiteral("Kontrola nové verze"),
            &TForm1::Kontrolanovverze1Click);

    QMenu* end = bar->addMenu(QStringLiteral("Konec"));
    addItem(end, "Opravdu1", QStringLiteral("Opravdu"), &TForm1::Opravdu1Click);

    suiPopupMenu1 = new QMenu(this);
    suiPopupMenu1->setObjectName(QStringLiteral("suiPopupMenu1"));
    addItem(suiPopupMenu1, "Hledatvseznamu1", QStringLiteral("Hledat v seznamu"),
            &TForm1::Hledatvseznamu1Click);
    addItem(suiPopupMenu1, "Vymazatzznam1", QStringLiteral("Vymazat záznam"),
            &TForm1::Vymazatzznam1Click);
    addItem(suiPopupMenu1, "Vyaditkartu2", QStringLiteral("Vyřadit kartu"),
            &TForm1::Vyaditkartu2Click);
    suiPopupMenu1->addSeparator();
    Zobrazitjenaktuln1 =
        addItem(suiPopupMenu1, "Zobrazitjenaktuln1", QStringLiteral("Zobrazit jen aktuální"),
                &TForm1::Zobrazitjenaktuln1Click);
    Zobrazitjenaktuln1->setCheckable(true);
    Zaaditkartu2 = addItem(suiPopupMenu1, "Zaaditkartu2", QStringLiteral("Zařadit kartu"),
                           &TForm1::Zaaditkartu2Click);
    syncFilterItems();

    suiDBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(suiDBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        suiPopupMenu1->popup(suiDBGrid1->viewport()->mapToGlobal(pos));
    });
}

void TForm1::syncFilterItems() {
    Zobrazitjenaktuln1->setChecked(list_.onlyCurrent());
    Zaaditkartu2->setVisible(list_.reinstateOffered());
}

// --- Commands whose behaviour comes with later work. Each stays its own
// handler so that it can be filled in where it is.

// --- The card editing cycles: the card window, shown modally, edits inside
// the cycle's transaction.

void TForm1::runCardCycle(const std::function<void(CardEditingCycles&)>& cycle) {
    Tfkarta* window = windows_.fkarta;
    if (!window)
        return;
    CardEditingCycles cycles(services_.connection, list_.query(), list_.statements(),
                             window->dataSets(), [window] { return window->exec(); },
                             services_.messages);
    cycle(cycles);
}

void TForm1::Novkarta1Click() {
    runCardCycle([](CardEditingCycles& cycles) { cycles.newCard(); });
}

void TForm1::Opravakarty1Click() {
    runCardCycle(
        [](CardEditingCycles& cycles) { cycles.editCard(CopyCardColumnsForm::Menu); });
}

void TForm1::suiDBGrid1DblClick() {
    runCardCycle(
        [](CardEditingCycles& cycles) { cycles.editCard(CopyCardColumnsForm::DoubleClick); });
}

void TForm1::Provstodpis1Click() {
    YearlyPosting posting(services_.connection, services_.messages, services_.clock,
                          [this](Query& rowsToPost) { prints_->printPostingList(rowsToPost); });
    posting.Provstodpis();
}

// --- Prints.

void TForm1::Vybrankarta1Click() {
    prints_->printCard();
}

void TForm1::Seznamkaret1Click() {
    prints_->printList();
}

void TForm1::tiskodpis1Click() {
    prints_->printPostedDepreciation();
}

void TForm1::Inventurnsoupis1Click() {
    if (!windows_.finventura || windows_.finventura->exec() != 1)
        return;
    prints_->printInventory(windows_.finventura->inventoryDate());
}

void TForm1::Kontrolanovverze1Click() {
    if (!update_) {
        installer_ = std::make_unique<ProcessInstallerStarter>();
        FtpWaiting waiting;
        waiting.shouldAbort = [this] { return closing_; };
        update_ = std::make_unique<UpdateCommand>(
            services_.programSettings, services_.messages, services_.dateFormat,
            [this] { return std::make_unique<Tfoznam>(this); }, *installer_, [this] { close(); },
            UpdatePlaces::forRunningProgram(), waiting);
    }
    update_->Kontrolanovverze1Click();
}

void TForm1::closeEvent(QCloseEvent* event) {
    closing_ = true;
    QMainWindow::closeEvent(event);
}

// --- Discard, reinstate, delete.

void TForm1::Vyaditkartu1Click() {
    discardCard(list_, services_.messages);
}

void TForm1::Vyaditkartu2Click() {
    discardCard(list_, services_.messages);
}

void TForm1::Zaaditkartu2Click() {
    reinstateCard(list_, services_.messages);
}

void TForm1::Vymazatzznam1Click() {
    deleteCard(list_, services_.messages);
}

// --- The list.

void TForm1::Zobrazitjenaktuln1Click() {
    // The check mark and the offer of "Zařadit kartu" follow the filter even
    // when reopening the list fails.
    struct Sync {
        TForm1* window;
        ~Sync() { window->syncFilterItems(); }
    } sync{this};
    list_.toggleOnlyCurrent();
}

void TForm1::suiDBGrid1TitleClick(int column) {
    if (column < 0 || column >= int(model_->columns().size()) ||
        !model_->columns()[size_t(column)].visible)
        return;
    list_.titleClicked(model_->columns()[size_t(column)].field);
}

void TForm1::Hledatvseznamu1Click() {
    const QModelIndex current = suiDBGrid1->currentIndex();
    const QString field =
        current.isValid() ? model_->columns()[size_t(current.column())].field : QString();
    SearchDialog dialog(list_.query(), services_.messages, services_.dateFormat,
                        ListSearch::fieldPosition(field), this);
    dialog.exec();
}

// --- "Servis".

void TForm1::showTableWindow(TableWindow* window) {
    if (!window)
        return;
    window->openTable();
    window->exec();
}

void TForm1::Definiceodpisovchskupin1Click() {
    showTableWindow(windows_.fskupina);
}

void TForm1::Rovnomrnodpis1Click() {
    showTableWindow(windows_.frovnomerne);
}

void TForm1::Zrychlenodpis1Click() {
    showTableWindow(windows_.fzrychlene);
}

void TForm1::Odpiszveno101Click() {
    showTableWindow(windows_.fzvysen10);
}

void TForm1::Odpiszveno151Click() {
    showTableWindow(windows_.fzvysen15);
}

void TForm1::Odpiszveno201Click() {
    showTableWindow(windows_.fzvysen20);
}

void TForm1::Nastavenprogramu1Click() {
    if (windows_.fservis)
        windows_.fservis->exec();
}

void TForm1::Opravdu1Click() {
    close();
}

} // namespace kelvo
