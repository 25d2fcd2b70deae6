#include "register/assetlist.h"
#include "register/cards.h"
#include "register/listsearch.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using kelvo::test::ScriptedMessages;
using kelvo::test::TestDatabase;

namespace {

class ListSearchTest : public ::testing::Test {
  protected:
    ListSearchTest() : db("listsearch"), connection(db.params()), list(connection) {
        test::insertFourCards(db);
        list.open(); // 1 vrtule, 10 Vrtačka, 9 Soustruh VRT
        list.query().moveTo(2);
    }
    QString currentName() { return list.query().asString("nazev"); }

    TestDatabase db;
    Connection connection;
    AssetList list;
    ScriptedMessages messages;
    DateFormat dateFormat;
};

TEST_F(ListSearchTest, FieldsAreTheListsLabelsAndTheStartIsTheGridsColumn) {
    EXPECT_EQ(ListSearch::fields().size(), 20u);
    EXPECT_EQ(ListSearch::fields()[3].label, "Název majetku");
    EXPECT_EQ(ListSearch::fieldPosition("NAZEV"), 3);
    ListSearch search(list.query(), messages, dateFormat, ListSearch::fieldPosition("nazev"));
    EXPECT_EQ(search.field(), 3);
    EXPECT_EQ(search.lines(), QStringList({"vrtule", "Vrtačka", "Soustruh VRT"}));
    EXPECT_EQ(search.selectedLine(), 0);
}

TEST_F(ListSearchTest, TypingNarrowsWithoutRegardToCaseAndTheListFollows) {
    list.query().moveTo(2);
    ListSearch search(list.query(), messages, dateFormat, 3);
    search.setText("vrt");
    EXPECT_EQ(search.lines(), QStringList({"vrtule", "Vrtačka", "Soustruh VRT"}));
    search.setText("VRTA");
    EXPECT_EQ(search.lines(), QStringList({"Vrtačka"}));
    EXPECT_EQ(currentName(), "Vrtačka"); // first line selected, list on it
    search.setText("");
    search.selectLine(2);
    EXPECT_EQ(currentName(), "Soustruh VRT");
    search.setField(1); // another field rebuilds from it
    EXPECT_EQ(search.lines(), QStringList({"1", "10", "9"}));
    search.setText("zzz");
    EXPECT_EQ(search.lineCount(), 0);

    search.setPartial(false); // only lines that begin with the text
    search.setField(3);
    search.setText("vrt");
    EXPECT_EQ(search.lines(), QStringList({"vrtule", "Vrtačka"}));
    EXPECT_TRUE(search.accept());
}

TEST_F(ListSearchTest, CancelReturnsToTheRowOfBefore) {
    list.query().moveTo(1);
    ListSearch search(list.query(), messages, dateFormat, 3);
    search.setText("soustruh");
    EXPECT_EQ(currentName(), "Soustruh VRT");
    search.cancel();
    EXPECT_EQ(list.query().currentRow(), 1);
}

TEST_F(ListSearchTest, WithoutTheSelectionAnExactLocateOrRecordNotFound) {
    ListSearch search(list.query(), messages, dateFormat, 3);
    search.setShowSelection(false);
    EXPECT_EQ(search.lineCount(), 0);

    const int before = list.query().currentRow();
    search.setText("vrt"); // a part is not enough
    EXPECT_FALSE(search.accept());
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(messages.texts(), QStringList({"Record not found"}));
    EXPECT_EQ(list.query().currentRow(), before);

    search.setText("VRTAČKA");
    EXPECT_TRUE(search.accept());
    EXPECT_EQ(currentName(), "Vrtačka");

    search.setField(ListSearch::fieldPosition("datum_za")); // typed as shown
    search.setText("1.3.2019");
    EXPECT_TRUE(search.accept());
    EXPECT_EQ(currentName(), "Soustruh VRT");
    search.setField(ListSearch::fieldPosition("cena"));
    search.setText("900,00");
    EXPECT_TRUE(search.accept());
    EXPECT_EQ(currentName(), "vrtule");
}

// Names written through the data set with what SQL or a LIKE pattern would
// read specially are searched as plain text.
TEST_F(ListSearchTest, SpecialCharactersAreSearchedAsPlainText) {
    const QStringList names{"100% bavlna", "a_b", "C:\\dílna\\", "O'Brien \"Lis\"", "\"; drop table karta; --"};
    Query& q = list.query();
    for (const QString& name : names) {
        q.append();
        q.setString("pora_cislo", "50");
        q.setString("cislokarty", "X");
        q.setString("nazev", name);
        q.post();
    }
    q.close();
    q.open();
    ListSearch search(q, messages, dateFormat, ListSearch::fieldPosition("nazev"));
    const struct {
        const char* typed;
        QStringList lines;
    } cases[] = {
        {"%", {"100% bavlna"}},
        {"_", {"a_b"}},
        {"\\", {"C:\\dílna\\"}},
        {"'", {"O'Brien \"Lis\""}},
        {"\"", {"O'Brien \"Lis\"", "\"; drop table karta; --"}},
        {"drop table", {"\"; drop table karta; --"}},
        {"%%", {}},
    };
    for (const auto& c : cases) {
        search.setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(search.lines(), c.lines) << c.typed;
    }
    search.setShowSelection(false);
    for (const QString& name : names) {
        search.setText(name);
        EXPECT_TRUE(search.accept()) << name.toStdString();
        EXPECT_EQ(currentName(), name);
    }
    EXPECT_EQ(db.scalar("select count(*) from karta"), "9");
}

} // namespace
