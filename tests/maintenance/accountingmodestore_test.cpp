#include "maintenance/accountingmodestore.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kelvo;

namespace {

class AccountingModeStoreTest : public ::testing::Test {
  protected:
    void writeFile(const QString& name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // What the card window reads.
    int cardWindowReads() const {
        return SettingsFile::inDirectory(dir.path(), "kelvo.ini")
            .readInt("Tfservis", "suiComboBox1_ItemIndex", 0);
    }

    QTemporaryDir dir;
    AccountingModeStore store = AccountingModeStore::forExecutable(dir.filePath("kelvo"));
};

TEST_F(AccountingModeStoreTest, FirstStartKeepsTheFirstEntryAndClosingWritesBothKeys) {
    EXPECT_EQ(store.restore(0), 0);
    store.store(0);
    const SettingsFile file = store.settings();
    EXPECT_EQ(file.readString("Tfservis", "FormVersion", "x"), "0");
    EXPECT_EQ(file.readString("Tfservis", "suiComboBox1_ItemIndex", "x"), "0");

    store.restore(0);
    store.store(1);
    EXPECT_EQ(cardWindowReads(), 1);
    AccountingModeStore next = AccountingModeStore::forExecutable(dir.filePath("kelvo"));
    EXPECT_EQ(next.restore(0), 1);
}

TEST_F(AccountingModeStoreTest, StoredTextIsReadAsTheDialogDoes) {
    const struct {
        const char* stored;
        int current;
        int shown;
    } cases[] = {
        {" 5 ", 0, 5}, // outside the list: the dialog shows no entry
        {"-1", 1, -1},
        {"abc", 1, 0},
        {"", 1, 0},
    };
    for (const auto& c : cases) {
        writeFile("kelvo.ini",
                  QByteArray("[Tfservis]\r\nsuiComboBox1_ItemIndex=") + c.stored + "\r\n");
        EXPECT_EQ(store.restore(c.current), c.shown) << c.stored;
    }
    // Without the key the dialog keeps what it shows.
    writeFile("kelvo.ini", "[LogOn]\r\nPort=3306\r\n");
    EXPECT_EQ(store.restore(1), 1);
}

TEST_F(AccountingModeStoreTest, NothingIsStoredUnlessRestoredAndANegativeVersionRestoresNothing) {
    store.store(1);
    EXPECT_FALSE(QFile::exists(dir.filePath("kelvo.ini")));

    writeFile("kelvo.ini", "[Tfservis]\r\nFormVersion=-1\r\nsuiComboBox1_ItemIndex=1\r\n");
    EXPECT_EQ(store.restore(0), 0);
    EXPECT_FALSE(store.restored());
    store.store(0);
    EXPECT_EQ(cardWindowReads(), 1);
}

TEST_F(AccountingModeStoreTest, TheFileIsFoundWhateverItsLetterCaseAndKeepsOtherKeys) {
    writeFile("KELVO.INI", "[LOGON]\r\nPort=3307\r\n[TFSERVIS]\r\nSUICOMBOBOX1_ITEMINDEX=1\r\n");
    EXPECT_EQ(store.restore(0), 1);
    store.store(0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"KELVO.INI"}));
    EXPECT_EQ(cardWindowReads(), 0);
    EXPECT_EQ(SettingsFile(dir.filePath("KELVO.INI")).readInt("LogOn", "Port", 0), 3307);
}

TEST_F(AccountingModeStoreTest, AFileThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("kelvo.ini")); // a directory where the file should be
    store.restore(0);
    EXPECT_THROW(store.store(1), std::runtime_error);
}

} // namespace
