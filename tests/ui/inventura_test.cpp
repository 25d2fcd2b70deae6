#include "ui/tfinventura.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelvo;

TEST(Tfinventura, TypedDateIsReadTwiceAndKeptBetweenUses) {
    Tfinventura dialog;
    EXPECT_EQ(dialog.windowTitle(), "Inventura");
    EXPECT_EQ(dialog.size(), QSize(245, 146));

    // First use: nothing typed yet, so no date; the text is the empty mask.
    InventoryDate empty = dialog.inventoryDate();
    EXPECT_FALSE(empty.date.isValid());
    EXPECT_EQ(empty.text, "  .  .    ");

    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.DateEdit1->setFocus();
        dialog.DateEdit1->home(false);
        QTest::keyClicks(dialog.DateEdit1, "01102014");
        dialog.suiButton1->click();
    });
    EXPECT_EQ(dialog.exec(), 1);
    InventoryDate typed = dialog.inventoryDate();
    EXPECT_EQ(typed.text, "01.10.2014");
    EXPECT_EQ(typed.date, QDate(2014, 10, 1));

    // The next use shows the same date; "Storno" ends with 2.
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.suiButton2->click(); });
    EXPECT_EQ(dialog.exec(), 2);
    EXPECT_EQ(dialog.inventoryDate().text, "01.10.2014");

    // A date that does not exist reads as no date.
    dialog.DateEdit1->setText("31.02.2014");
    EXPECT_FALSE(dialog.inventoryDate().date.isValid());
}
