#pragma once

#include "db/query.h"

#include <QDialog>

namespace kelvo {

// "Karta položky", the asset card window. Its controls and commands come with
// the card work; for now it carries its caption, size and the rows data set
// whose amount formats the main window sets at its first show.
class Tfkarta final : public QDialog {
    Q_OBJECT
  public:
    explicit Tfkarta(Connection& connection, QWidget* parent = nullptr);

    Query ZQuery2; // the card's depreciation rows
};

} // namespace kelvo
