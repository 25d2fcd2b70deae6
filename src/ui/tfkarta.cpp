#include "ui/tfkarta.h"

#include "register/commandguard.h"
#include "register/querytablemodel.h"
#include "ui/cardinputs.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace kelvo {
namespace {

// Client area and the rows of the label-above-input pairs.
constexpr int kWidth = 1033;
constexpr int kHeight = 375;
constexpr int kEditHeight = 19;
constexpr int kLabelHeight = 14;

const QStringList kAmountColumns{"korun_o", "korun_do", "zh", "opravka_u", "opravka_d", "zh_d"};

std::vector<QueryColumn> rowColumns() {
    const auto centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    auto column = [](const char* field, const char* title, int width, Qt::Alignment values) {
        return QueryColumn{QLatin1String(field), QString::fromUtf8(title), values,
                           Qt::AlignHCenter | Qt::AlignVCenter, width};
    };
    return {
        column("rok", "RO", 40, centre),
        column("koef_o", "Koef", 30, centre),
        column("procento_o", "%", 33, centre),
        column("korun_o", "KČ", 83, right),
        column("opravka_u", "Oprávka_U", 80, right),
        column("zh", "ZH", 83, right),
        column("korun_do", "DO", 83, right),
        column("opravka_d", "Oprávka_D", 75, right),
        column("zh_d", "ZH_D", 83, right),
        column("datum_odpisu", "Dat.odpisu", 73, centre),
    };
}

// Item views leave a few pixels beside each cell's text; the grid keeps one.
class NarrowCellStyle final : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_FocusFrameHMargin)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QLabel* addLabel(QWidget* panel, const QString& text, int x, int y, int width, int lines = 1) {
    auto* label = new QLabel(text, panel);
    label->setGeometry(x, y, width, kLabelHeight * lines);
    return label;
}

} // namespace

