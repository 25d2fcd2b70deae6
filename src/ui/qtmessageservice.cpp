#include "ui/qtmessageservice.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kelvo {
namespace {

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

int QtMessageService::show(const Message& message) {
    QMessageBox box(iconOf(message.icon), message.caption, message.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    std::vector<QPushButton*> buttons;
    const QStringList captions =
        message.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : message.buttons;
    for (const QString& caption : captions)
        buttons.push_back(box.addButton(caption, QMessageBox::AcceptRole));
    box.setDefaultButton(buttons.front());
    // Closing the box by its title bar or Esc answers the last button.
    box.setEscapeButton(buttons.back());
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            return int(i) + 1;
    }
    return int(buttons.size());
}

void QtMessageService::showError(const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Zerut"), text);
}

void QtMessageService::beep() {
    QApplication::beep();
}

} // namespace kelvo
