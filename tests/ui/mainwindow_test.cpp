#include "register/cards.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"
#include "reportui/reportdesigner.h"
#include "reportui/reportpreview.h"
#include "ui/tfoznam.h"
#include "ui/tform1.h"
#include "ui/tfskupina.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kelvo;
using kelvo::test::ScriptedMessages;
using kelvo::test::StatementLog;
using kelvo::test::TestDatabase;

namespace {


QStringList itemsOf(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return items;
}

class MainWindowTest : public ::testing::Test {
  protected:
    explicit MainWindowTest(int port = -1) : db("mainwin") {
        test::insertFourCards(db);
        SettingsFile settings = test::settingsForProgram(dir.path(), db.params(), port);
        ConnectionParams initial;
        initial.database = db.params().database;
        connection = std::make_unique<Connection>(initial);
        form = std::make_unique<TForm1>(
            MainWindowServices{*connection, settings, settings, clock, dateFormat, messages, {"kelvo"}});
        form->show();
    }

    QAction* action(const char* name) { return form->findChild<QAction*>(QLatin1String(name)); }
    QTableView* grid() { return form->suiDBGrid1; }
    int column(const char* field) { return form->listModel()->columnOf(QLatin1String(field)); }
    QString cell(int row, const char* field) {
        return grid()->model()->index(row, column(field)).data().toString();
    }
    // The darkest pixel of a row's text, as the grid draws it.
    int darkestIn(int row) {
        const QImage image = grid()->viewport()->grab().toImage();
        const int y0 = grid()->rowViewportPosition(row);
        const int x0 = grid()->columnViewportPosition(column("nazev"));
        int darkest = 255;
        for (int y = y0; y < y0 + grid()->rowHeight(row); ++y) {
            for (int x = x0; x < x0 + grid()->columnWidth(column("nazev")); ++x)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
        return darkest;
    }
    void clickTitle(const char* field) {
        QHeaderView* header = grid()->horizontalHeader();
        const int section = column(field);
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 10, header->height() / 2));
    }

    TestDatabase db;
    QTemporaryDir dir;
    std::unique_ptr<Connection> connection;
    FixedClock clock{QDate(2024, 1, 15)};
    DateFormat dateFormat;
    ScriptedMessages messages;
    std::unique_ptr<TForm1> form;
};

TEST_F(MainWindowTest, MenusHoldTheItemsInOrder) {
    EXPECT_EQ(form->windowTitle(), "ZERUT-seznam položek");
    QStringList groups;
    std::vector<QStringList> items;
    for (QAction* group : form->menuBar()->actions()) {
        groups << group->text();
        items.push_back(itemsOf(group->menu()));
    }
    EXPECT_EQ(groups, QStringList({"Hlavní nabídka", "Tisk", "Servis", "Konec"}));
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0],
              QStringList({"Nová karta", "Oprava karty", "Vyřadit kartu", "-", "Provést odpisy"}));
    EXPECT_EQ(items[1],
              QStringList({"Tisk karty", "Tisk seznamu", "Tisk odpisů", "-", "Inventurní soupis"}));
    EXPECT_EQ(items[2],
              QStringList({"Odpisové skupiny", "Rovnoměrný odpis", "Zrychlený odpis",
                           "Odpis-zvýšen o 10%", "Odpis-zvýšen o 15%", "Odpis-zvýšen o 20%", "-",
                           "Nastavení programu", "Kontrola nové verze"}));
    EXPECT_EQ(items[3], QStringList({"Opravdu"}));
    EXPECT_EQ(itemsOf(form->suiPopupMenu1),
              QStringList({"Hledat v seznamu", "Vymazat záznam", "Vyřadit kartu", "-",
                           "Zobrazit jen aktuální", "Zařadit kartu"}));
    EXPECT_TRUE(form->Zobrazitjenaktuln1->isChecked());
    EXPECT_FALSE(form->Zaaditkartu2->isVisible());
}

TEST_F(MainWindowTest, GridShowsTheVisibleColumnsWithFormattedValues) {
    QStringList titles;
    QHeaderView* header = grid()->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            titles << grid()->model()->headerData(logical, Qt::Horizontal).toString();
    }
    EXPECT_EQ(titles,
              QStringList({"Invent. číslo", "Název majetku", "Dodavatel", "Vstupní cena",
                           "Datum pořízení", "Doklad pořízení", "Umístění", "Odpisová skupina",
                           "Způsob odpisování", "Uvedeno do používání", "Datum vyřazení",
                           "Doklad vyřazení", "Datum tech.zhod.", "Doklad", "Kč", "Poznámka"}));
    EXPECT_EQ(grid()->columnWidth(column("nazev")), 295);
    EXPECT_EQ(grid()->model()->rowCount(), 3);
    EXPECT_EQ(cell(1, "cena"), "5 000,00");
    EXPECT_EQ(cell(1, "datum_za"), "5.1.2020");
    EXPECT_TRUE(messages.errors.isEmpty());
}

