#include "ui/tfinventura.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace kelvo {
namespace {

// Day, month and a four-digit year, as a Czech desktop writes dates.
const QString kDatePattern = QStringLiteral("dd.MM.yyyy");

} // namespace

Tfinventura::Tfinventura(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tfinventura"));
    setWindowTitle(QStringLiteral("Inventura"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(245, 146);

    Label1 = new QLabel(QStringLiteral("Zadejte datum inventurního tisku"), this);
    DateEdit1 = new QLineEdit(this);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setInputMask(QStringLiteral("99.99.9999; "));
    DateEdit1->setAlignment(Qt::AlignCenter);
    calendarButton = new QToolButton(this);
    calendarButton->setText(QStringLiteral("▾"));
    calendarButton->setToolTip(QStringLiteral("Kalendář"));
    suiButton1 = new QPushButton(QStringLiteral("OK"), this);
    suiButton2 = new QPushButton(QStringLiteral("Storno"), this);
    suiButton1->setDefault(true);

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(DateEdit1, 1);
    dateRow->addWidget(calendarButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(suiButton1);
    buttons->addWidget(suiButton2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(dateRow);
    layout->addStretch();
    layout->addLayout(buttons);

    // The date edit comes after the two buttons in the focus order.
    setTabOrder(suiButton1, suiButton2);
    setTabOrder(suiButton2, DateEdit1);
    setTabOrder(DateEdit1, calendarButton);

    connect(suiButton1, &QPushButton::clicked, this, [this] { done(1); });
    connect(suiButton2, &QPushButton::clicked, this, [this] { done(2); });
    connect(calendarButton, &QToolButton::clicked, this, &Tfinventura::dropDownCalendar);
}

InventoryDate Tfinventura::inventoryDate() const {
    const QString shown = DateEdit1->displayText();
    return InventoryDate{shown, QDate::fromString(shown, kDatePattern)};
}

void Tfinventura::dropDownCalendar() {
    QMenu popup(this);
    auto* calendar = new QCalendarWidget(&popup);
    calendar->setLocale(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    calendar->setFirstDayOfWeek(Qt::Monday);
    const QDate current = inventoryDate().date;
    calendar->setSelectedDate(current.isValid() ? current : QDate::currentDate());
    auto* action = new QWidgetAction(&popup);
    action->setDefaultWidget(calendar);
    popup.addAction(action);
    connect(calendar, &QCalendarWidget::clicked, &popup, [this, &popup](QDate date) {
        DateEdit1->setText(date.toString(kDatePattern));
        popup.close();
    });
    popup.exec(DateEdit1->mapToGlobal(QPoint(0, DateEdit1->height())));
}

} // namespace kelvo
