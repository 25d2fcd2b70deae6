#pragma once

#include "ui/tablewindow.h"

namespace kelvo {

// "Rovnoměrný odpis": the rate table def_odpisr, edited in place.
class Tfrovnomerne final : public TableWindow {
    Q_OBJECT
  public:
    Tfrovnomerne(Connection& connection, const DateFormat& dateFormat, MessageService& messages,
                 QWidget* parent = nullptr);
};

} // namespace kelvo
