#include "ui/tfzrychlene.h"

namespace kelvo {
namespace {

TableWindow::Definition definition() {
    return {QStringLiteral("Zrychlený odpis"), QSize(419, 480),
            QStringLiteral("select * from def_odpisz"),
            rateTableColumns(QStringLiteral("Pro zvýš. vstupní cenu"), false)};
}

} // namespace

Tfzrychlene::Tfzrychlene(Connection& connection, const DateFormat& dateFormat,
                         MessageService& messages, QWidget* parent)
    : TableWindow(connection, dateFormat, messages, definition(), parent) {
    setObjectName(QStringLiteral("Tfzrychlene"));
}

} // namespace kelvo
