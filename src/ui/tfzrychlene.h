#pragma once

#include "ui/tablewindow.h"

namespace kelvo {

// "Zrychlený odpis": the rate table def_odpisz, edited in place.
class Tfzrychlene final : public TableWindow {
    Q_OBJECT
  public:
    Tfzrychlene(Connection& connection, const DateFormat& dateFormat, MessageService& messages,
                QWidget* parent = nullptr);
};

} // namespace kelvo
