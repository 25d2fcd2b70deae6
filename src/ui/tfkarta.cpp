#include "ui/tfkarta.h"

namespace kelvo {

Tfkarta::Tfkarta(Connection& connection, QWidget* parent) : QDialog(parent), ZQuery2(connection) {
    setObjectName(QStringLiteral("Tfkarta"));
    setWindowTitle(QStringLiteral("Karta položky"));
    setModal(true);
    resize(1000, 640);
}

} // namespace kelvo
