#include "ui/tfinventura.h"

namespace kelvo {

Tfinventura::Tfinventura(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tfinventura"));
    setWindowTitle(QStringLiteral("Inventura"));
    setModal(true);
    resize(300, 130);
}

} // namespace kelvo