TEST_F(MainWindowTest, ADiscardedCardIsDrawnGreyOnlyWhileAllCardsAreListed) {
    form->list().query().locate("pora_cislo", "10");
    action("Vyaditkartu2")->trigger();
    EXPECT_EQ(messages.texts(), QStringList({"Záznam vyřazen!"}));
    EXPECT_EQ(grid()->model()->rowCount(), 2);

    form->Zobrazitjenaktuln1->trigger();
    EXPECT_FALSE(form->Zobrazitjenaktuln1->isChecked());
    EXPECT_TRUE(form->Zaaditkartu2->isVisible());
    ASSERT_EQ(grid()->model()->rowCount(), 4); // 1, 10, 2, 9
    EXPECT_EQ(cell(1, "pora_cislo"), "10");
    EXPECT_EQ(darkestIn(1), 128); // grey text
    EXPECT_EQ(darkestIn(2), 128); // the seed's discarded card
    EXPECT_LT(darkestIn(0), 64);  // black text

    form->list().query().moveTo(1);
    action("Zaaditkartu2")->trigger();
    EXPECT_EQ(messages.texts().last(), "Záznam obnoven!");
    EXPECT_LT(darkestIn(1), 64);

    form->Zobrazitjenaktuln1->trigger();
    EXPECT_FALSE(form->Zaaditkartu2->isVisible());
    EXPECT_EQ(grid()->model()->rowCount(), 3);
}

TEST_F(MainWindowTest, TitleClicksSortAndTheSortSurvivesTheFilterSwitch) {
    clickTitle("cena");
    clickTitle("cena");
    EXPECT_EQ(cell(0, "pora_cislo"), "9");
    form->Zobrazitjenaktuln1->trigger();
    EXPECT_EQ(cell(0, "pora_cislo"), "2"); // the dearest, discarded card
    clickTitle("cena");
    EXPECT_EQ(cell(0, "pora_cislo"), "1"); // back to the list's own order
}

TEST_F(MainWindowTest, UpdateCheckWithoutAReachableServerSaysThereIsNoNewVersion) {
    // kelvo.ini names no update server: the default host never resolves.
    action("Kontrolanovverze1")->trigger();
    EXPECT_EQ(messages.texts(), QStringList({"Není nová verze"}));
    EXPECT_TRUE(form->findChildren<Tfoznam*>().isEmpty());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowTest, ATableCommandReadsItsTableAndShowsTheWindow) {
    // The table windows come from the program's entry; here just one of them.
    auto* groups = new Tfskupina(*connection, dateFormat, messages, form.get());
    TForm1::Windows windows;
    windows.fskupina = groups;
    form->setWindows(windows);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = groups->isVisible();
        groups->close();
    });
    action("Definiceodpisovchskupin1")->trigger();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(groups->ZQuery1.isOpen());
    EXPECT_EQ(groups->model()->rowCount(), 7); // six groups and the blank row
}

TEST_F(MainWindowTest, OpravduClosesTheMainWindowWithoutAsking) {
    StatementLog log(*connection);
    action("Opravdu1")->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(log.statements.isEmpty());
}

class StartWithServerDown : public MainWindowTest {
  protected:
    StartWithServerDown() : MainWindowTest(1) {}
};

TEST_F(StartWithServerDown, TwoErrorBoxesAnEmptyListAndTheNextCommandWorksOnceTheServerIsBack) {
    EXPECT_EQ(messages.errors.size(), 2);
    EXPECT_EQ(grid()->model()->rowCount(), 0);
    EXPECT_TRUE(form->isVisible());

    // With no card listed, the commands that need one do nothing and say nothing.
    StatementLog log(*connection);
    for (const char* name :
         {"Opravakarty1", "Vyaditkartu1", "Vyaditkartu2", "Vymazatzznam1", "Zaaditkartu2"})
        action(name)->trigger();
    emit grid()->doubleClicked(QModelIndex());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(log.statements.isEmpty());

    connection->setParams(db.params());
    form->Zobrazitjenaktuln1->trigger();
    EXPECT_EQ(messages.errors.size(), 2);
    EXPECT_EQ(grid()->model()->rowCount(), 4);
}

} // namespace

// Closes the next modal window that opens and notes what it was.
static void closeNextModal(QString* shown) {
    QTimer::singleShot(0, [shown] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* preview = qobject_cast<ReportPreview*>(modal))
            *shown = "preview " + preview->pageText();
        else if (qobject_cast<ReportDesigner*>(modal))
            *shown = "designer";
        if (modal)
            modal->close();
    });
}

TEST_F(MainWindowTest, PrintsAndTheYearlyPostingShowTheReportPreview) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());  // templates are read by their bare names
    for (const char* name : {"seznam.fr3", "odpisy.fr3", "karta.fr3"})
        QFile::copy(test::sourceDir() + "/src/reports/templates/" + name, dir.filePath(name));
    db.admin().execute("insert into odpisy (id_karta, cislokarty, nazev, rok, korun_o, odepsano) values "
                       "(1, \"I10\", \"Vrtačka\", \"2023\", 1000, \"N\"), (2, \"I9\", \"Soustruh\", \"2023\", 2000, \"N\"), "
                       "(1, \"I10\", \"Vrtačka\", \"2024\", 1000, \"N\")");

    QString shown;
    closeNextModal(&shown);
    action("Seznamkaret1")->trigger();
    EXPECT_EQ(shown, "preview Strana 1 / 1");

    shown.clear();
    closeNextModal(&shown);
    action("Vybrankarta1")->trigger();
    EXPECT_EQ(shown, "preview Strana 1 / 1");

    // Posting the year before the clock's: the list of rows, the question, the posting.
    shown.clear();
    messages.shown.clear();
    closeNextModal(&shown);
    action("Provstodpis1")->trigger();
    EXPECT_EQ(shown, "preview Strana 1 / 1");
    EXPECT_EQ(messages.texts(),
              QStringList({"Pokračovat v odpisech pro rok 2023?", "Byl proveden odpis pro rok 2023!"}));
    EXPECT_EQ(db.column("select odepsano from odpisy order by id"), QStringList({"A", "A", "N"}));
    EXPECT_EQ(db.scalar("select datum_odpisu from odpisy where id=1"), "2024-01-15T00:00:00.000");
    QDir::setCurrent(previous);
}
