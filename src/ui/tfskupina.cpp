#include "ui/tfskupina.h"

namespace kelvo {
namespace {

TableWindow::Definition definition() {
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    // The label sk_odpisu is not shown: a group appended here keeps its default.
    return {
        QStringLiteral("Odpisová skupina"),
        QSize(226, 478),
        QStringLiteral("select * from def_skupiny"),
        {
            {QStringLiteral("skupina"), QStringLiteral("Odpis.skupina"), right, left, 83},
            {QStringLiteral("rokyodpisu"), QStringLiteral("Počet let odpisu"), right, left, 103},
        }};
}

} // namespace

Tfskupina::Tfskupina(Connection& connection, const DateFormat& dateFormat, MessageService& messages,
                     QWidget* parent)
    : TableWindow(connection, dateFormat, messages, definition(), parent) {
    setObjectName(QStringLiteral("Tfskupina"));
}

} // namespace kelvo