void CardRowsGrid::commitOpenEditor() {
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

Tfkarta::Tfkarta(CardWindowServices services, QWidget* parent)
    : QDialog(parent), ZQuery1(services.connection), ZQuery2(services.connection),
      ZQuery3(services.connection), ZQuery4(services.connection), services_(std::move(services)),
      commands_(dataSets(), services_.messages, services_.programSettings),
      shift_(dataSets(), services_.messages),
      plan_(dataSets(), services_.messages, services_.dateFormat) {
    setObjectName(QStringLiteral("Tfkarta"));
    setWindowTitle(QStringLiteral("Karta položky"));
    setModal(true);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setFixedSize(kWidth, kHeight);

    ZQuery4.setText(QStringLiteral("select * from def_skupiny"));
    for (const QString& field : kAmountColumns)
        ZQuery2.setDisplayFormat(field, kAmountFormat);
    inputs_ = new CardInputs(ZQuery1, ZQuery4, services_.dateFormat, services_.messages, this);

    auto panel = [this](const QRect& at) {
        auto* frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(at);
        return frame;
    };
    buildLeftPanel(panel(QRect(4, 4, 206, 326)));
    buildMiddlePanel(panel(QRect(214, 4, 120, 326)));
    buildRightPanel(panel(QRect(338, 4, 691, 326)));
    buildButtonBar(panel(QRect(4, 334, 1025, 37)));

    QList<QWidget*> order{suiDBEdit1,  suiDBEdit3,     suiDBEdit2,  suiDBEdit4,
                          suiDBEdit5,  suiDBEdit6,     suiDBEdit7,  suiDBEdit14,
                          suiDBEdit8,  suiDBEdit9,     suiDBEdit10, suiDBEdit11,
                          suiDBEdit15, suiDBEdit12,    suiDBEdit13, suiDBComboBox2,
                          suiDBGrid1,  suiButton6,     suiDBLookupComboBox1,
                          suiButton1,  suiButton2,     suiButton3,  suiButton4,
                          suiButton5};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    for (QWidget* input : order) {
        if (input != suiDBGrid1 && !qobject_cast<QPushButton*>(input))
            input->installEventFilter(this);
    }
}

Tfkarta::~Tfkarta() = default;

QLineEdit* Tfkarta::addEdit(QWidget* panel, const char* name, const QString& label,
                            const QRect& at, const QString& field, int kind, int labelWidth) {
    if (!label.isEmpty())
        addLabel(panel, label, at.x(), at.y() - kLabelHeight - 1,
                 labelWidth > 0 ? labelWidth : at.width() + 4);
    auto* edit = new QLineEdit(panel);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(at);
    inputs_->bind(edit, field, InputKind(kind));
    return edit;
}

void Tfkarta::buildLeftPanel(QWidget* panel) {
    const int text = int(InputKind::Text);
    const int date = int(InputKind::Date);
    const int number = int(InputKind::Number);
    // Sequence number and name share the first line, the inventory number and
    // the supplier the second; then the technical improvement and the note.
    suiDBEdit1 = addEdit(panel, "suiDBEdit1", QStringLiteral("Poř. číslo"),
                         QRect(6, 22, 52, kEditHeight), QStringLiteral("pora_cislo"), text);
    suiDBEdit2 = addEdit(panel, "suiDBEdit2", QStringLiteral("Název majetku"),
                         QRect(64, 22, 136, kEditHeight), QStringLiteral("nazev"), text);
    suiDBEdit3 = addEdit(panel, "suiDBEdit3", QStringLiteral("Inventární číslo"),
                         QRect(6, 68, 86, kEditHeight), QStringLiteral("cislokarty"), text);
    suiDBEdit4 = addEdit(panel, "suiDBEdit4", QStringLiteral("Dodavatel"),
                         QRect(98, 68, 102, kEditHeight), QStringLiteral("dodavatel"), text);
    suiDBEdit5 = addEdit(panel, "suiDBEdit5", QStringLiteral("Datum tech. zhodnocení"),
                         QRect(6, 114, 86, kEditHeight), QStringLiteral("dat_zhod"), date, 194);
    suiDBEdit6 = addEdit(panel, "suiDBEdit6", QStringLiteral("Doklad"),
                         QRect(6, 160, 100, kEditHeight), QStringLiteral("dokl_zhod"), text);
    suiDBEdit7 = addEdit(panel, "suiDBEdit7", QStringLiteral("Kč"),
                         QRect(112, 160, 88, kEditHeight), QStringLiteral("koruny"), number);
    suiDBEdit14 = addEdit(panel, "suiDBEdit14", QStringLiteral("Poznámka"),
                          QRect(6, 206, 194, kEditHeight), QStringLiteral("poznamka"), text);
}

void Tfkarta::buildMiddlePanel(QWidget* panel) {
    const int text = int(InputKind::Text);
    const int date = int(InputKind::Date);
    const QRect first(6, 22, 106, kEditHeight);
    auto at = [&first](int step, int extra = 0) { return first.translated(0, step * 40 + extra); };
    suiDBEdit8 = addEdit(panel, "suiDBEdit8", QStringLiteral("Vstupní cena"), at(0),
                         QStringLiteral("cena"), int(InputKind::Number));
    suiDBEdit9 = addEdit(panel, "suiDBEdit9", QStringLiteral("Dat. pořízení"), at(1),
                         QStringLiteral("datum_za"), date);
    suiDBEdit10 =
        addEdit(panel, "suiDBEdit10", QStringLiteral("Doklad"), at(2), QStringLiteral("dokl_za"), text);
    addLabel(panel, QStringLiteral("Uvedeno\ndo používání"), 6, at(3).y() - kLabelHeight - 1, 106, 2);
    suiDBEdit11 = addEdit(panel, "suiDBEdit11", QString(), at(3, kLabelHeight + 1),
                          QStringLiteral("do_pouziti"), date);
    suiDBEdit15 = addEdit(panel, "suiDBEdit15", QStringLiteral("Umístění"), at(4, kLabelHeight + 1),
                          QStringLiteral("misto"), text);
    suiDBEdit12 = addEdit(panel, "suiDBEdit12", QStringLiteral("Dat. vyřazení"),
                          at(5, kLabelHeight + 1), QStringLiteral("datum_vy"), date);
    suiDBEdit13 = addEdit(panel, "suiDBEdit13", QStringLiteral("Doklad"), at(6, kLabelHeight + 1),
                          QStringLiteral("dokl_vy"), text);
}

void Tfkarta::buildRightPanel(QWidget* panel) {
    addLabel(panel, QStringLiteral("Způsob odpisování"), 6, 6, 160);
    suiDBComboBox2 = new QComboBox(panel);
    suiDBComboBox2->setObjectName(QStringLiteral("suiDBComboBox2"));
    suiDBComboBox2->addItems(depreciationMethodNames());
    suiDBComboBox2->setGeometry(6, 21, 170, 21);
    inputs_->bindMethod(suiDBComboBox2);

    addLabel(panel, QStringLiteral("Odpisová skupina"), 190, 6, 120);
    suiDBLookupComboBox1 = new QComboBox(panel);
    suiDBLookupComboBox1->setObjectName(QStringLiteral("suiDBLookupComboBox1"));
    suiDBLookupComboBox1->setGeometry(190, 21, 110, 21);
    inputs_->bindGroup(suiDBLookupComboBox1);

    suiButton6 = new QPushButton(QStringLiteral("Generace vět odpisů"), panel);
    suiButton6->setObjectName(QStringLiteral("suiButton6"));
    suiButton6->setAutoDefault(false);
    suiButton6->setGeometry(520, 17, 165, 26);
    connect(suiButton6, &QPushButton::clicked, this, [this] { run(&Tfkarta::suiButton6Click); });

    legend = new QLabel(QStringLiteral("* RO - rok o., KČ - účetní o., DO - daňový o., "
                                       "ZH - účetní zůstat.h., ZH_D - daňová zůstat.h."),
                        panel);
    legend->setGeometry(6, 48, 679, 16);

    buildRowsGrid(panel);
}

void Tfkarta::buildRowsGrid(QWidget* panel) {
    rowsModel_ =
        new QueryTableModel(ZQuery2, rowColumns(), services_.dateFormat, services_.messages, this);
    rowsModel_->setEditable(true);
    // Rows belong to their card; a blank row typed in here would be stored
    // without one, so rows come only from the commands.
    rowsModel_->setAppendAllowed(false);

    suiDBGrid1 = new CardRowsGrid(panel);
    suiDBGrid1->setObjectName(QStringLiteral("suiDBGrid1"));
    // The narrow columns ("22,25" in 33 pixels) need a slightly smaller font
    // and cells without the style's text margins.
    QFont gridFont = suiDBGrid1->font();
    gridFont.setPixelSize(10);
    suiDBGrid1->setFont(gridFont);
    auto* gridStyle = new NarrowCellStyle;
    gridStyle->setParent(suiDBGrid1);
    suiDBGrid1->setStyle(gridStyle);
    suiDBGrid1->setModel(rowsModel_);
    suiDBGrid1->setGeometry(6, 66, 679, 254);
    suiDBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    suiDBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::SelectedClicked |
                                QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    suiDBGrid1->verticalHeader()->setDefaultSectionSize(20);
    suiDBGrid1->verticalHeader()->setFixedWidth(12);
    suiDBGrid1->horizontalHeader()->setHighlightSections(false);
    suiDBGrid1->horizontalHeader()->setFixedHeight(20);
    const auto& columns = rowsModel_->columns();
    for (size_t i = 0; i < columns.size(); ++i)
        suiDBGrid1->setColumnWidth(int(i), columns[i].width);

    // Leaving a row writes it; a refused write brings the grid back to it.
    connect(suiDBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (!current.isValid() || current.row() == previous.row())
                    return;
                if (!rowsModel_->goToRow(current.row()) && previous.isValid()) {
                    const int back = ZQuery2.currentRow();
                    QTimer::singleShot(0, this, [this, back, previous] {
                        suiDBGrid1->setCurrentIndex(rowsModel_->index(back, previous.column()));
                    });
                }
            });
    connect(&ZQuery2, &Query::currentChanged, this, &Tfkarta::followRowsRow);

    suiPopupMenu1 = new QMenu(this);
    Posunodpisu1 = suiPopupMenu1->addAction(QStringLiteral("Posunout odpis"));
    Posunodpisu1->setObjectName(QStringLiteral("Posunodpisu1"));
    suiPopupMenu1->addSeparator();
    Uloitzznam1 = suiPopupMenu1->addAction(QStringLiteral("Přidat záznam"));
    Uloitzznam1->setObjectName(QStringLiteral("Uloitzznam1"));
    connect(Posunodpisu1, &QAction::triggered, this, [this] { run(&Tfkarta::Posunodpisu1Click); });
    connect(Uloitzznam1, &QAction::triggered, this, [this] { run(&Tfkarta::Uloitzznam1Click); });
    suiDBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(suiDBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        suiPopupMenu1->popup(suiDBGrid1->viewport()->mapToGlobal(pos));
    });
}

