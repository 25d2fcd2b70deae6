#include "register/querytablemodel.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>

using namespace kelvo;
using kelvo::test::ScriptedMessages;
using kelvo::test::StatementLog;
using kelvo::test::TestDatabase;

namespace {

QStringList g_modelWarnings;

void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_modelWarnings << text;
}

class QueryTableModelTest : public ::testing::Test {
  protected:
    QueryTableModelTest()
        : db("tablemodel"), connection(db.params()), query(connection),
          model(query,
                {{"skupina", "Odpis.skupina"},
                 {"prvnirok", "První rok", Qt::AlignRight},
                 {"dalsi", "V dalších letech"},
                 {"missing", "Bez pole"}},
                dateFormat, messages) {
        db.admin().execute("delete from def_odpisr where skupina > 2");
        query.setText("select * from def_odpisr");
        model.setEditable(true);
        g_modelWarnings.clear();
        previousHandler = qInstallMessageHandler(collectWarnings);
        tester = std::make_unique<QAbstractItemModelTester>(
            &model, QAbstractItemModelTester::FailureReportingMode::Warning);
        query.open();
    }
    ~QueryTableModelTest() override {
        tester.reset();
        qInstallMessageHandler(previousHandler);
        EXPECT_TRUE(g_modelWarnings.isEmpty()) << g_modelWarnings.join("\n").toStdString();
    }
    bool type(int row, int column, const QString& text) {
        return model.setData(model.index(row, column), text, Qt::EditRole);
    }
    QString shown(int row, int column) { return model.index(row, column).data().toString(); }

    TestDatabase db;
    Connection connection;
    Query query;
    DateFormat dateFormat;
    ScriptedMessages messages;
    QueryTableModel model;
    QtMessageHandler previousHandler = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(QueryTableModelTest, ShowsRowsColumnsAndABlankRowForAppending) {
    EXPECT_EQ(model.rowCount(), 3); // two rows and the blank one
    EXPECT_EQ(model.appendRow(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "První rok");
    EXPECT_EQ(shown(1, 2), "22,25");
    EXPECT_EQ(shown(2, 0), "");
    EXPECT_EQ(model.index(0, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight));
    EXPECT_EQ(shown(0, 3), "");
    EXPECT_FALSE(model.flags(model.index(0, 3)).testFlag(Qt::ItemIsEditable));

    model.setRowColour([](const Query&, int row) {
        return row == 1 ? QVariant(QStringLiteral("#808080")) : QVariant();
    });
    EXPECT_EQ(model.index(1, 0).data(Qt::ForegroundRole).toString(), "#808080");
    EXPECT_FALSE(model.index(0, 0).data(Qt::ForegroundRole).isValid());

    model.setEditable(false);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_FALSE(type(0, 1, "5"));
}

TEST_F(QueryTableModelTest, AnAppendedRowIsWrittenWhenLeftAndEditsGoByKey) {
    EXPECT_TRUE(type(2, 0, "7"));
    EXPECT_TRUE(type(2, 1, "12,5"));
    EXPECT_EQ(model.rowCount(), 3); // the appended row takes the blank row's place
    EXPECT_EQ(db.scalar("select count(*) from def_odpisr"), "2");
    {
        StatementLog log(connection);
        EXPECT_TRUE(model.goToRow(0));
        EXPECT_EQ(log.statements.first(),
                  "insert into def_odpisr (skupina,prvnirok) values (7,12.5)");
    }
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(db.scalar("select cast(prvnirok as char) from def_odpisr where skupina=7"),
              "12.5000");

    // An editor closed without a change on another row neither moves nor edits.
    query.moveTo(1);
    EXPECT_TRUE(type(0, 2, "40"));
    EXPECT_EQ(query.currentRow(), 1);
    EXPECT_FALSE(query.isEditing());

    EXPECT_TRUE(type(0, 2, "41"));
    EXPECT_EQ(db.scalar("select cast(dalsi as char) from def_odpisr where skupina=1"), "40.0000");
    EXPECT_TRUE(model.goToRow(1));
    EXPECT_EQ(db.scalar("select cast(dalsi as char) from def_odpisr where skupina=1"), "41.0000");
    EXPECT_TRUE(messages.errors.isEmpty());
}

TEST_F(QueryTableModelTest, AValueTheColumnCannotHoldIsReportedAndTheRowStaysForCorrection) {
    // The data set refuses text in a number column at once.
    EXPECT_FALSE(type(0, 0, "abc"));
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_EQ(shown(0, 0), "1");

    // The server refuses an integer out of range when the row is left.
    EXPECT_TRUE(type(0, 0, "99999999999"));
    EXPECT_TRUE(type(0, 1, "21"));
    EXPECT_FALSE(model.goToRow(1));
    EXPECT_EQ(messages.errors.size(), 2);
    EXPECT_TRUE(query.isEditing());
    EXPECT_EQ(query.currentRow(), 0);
    EXPECT_EQ(shown(0, 1), "21");
    EXPECT_EQ(db.scalar("select cast(prvnirok as char) from def_odpisr where skupina=1"),
              "20.0000");

    EXPECT_TRUE(type(0, 0, "8"));
    EXPECT_TRUE(model.goToRow(1));
    EXPECT_EQ(db.scalar("select cast(prvnirok as char) from def_odpisr where skupina=8"),
              "21.0000");
}

TEST_F(QueryTableModelTest, DeleteActsAtOnceWithoutAsking) {
    EXPECT_TRUE(model.deleteRowAt(0));
    EXPECT_EQ(db.column("select skupina from def_odpisr"), QStringList({"2"}));
    EXPECT_EQ(model.rowCount(), 2);

    // The blank row holds nothing to delete.
    EXPECT_TRUE(model.deleteRowAt(model.appendRow()));
    EXPECT_EQ(db.scalar("select count(*) from def_odpisr"), "1");

    // A row being appended is only dropped.
    EXPECT_TRUE(type(1, 0, "9"));
    EXPECT_TRUE(model.deleteRowAt(1));
    EXPECT_EQ(db.column("select skupina from def_odpisr"), QStringList({"2"}));
    EXPECT_EQ(model.rowCount(), 2);

    // On an empty table the data set refuses, and the user is told.
    EXPECT_TRUE(model.deleteRowAt(0));
    EXPECT_FALSE(model.deleteRowAt(model.appendRow()));
    EXPECT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
