#include "ui/tfzvysen15.h"

namespace kelvo {
namespace {

TableWindow::Definition definition() {
    return {QStringLiteral("Odpis zvýšen první rok o 15%"), QSize(437, 480),
            QStringLiteral("select * from def_odpis15"),
            rateTableColumns(QStringLiteral("Pro zvýšenou vstup. cenu"), true)};
}

} // namespace

Tfzvysen15::Tfzvysen15(Connection& connection, const DateFormat& dateFormat,
                       MessageService& messages, QWidget* parent)
    : TableWindow(connection, dateFormat, messages, definition(), parent) {
    setObjectName(QStringLiteral("Tfzvysen15"));
}

} // namespace kelvo
