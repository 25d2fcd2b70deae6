#pragma once

#include <QString>
#include <QStringList>

namespace kelvo {

enum class MessageIcon { Information, Warning, Question, Stop };

// One modal message box as the program shows it: caption, icon, one or two
// buttons and a Czech text. The first button answers 1, the second 2.
struct Message {
    MessageIcon icon = MessageIcon::Information;
    QStringList buttons{QStringLiteral("OK")};
    QString text;
    QString caption = QStringLiteral("Zerut");
};

// Every modal box goes through this interface, so that logic can be tested
// with scripted answers and the windows pass a Qt implementation.
class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows the box modally and returns 1 or 2 (the button pressed); closing the
    // box without a button answers the last button.
    virtual int show(const Message& message) = 0;
    // The default error box: a failed command's reason, one "OK" button.
    virtual void showError(const QString& text) = 0;
    // A short acoustic signal (the search dialog beeps when nothing is found).
    virtual void beep() {}
};

inline Message infoMessage(const QString& text)
{
    return Message{MessageIcon::Information, {QStringLiteral("OK")}, text};
}

} // namespace kelvo
