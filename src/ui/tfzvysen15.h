#pragma once

#include "ui/tablewindow.h"

namespace kelvo {

// "Odpis zvýšen první rok o 15%": the rate table def_odpis15, edited in place.
class Tfzvysen15 final : public TableWindow {
    Q_OBJECT
  public:
    Tfzvysen15(Connection& connection, const DateFormat& dateFormat, MessageService& messages,
               QWidget* parent = nullptr);
};

} // namespace kelvo
