#include "reports/printcommands.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using kelvo::test::ScriptedMessages;
using kelvo::test::StatementLog;
using kelvo::test::TestDatabase;

namespace {

// Records what the print sequence asks of the report engine, and what the bound
// data set holds at the moment the report is prepared or designed.
class RecordingEngine final : public ReportFrontEnd {
public:
    void bind(ReportDataSource& rows) override
    {
        bound = &rows;
        calls << "bind";
    }
    void load(const QString& fileName) override { calls << "load " + fileName; }
    void setVariable(const QString& name, const QString& expression) override
    {
        calls << "variable " + name + "=" + expression;
    }
    void design() override
    {
        calls << "design";
        snapshot();
    }
    bool prepare() override
    {
        calls << "prepare";
        snapshot();
        return prepareSucceeds;
    }
    void showPrepared() override { calls << "preview"; }

    // Walks the bound rows as the engine does.
    void snapshot()
    {
        rows = 0;
        for (bound->first(); !bound->eof(); bound->next())
            ++rows;
    }
    Query* boundQuery() const
    {
        auto* source = dynamic_cast<QueryDataSource*>(bound);
        return source ? source->query() : nullptr;
    }

    QStringList calls;
    ReportDataSource* bound = nullptr;
    int rows = -1;
    bool prepareSucceeds = true;
};

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.admin().execute("insert into karta (pora_cislo, cislokarty, nazev, datum_za, vyrazen) values "
                           "(\"1\", \"INV-1\", \"Vrtačka\", \"2014-10-01\", \"N\"), "
                           "(\"2\", \"INV-2\", \"Lis\", \"2014-10-02\", \"N\"), "
                           "(\"3\", \"INV-1\", \"Dvojník\", \"2013-01-01\", \"A\")");
        db.admin().execute("insert into odpisy (id_karta, cislokarty, rok, odepsano) values "
                           "(1, \"INV-1\", \"2014\", \"A\"), (1, \"INV-1\", \"2015\", \"N\"), "
                           "(2, \"INV-2\", \"2014\", \"A\"), (3, \"INV-1\", \"2014\", \"N\")");
        list.setText("select * from karta where vyrazen=\"N\"\norder by pora_cislo");
        list.open();
    }

    TestDatabase db{QStringLiteral("print")};
    Connection connection{db.params()};
    Query list{connection}, reportQuery{connection};
    RecordingEngine engine;
    ScriptedMessages messages;
};

} // namespace

TEST_F(PrintTest, DesignSwitchIsExactlyTheFirstArgument)
{
    struct Case {
        QStringList arguments;
        QStringList tail;
    };
    const Case cases[] = {
        {{"kelvo"}, {"prepare", "preview"}},
        {{"kelvo", "/ES"}, {"design"}},
        {{"kelvo", "/es"}, {"prepare", "preview"}},
        {{"kelvo", "x", "/ES"}, {"prepare", "preview"}},
        {{"kelvo", " /ES"}, {"prepare", "preview"}},
    };
    QueryDataSource rows(list);
    for (const Case& c : cases) {
        RecordingEngine e;
        RunReport(e, c.arguments, "seznam.fr3", rows);
        EXPECT_EQ(e.calls, QStringList({"bind", "load seznam.fr3"}) + c.tail) << c.arguments.join(' ').toStdString();
    }
    RecordingEngine failing;
    failing.prepareSucceeds = false;
    RunReport(failing, {"kelvo"}, "seznam.fr3", rows);
    EXPECT_FALSE(failing.calls.contains("preview"));
}

TEST_F(PrintTest, CardPrintJoinsRowsByInventoryNumberAndRefreshesTheList)
{
    PrintCommands print(list, reportQuery, engine, {"kelvo"}, messages);
    list.locate("id", "1");
    StatementLog log(connection);
    print.printCard();
    EXPECT_EQ(log.statements.first(),
              "select karta.* , odpisy.rok,odpisy.datum_odpisu,odpisy.koef_o,odpisy.procento_o,odpisy.zh,"
              "odpisy.korun_o,odpisy.korun_do from karta, odpisy where karta.cislokarty = odpisy.cislokarty\n"
              " and karta.id=1");
    // Two cards share INV-1: the print of either carries the rows of both.
    EXPECT_EQ(engine.rows, 3);
    EXPECT_EQ(engine.calls, QStringList({"bind", "load karta.fr3", "prepare", "preview"}));
    EXPECT_TRUE(reportQuery.isOpen());
    EXPECT_EQ(log.statements.last(), "select * from karta where vyrazen=\"N\"\norder by pora_cislo");

    // An empty list prints nothing and sends nothing.
    list.close();
    list.setText("select * from karta where id=0");
    list.open();
    log.statements.clear();
    print.printCard();
    EXPECT_TRUE(log.statements.isEmpty());
    EXPECT_EQ(messages.texts(), QStringList{"V seznamu není žádná karta k tisku."});
}

TEST_F(PrintTest, ListAndPostedDepreciation)
{
    PrintCommands print(list, reportQuery, engine, {"kelvo"}, messages);
    list.sortBy("nazev", SortOrder::Ascending);
    print.printList();
    EXPECT_EQ(engine.boundQuery(), &list);
    EXPECT_EQ(engine.rows, 2);
    // The engine walked the list itself: it ends on its last row.
    EXPECT_EQ(list.currentRow(), 1);

    StatementLog log(connection);
    print.printPostedDepreciation();
    EXPECT_EQ(log.statements, QStringList{"select * from odpisy where odepsano=\"A\"  order by rok"});
    EXPECT_EQ(engine.rows, 2);
    EXPECT_FALSE(reportQuery.isOpen());
}

TEST_F(PrintTest, InventoryAtADate)
{
    PrintCommands print(list, reportQuery, engine, {"kelvo", "/ES"}, messages);
    StatementLog log(connection);
    print.printInventory({"01.10.2014", QDate(2014, 10, 1)});
    EXPECT_EQ(log.statements.first(),
              "select karta.* , odpisy.rok,odpisy.datum_odpisu,odpisy.opravka_u,odpisy.opravka_d,odpisy.zh,"
              "odpisy.korun_o,odpisy.korun_do from karta, odpisy where karta.cislokarty = odpisy.cislokarty\n"
              " and karta.datum_za<='2014-10-01'\n and odpisy.rok='2014'");
    // Card 1 (acquired on the day) with its own and its namesake's 2014 row; the
    // discarded namesake too; card 2 was acquired a day later.
    EXPECT_EQ(engine.rows, 4);
    EXPECT_EQ(engine.calls,
              QStringList({"bind", "load invent.fr3", "variable kdatu='01.10.2014'", "design"}));
    EXPECT_TRUE(reportQuery.isOpen());

    // A text that is no date selects nothing, and kdatu still carries it.
    RecordingEngine empty;
    PrintCommands again(list, reportQuery, empty, {"kelvo"}, messages);
    again.printInventory({"  .  .    ", QDate()});
    EXPECT_EQ(empty.rows, 0);
    EXPECT_TRUE(empty.calls.contains("variable kdatu='  .  .    '"));
}
