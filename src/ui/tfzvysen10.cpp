#include "ui/tfzvysen10.h"

namespace kelvo {
namespace {

TableWindow::Definition definition() {
    return {QStringLiteral("Odpis zvýšen první rok o 10%"), QSize(437, 480),
            QStringLiteral("select * from def_odpis10"),
            rateTableColumns(QStringLiteral("Pro zvýšenou vstup. cenu"), true)};
}

} // namespace

Tfzvysen10::Tfzvysen10(Connection& connection, const DateFormat& dateFormat,
                       MessageService& messages, QWidget* parent)
    : TableWindow(connection, dateFormat, messages, definition(), parent) {
    setObjectName(QStringLiteral("Tfzvysen10"));
}

} // namespace kelvo
