#include "ui/tfservis.h"

#include "register/commandguard.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace kelvo {

Tfservis::Tfservis(AccountingModeStore store, MessageService& messages, QWidget* parent)
    : QDialog(parent), store_(std::move(store)), messages_(messages) {
    setObjectName(QStringLiteral("Tfservis"));
    setWindowTitle(QStringLiteral("Nastavení programu"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(336, 153);

    Label1 = new QLabel(QStringLiteral("Výpočet účetního odpisu"), this);
    Label1->setGeometry(24, 24, 280, 20);
    suiComboBox1 = new QComboBox(this);
    suiComboBox1->setObjectName(QStringLiteral("suiComboBox1"));
    suiComboBox1->setEditable(true);
    suiComboBox1->addItems(
        {QStringLiteral("základní (roční)"), QStringLiteral("dle data  do provozu")});
    suiComboBox1->setCurrentIndex(0);
    suiComboBox1->setGeometry(24, 48, 288, 24);
    suiButton1 = new QPushButton(QStringLiteral("OK"), this);
    suiButton1->setObjectName(QStringLiteral("suiButton1"));
    suiButton1->setGeometry(124, 100, 88, 28);
    connect(suiButton1, &QPushButton::clicked, this, [this] { done(1); });
}

void Tfservis::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // An index outside the list leaves no entry chosen.
    const int index = store_.restore(suiComboBox1->currentIndex());
    suiComboBox1->setCurrentIndex(index >= 0 && index < suiComboBox1->count() ? index : -1);
}

void Tfservis::done(int result) {
    // A file that cannot be written is reported, and the dialog closes all the same.
    runCommand(messages_, [this] { store_.store(suiComboBox1->currentIndex()); });
    QDialog::done(result);
}

} // namespace kelvo
