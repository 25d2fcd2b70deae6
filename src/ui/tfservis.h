#pragma once

#include "core/messageservice.h"
#include "maintenance/accountingmodestore.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace kelvo {

// "Nastavení programu": the choice of AccountingMode, restored from the
// settings file whenever the dialog is shown and stored whenever it closes,
// by "OK" or by the title bar.
class Tfservis final : public QDialog {
    Q_OBJECT
  public:
    Tfservis(AccountingModeStore store, MessageService& messages, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QComboBox* suiComboBox1 = nullptr;
    QPushButton* suiButton1 = nullptr;

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    AccountingModeStore store_;
    MessageService& messages_;
};

} // namespace kelvo