QPushButton* Tfkarta::addButton(QWidget* bar, const char* name, const QString& caption,
                                void (Tfkarta::*handler)()) {
    auto* button = new QPushButton(caption, bar);
    button->setObjectName(QLatin1String(name));
    // Enter moves the focus; it never presses a button on its own.
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, handler] { run(handler); });
    return button;
}

void Tfkarta::buildButtonBar(QWidget* bar) {
    // "Nová karta" and "Klonovat záznam" at the left end, "Tisk karty",
    // "Uložit" and "Storno" at the right end.
    suiButton4 = addButton(bar, "suiButton4", QStringLiteral("Nová karta"), &Tfkarta::suiButton4Click);
    suiButton4->setGeometry(6, 5, 110, 27);
    suiButton5 =
        addButton(bar, "suiButton5", QStringLiteral("Klonovat záznam"), &Tfkarta::suiButton5Click);
    suiButton5->setGeometry(122, 5, 120, 27);
    suiButton3 = addButton(bar, "suiButton3", QStringLiteral("Tisk karty"), &Tfkarta::suiButton3Click);
    suiButton3->setGeometry(703, 5, 100, 27);
    suiButton1 = addButton(bar, "suiButton1", QStringLiteral("Uložit"), &Tfkarta::suiButton1Click);
    suiButton1->setGeometry(811, 5, 100, 27);
    suiButton2 = addButton(bar, "suiButton2", QStringLiteral("Storno"), &Tfkarta::suiButton2Click);
    suiButton2->setGeometry(919, 5, 100, 27);
}

