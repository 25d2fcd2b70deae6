#pragma once

#include <QDialog>

namespace kelvo {

// "Inventura", the dialog that asks for the date of the inventory list. Its
// controls come with the inventory print.
class Tfinventura final : public QDialog {
    Q_OBJECT
  public:
    explicit Tfinventura(QWidget* parent = nullptr);
};

} // namespace kelvo
