#include "ui/tfoznam.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace kelvo {
namespace {

const QColor kCaptionColor(0x1f, 0x4e, 0x8c);

} // namespace

Tfoznam::Tfoznam(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), label1_(new QLabel(this))
{
    setObjectName(QStringLiteral("Tfoznam"));
    setFixedSize(262, 67);

    // The window has no border of its own; the panel's line frames it.
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Box);
    panel->setObjectName(QStringLiteral("Panel"));
    auto* caption = new QLabel(QStringLiteral("Zerut"), panel);
    caption->setObjectName(QStringLiteral("Caption"));
    caption->setAutoFillBackground(true);
    caption->setContentsMargins(6, 2, 6, 2);
    QPalette captionPalette = caption->palette();
    captionPalette.setColor(QPalette::Window, kCaptionColor);
    captionPalette.setColor(QPalette::WindowText, Qt::white);
    caption->setPalette(captionPalette);
    QFont captionFont = caption->font();
    captionFont.setBold(true);
    caption->setFont(captionFont);

    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setAlignment(Qt::AlignCenter);
    QFont labelFont(QStringLiteral("Tahoma"));
    labelFont.setPixelSize(16);
    label1_->setFont(labelFont);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(caption);
    panelLayout->addWidget(label1_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
}

void Tfoznam::showNotice(const QString& text)
{
    label1_->setText(text);
    if (QWidget* owner = parentWidget()) {
        const QPoint centre = owner->mapToGlobal(owner->rect().center());
        move(centre - rect().center());
    }
    show();
}

void Tfoznam::closeNotice()
{
    close();
}

} // namespace kelvo
