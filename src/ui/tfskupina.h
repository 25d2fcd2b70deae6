#pragma once

#include "ui/tablewindow.h"

namespace kelvo {

// "Odpisová skupina": the depreciation groups, edited in place.
class Tfskupina final : public TableWindow {
    Q_OBJECT
  public:
    Tfskupina(Connection& connection, const DateFormat& dateFormat, MessageService& messages,
              QWidget* parent = nullptr);
};

} // namespace kelvo
