#pragma once

#include "reports/printcommands.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kelvo {

// "Inventura", the dialog that asks for the date of the inventory list. It is
// created once and reused, so the typed date stays from one use to the next.
class Tfinventura final : public QDialog {
    Q_OBJECT
  public:
    explicit Tfinventura(QWidget* parent = nullptr);

    // The date edit's two readings: its text exactly as shown, and that text
    // read as a date (invalid when it is none).
    InventoryDate inventoryDate() const;

    QLabel* Label1 = nullptr;
    QLineEdit* DateEdit1 = nullptr;  // a masked day.month.year input
    QToolButton* calendarButton = nullptr;
    QPushButton* suiButton1 = nullptr;  // "OK", result 1
    QPushButton* suiButton2 = nullptr;  // "Storno", result 2

  private:
    void dropDownCalendar();
};

} // namespace kelvo
