#include "ui/tfzvysen20.h"

namespace kelvo {
namespace {

TableWindow::Definition definition() {
    return {QStringLiteral("Odpis zvýšen první rok o 20%"), QSize(437, 480),
            QStringLiteral("select * from def_odpis20"),
            rateTableColumns(QStringLiteral("Pro zvýšenou vstup. cenu"), true)};
}

} // namespace

Tfzvysen20::Tfzvysen20(Connection& connection, const DateFormat& dateFormat,
                       MessageService& messages, QWidget* parent)
    : TableWindow(connection, dateFormat, messages, definition(), parent) {
    setObjectName(QStringLiteral("Tfzvysen20"));
}

} // namespace kelvo
