#include "support/scriptedmessages.h"
#include "support/testdatabase.h"
#include "ui/tfrovnomerne.h"
#include "ui/tfservis.h"
#include "ui/tfskupina.h"
#include "ui/tfzrychlene.h"
#include "ui/tfzvysen10.h"
#include "ui/tfzvysen15.h"
#include "ui/tfzvysen20.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

using namespace kelvo;
using kelvo::test::ScriptedMessages;
using kelvo::test::TestDatabase;

namespace {

struct WindowCase {
    const char* table;
    const char* caption;
    QSize size;
    QStringList titles;
    std::function<TableWindow*(Connection&, const DateFormat&, MessageService&)> create;
};

template <typename W> auto creator() {
    return [](Connection& c, const DateFormat& d, MessageService& m) -> TableWindow* {
        return new W(c, d, m);
    };
}

const QStringList kRateTitles{"Odpis.skupina", "První rok", "V dalších letech",
                              "Pro zvýšenou vstup. cenu"};

std::vector<WindowCase> windowCases() {
    return {
        {"def_skupiny",
         "Odpisová skupina",
         {226, 478},
         {"Odpis.skupina", "Počet let odpisu"},
         creator<Tfskupina>()},
        {"def_odpisr", "Rovnoměrný odpis", {434, 480}, kRateTitles, creator<Tfrovnomerne>()},
        {"def_odpisz",
         "Zrychlený odpis",
         {419, 480},
         {"Odpis.skupina", "První rok", "V dalších letech", "Pro zvýš. vstupní cenu"},
         creator<Tfzrychlene>()},
        {"def_odpis10",
         "Odpis zvýšen první rok o 10%",
         {437, 480},
         kRateTitles,
         creator<Tfzvysen10>()},
        {"def_odpis15",
         "Odpis zvýšen první rok o 15%",
         {437, 480},
         kRateTitles,
         creator<Tfzvysen15>()},
        {"def_odpis20",
         "Odpis zvýšen první rok o 20%",
         {437, 480},
         kRateTitles,
         creator<Tfzvysen20>()},
    };
}

// Each window: caption, size and titles; a row typed into the blank row and
// written when the grid leaves it; a cell changed; "Smazat řádek"; the table
// read only at the first use.
TEST(TableWindows, EditInPlaceAppendDeleteAndReadOnce) {
    TestDatabase db("tablewindows");
    for (const WindowCase& c : windowCases()) {
        SCOPED_TRACE(c.table);
        Connection connection(db.params());
        DateFormat dateFormat;
        ScriptedMessages messages;
        std::unique_ptr<TableWindow> window(c.create(connection, dateFormat, messages));
        EXPECT_EQ(window->windowTitle(), c.caption);
        EXPECT_EQ(window->size(), c.size);
        QStringList titles;
        for (int i = 0; i < window->model()->columnCount(); ++i)
            titles << window->model()->headerData(i, Qt::Horizontal).toString();
        EXPECT_EQ(titles, c.titles);

        const QString count = QStringLiteral("select count(*) from %1").arg(QLatin1String(c.table));
        const int before = db.scalar(count).toInt();
        window->openTable();
        window->show();
        QTableView* grid = window->suiDBGrid1;
        QAbstractItemModel* model = grid->model();
        ASSERT_EQ(model->rowCount(), before + 1);

        // Append: type into the blank row, then leave it for the first row.
        grid->setCurrentIndex(model->index(before, 0));
        ASSERT_TRUE(model->setData(model->index(before, 0), "77"));
        ASSERT_TRUE(model->setData(model->index(before, 1), "4"));
        EXPECT_EQ(db.scalar(count).toInt(), before);
        grid->setCurrentIndex(model->index(0, 1));
        EXPECT_EQ(db.scalar(count).toInt(), before + 1);
        const QString where =
            QStringLiteral(" from %1 where skupina=77").arg(QLatin1String(c.table));
        const QString second = c.titles.size() == 2 ? "rokyodpisu" : "cast(prvnirok as signed)";
        EXPECT_EQ(db.scalar("select " + second + where), "4");

        // Change a cell; the row is written when the window closes.
        ASSERT_TRUE(model->setData(model->index(before, 1), "5"));
        window->close();
        EXPECT_EQ(db.scalar(QStringLiteral("select count(*)") + where + " and " +
                            (c.titles.size() == 2 ? "rokyodpisu" : "prvnirok") + "=5"),
                  "1");

        // Another program's row is not read by a second use in the run.
        db.admin().execute(
            QStringLiteral("insert into %1 (skupina) values (88)").arg(QLatin1String(c.table)));
        window->openTable();
        EXPECT_EQ(model->rowCount(), before + 2);

        // "Smazat řádek" deletes the grid's row at once, without asking.
        window->show();
        grid->setCurrentIndex(model->index(before, 0));
        window->Smazatdek1->trigger();
        EXPECT_EQ(db.scalar(QStringLiteral("select count(*)") + where), "0");
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_TRUE(messages.errors.isEmpty()) << messages.errors.join("\n").toStdString();
        window->close();
    }
}

TEST(TableWindows, ARefusedRowKeepsTheWindowOpenForCorrection) {
    TestDatabase db("tablerefused");
    Connection connection(db.params());
    DateFormat dateFormat;
    ScriptedMessages messages;
    Tfskupina window(connection, dateFormat, messages);
    window.openTable();
    window.show();
    QAbstractItemModel* model = window.suiDBGrid1->model();
    window.suiDBGrid1->setCurrentIndex(model->index(0, 0));
    ASSERT_TRUE(model->setData(model->index(0, 1), "99999999999"));
    window.suiDBGrid1->setCurrentIndex(model->index(1, 0));
    EXPECT_EQ(messages.errors.size(), 1);
    window.close();
    EXPECT_EQ(messages.errors.size(), 2);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.ZQuery1.currentRow(), 0);
    ASSERT_TRUE(model->setData(model->index(0, 1), "4"));
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(db.scalar("select rokyodpisu from def_skupiny where skupina=1"), "4");
}

TEST(SettingsDialog, RestoresOnShowAndStoresOnEveryClose) {
    QTemporaryDir dir;
    ScriptedMessages messages;
    Tfservis dialog(AccountingModeStore::forExecutable(dir.filePath("kelvo")), messages);
    EXPECT_EQ(dialog.windowTitle(), "Nastavení programu");
    EXPECT_EQ(dialog.suiComboBox1->itemText(1), "dle data  do provozu");
    const SettingsFile cardWindowFile = SettingsFile::inDirectory(dir.path(), "kelvo.ini");

    dialog.show();
    EXPECT_EQ(dialog.suiComboBox1->currentIndex(), 0);
    dialog.suiComboBox1->setCurrentIndex(1);
    dialog.close(); // the title bar
    EXPECT_EQ(cardWindowFile.readInt("Tfservis", "suiComboBox1_ItemIndex", -9), 1);
    EXPECT_EQ(cardWindowFile.readInt("Tfservis", "FormVersion", -9), 0);

    cardWindowFile.writeString("Tfservis", "suiComboBox1_ItemIndex", "5");
    dialog.show();
    EXPECT_EQ(dialog.suiComboBox1->currentIndex(), -1);
    dialog.suiButton1->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(cardWindowFile.readInt("Tfservis", "suiComboBox1_ItemIndex", -9), -1);
    EXPECT_TRUE(messages.errors.isEmpty());
}

} // namespace
