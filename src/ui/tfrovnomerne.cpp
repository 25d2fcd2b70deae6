#include "ui/tfrovnomerne.h"

namespace kelvo {
namespace {

TableWindow::Definition definition() {
    return {QStringLiteral("Rovnoměrný odpis"), QSize(434, 480),
            QStringLiteral("select * from def_odpisr"),
            rateTableColumns(QStringLiteral("Pro zvýšenou vstup. cenu"), false)};
}

} // namespace

Tfrovnomerne::Tfrovnomerne(Connection& connection, const DateFormat& dateFormat,
                           MessageService& messages, QWidget* parent)
    : TableWindow(connection, dateFormat, messages, definition(), parent) {
    setObjectName(QStringLiteral("Tfrovnomerne"));
}

} // namespace kelvo
