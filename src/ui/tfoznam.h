#pragma once

#include "maintenance/updatenotice.h"

#include <QWidget>

class QLabel;

namespace kelvo {

// The small borderless notice shown while the update check runs: a panel with
// the caption "Zerut" and one line of text. It is not modal; the command makes
// one for every check and frees it afterwards.
class Tfoznam final : public QWidget, public UpdateNotice {
    Q_OBJECT

public:
    explicit Tfoznam(QWidget* parent = nullptr);

    // Sets the text, centres the window on its parent and shows it.
    void showNotice(const QString& text) override;
    void closeNotice() override;

    QLabel* Label1() const { return label1_; }

private:
    QLabel* label1_;
};

} // namespace kelvo