void Tfkarta::run(void (Tfkarta::*handler)()) {
    runCommand(services_.messages, [this, handler] { (this->*handler)(); });
}

void Tfkarta::followRowsRow(int row) {
    const QModelIndex current = suiDBGrid1->currentIndex();
    if (row < 0 || (current.isValid() && current.row() == row))
        return;
    suiDBGrid1->setCurrentIndex(rowsModel_->index(row, current.isValid() ? current.column() : 0));
}

void Tfkarta::syncPlanButton() {
    suiButton6->setEnabled(commands_.planButtonEnabled());
}

// --- Window events.

void Tfkarta::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    run(&Tfkarta::FormShow);
    suiDBEdit1->setFocus();
}

void Tfkarta::reject() {
    done(2);
}

void Tfkarta::keyPressEvent(QKeyEvent* event) {
    // Escape does not end the window: only "Storno" (asking) or the title bar do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool Tfkarta::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter moves on like Tab; leaving the input writes it.
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// --- Handlers.

void Tfkarta::FormShow() {
    commands_.formShow();
    syncPlanButton();
    inputs_->reload(); // the price now shows in the amount format
}

void Tfkarta::suiButton1Click() {
    suiDBGrid1->commitOpenEditor();
    // What is typed must reach the card before the cycle writes it; an input
    // that cannot be read keeps the window open.
    if (!inputs_->writePending())
        return;
    if (commands_.save())
        done(1);
}

void Tfkarta::suiButton2Click() {
    if (commands_.discard())
        done(2);
}

void Tfkarta::suiButton3Click() {
    if (services_.printCard)
        services_.printCard();
}

void Tfkarta::suiButton4Click() {
    commands_.newCard();
    syncPlanButton();
}

void Tfkarta::suiButton5Click() {
    commands_.cloneCard();
    syncPlanButton();
}

void Tfkarta::suiButton6Click() {
    // The in-use date is checked by the plan generation itself, from its text.
    if (!inputs_->writePending(suiDBEdit11))
        return;
    plan_.GeneratePlan(suiDBEdit11->text(), commands_.accountingMode());
}

void Tfkarta::Posunodpisu1Click() {
    // A price typed but not yet saved is the first year's residual value.
    if (!inputs_->writePending())
        return;
    shift_.Posunodpisu(commands_.accountingMode());
}

void Tfkarta::Uloitzznam1Click() {
    commands_.addRow();
}

} // namespace kelvo
