#pragma once

#include "ui/tablewindow.h"

namespace kelvo {

// "Odpis zvýšen první rok o 20%": the rate table def_odpis20, edited in place.
class Tfzvysen20 final : public TableWindow {
    Q_OBJECT
  public:
    Tfzvysen20(Connection& connection, const DateFormat& dateFormat, MessageService& messages,
               QWidget* parent = nullptr);
};

} // namespace kelvo
