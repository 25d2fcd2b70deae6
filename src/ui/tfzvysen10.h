#pragma once

#include "ui/tablewindow.h"

namespace kelvo {

// "Odpis zvýšen první rok o 10%": the rate table def_odpis10, edited in place.
class Tfzvysen10 final : public TableWindow {
    Q_OBJECT
  public:
    Tfzvysen10(Connection& connection, const DateFormat& dateFormat, MessageService& messages,
               QWidget* parent = nullptr);
};

} // namespace kelvo
