#include "reportui/reportdesigner.h"

#include "core/messageservice.h"
#include "reports/reportengine.h"
#include "reportui/pageview.h"
#include "reportui/templatehighlighter.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kelvo {

namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kExpressionRole = Qt::UserRole + 1;

QWidget* titled(const QString& title, QWidget* content, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title, box));
    layout->addWidget(content, 1);
    return box;
}

QTreeWidgetItem* bandItem(const QString& name, const ReportBand& band,
                          QTreeWidgetItem* parent = nullptr) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
    item->setText(0, QStringLiteral("%1 (výška %2 mm)").arg(name).arg(band.height));
    item->setData(0, kLineRole, band.sourceLine);
    for (const ReportItem& ri : band.items) {
        auto* child = new QTreeWidgetItem(item);
        if (ri.kind == ItemKind::Text) {
            QString text = ri.text.simplified();
            if (text.size() > 40)
                text = text.left(39) + QChar(0x2026);
            child->setText(0, QStringLiteral("text: %1").arg(text));
        } else {
            child->setText(0, ri.kind == ItemKind::Line ? QStringLiteral("čára")
                                                        : QStringLiteral("obdélník"));
        }
        child->setData(0, kLineRole, ri.sourceLine);
    }
    return item;
}

} // namespace

ReportDesigner::ReportDesigner(ReportEngine& engine, MessageService* messages, QWidget* parent)
    : QDialog(parent), engine_(engine), messages_(messages) {
    setWindowTitle(
        QStringLiteral("Návrh sestavy – %1").arg(QFileInfo(engine.fileName()).fileName()));
    setModal(true);
    resize(1280, 800);

    editor_ = new QPlainTextEdit(this);
    editor_->setObjectName(QStringLiteral("templateEditor"));
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
    highlighter_ = new TemplateHighlighter(editor_->document());
    editor_->setPlainText(engine_.templateText());
    editor_->document()->setModified(false);

    outline_ = new QTreeWidget(this);
    outline_->setObjectName(QStringLiteral("bandOutline"));
    outline_->setHeaderHidden(true);
    palette_ = new QListWidget(this);
    palette_->setObjectName(QStringLiteral("fieldPalette"));
    palette_->setToolTip(QStringLiteral("Dvojklik vloží výraz na místo kurzoru"));

    view_ = new PageView(engine_, this);
    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setWidget(view_);
    scroll_->viewport()->installEventFilter(this);
    pageBox_ = new QSpinBox(this);
    pageBox_->setObjectName(QStringLiteral("previewPage"));
    pageBox_->setPrefix(QStringLiteral("Strana "));
    auto* previewPane = new QWidget(this);
    auto* previewLayout = new QVBoxLayout(previewPane);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addWidget(pageBox_);
    previewLayout->addWidget(scroll_, 1);

    auto* left = new QSplitter(Qt::Vertical, this);
    left->addWidget(titled(QStringLiteral("Pásma"), outline_, left));
    left->addWidget(titled(QStringLiteral("Pole a proměnné"), palette_, left));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(left);
    splitter->addWidget(titled(QStringLiteral("Šablona"), editor_, splitter));
    splitter->addWidget(titled(QStringLiteral("Náhled"), previewPane, splitter));
    splitter->setSizes({250, 560, 470});

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("designerStatus"));
    status_->setWordWrap(true);
    auto* saveButton = new QPushButton(QStringLiteral("Uložit"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setAutoDefault(false);
    auto* closeButton = new QPushButton(QStringLiteral("Zavřít"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(saveButton);
    bottom->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(kRelayoutDelayMs);
    connect(timer_, &QTimer::timeout, this, &ReportDesigner::relayout);
    connect(editor_, &QPlainTextEdit::textChanged, timer_, qOverload<>(&QTimer::start));
    connect(saveButton, &QPushButton::clicked, this, &ReportDesigner::save);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(pageBox_, &QSpinBox::valueChanged, this, &ReportDesigner::showPreviewPage);
    connect(palette_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        insertExpression(item->data(kExpressionRole).toString());
    });
    connect(outline_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { jumpToLine(item->data(0, kLineRole).toInt()); });

    rebuildPalette();
    relayout();
}

QString ReportDesigner::statusText() const {
    return status_->text();
}

int ReportDesigner::previewPageCount() const {
    return engine_.pageCount();
}

bool ReportDesigner::isModified() const {
    return editor_->document()->isModified();
}

void ReportDesigner::relayout() {
    timer_->stop();
    // Errors show in the status line and the editor, not as a box per keystroke.
    MessageService* messages = engine_.setMessageService(nullptr);
    const bool parsed = engine_.loadFromText(editor_->toPlainText());
    const bool prepared = engine_.prepare();
    engine_.setMessageService(messages);

    if (parsed)
        rebuildOutline();
    markErrorLine(prepared ? 0 : engine_.errorLine());
    status_->setText(
        prepared ? QStringLiteral("Šablona je v pořádku, stran: %1").arg(engine_.pageCount())
                 : engine_.errorText());
    const QSignalBlocker block(pageBox_);
    pageBox_->setRange(1, std::max(1, engine_.pageCount()));
    showPreviewPage(pageBox_->value());
    fitPreview();
}

void ReportDesigner::fitPreview() {
    const double width = view_->naturalSize().width();
    view_->setZoom(std::clamp((scroll_->viewport()->width() - 16) / width, 0.2, 2.0));
}

bool ReportDesigner::eventFilter(QObject* watched, QEvent* event) {
    // The preview follows the width of its pane, whether the window or the splitter moved.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize)
        fitPreview();
    return QDialog::eventFilter(watched, event);
}

void ReportDesigner::showPreviewPage(int page) {
    view_->setPage(std::clamp(page, 1, std::max(1, engine_.pageCount())) - 1);
}

bool ReportDesigner::save() {
    engine_.loadFromText(editor_->toPlainText());
    if (!engine_.saveToFile())
        return false;
    editor_->document()->setModified(false);
    const QString saved = QStringLiteral("Uloženo do %1.").arg(engine_.fileName());
    status_->setText(
        engine_.loadError().isEmpty() ? saved : saved + QLatin1Char(' ') + engine_.loadError());
    return true;
}

void ReportDesigner::insertExpression(const QString& expression) {
    editor_->textCursor().insertText(expression);
    editor_->setFocus();
}

void ReportDesigner::done(int result) {
    if (isModified() && messages_) {
        const int answer =
            messages_->show(Message{MessageIcon::Question,
                                    {QStringLiteral("Ano"), QStringLiteral("Ne")},
                                    QStringLiteral("Šablona byla změněna. Uložit změny?"),
                                    QStringLiteral("Návrh sestavy")});
        if (answer == 1 && !save())
            return; // stays open so that nothing typed is lost
    }
    QDialog::done(result);
}

void ReportDesigner::rebuildOutline() {
    const ReportTemplate& t = engine_.reportTemplate();
    outline_->clear();
    if (t.title)
        outline_->addTopLevelItem(bandItem(QStringLiteral("Titulek sestavy"), *t.title));
    if (t.pageHeader)
        outline_->addTopLevelItem(bandItem(QStringLiteral("Záhlaví stránky"), *t.pageHeader));
    for (const ReportGroup& g : t.groups) {
        auto* group = new QTreeWidgetItem;
        group->setText(0, QStringLiteral("Skupina %1").arg(g.condition));
        group->setData(0, kLineRole, g.sourceLine);
        bandItem(QStringLiteral("Záhlaví skupiny"), g.header, group);
        if (g.footer)
            bandItem(QStringLiteral("Zápatí skupiny"), *g.footer, group);
        outline_->addTopLevelItem(group);
    }
    if (t.masterData)
        outline_->addTopLevelItem(bandItem(QStringLiteral("Data"), *t.masterData));
    if (t.summary)
        outline_->addTopLevelItem(bandItem(QStringLiteral("Souhrn sestavy"), *t.summary));
    if (t.pageFooter)
        outline_->addTopLevelItem(bandItem(QStringLiteral("Zápatí stránky"), *t.pageFooter));
    outline_->expandToDepth(0);
}

void ReportDesigner::rebuildPalette() {
    palette_->clear();
    auto add = [this](const QString& label, const QString& expression) {
        auto* item = new QListWidgetItem(label, palette_);
        item->setData(kExpressionRole, expression);
        item->setToolTip(expression);
    };
    if (const ReportDataSource* source = engine_.dataSet()) {
        for (int i = 0; i < source->fieldCount(); ++i) {
            const QString name = source->fieldName(i).toUpper();
            add(QStringLiteral("%1.%2").arg(kDataSetName, name),
                QStringLiteral("[%1.\"%2\"]").arg(kDataSetName, name));
        }
    }
    for (const auto& [name, value] : engine_.variables())
        add(QStringLiteral("proměnná %1").arg(name), QStringLiteral("[%1]").arg(name));
    add(QStringLiteral("číslo stránky"), QStringLiteral("[PAGE]"));
    add(QStringLiteral("počet stránek"), QStringLiteral("[PAGES]"));
    add(QStringLiteral("datum tisku"), QStringLiteral("[DATE]"));
    add(QStringLiteral("pořadí řádku"), QStringLiteral("[LINE]"));
    add(QStringLiteral("počet řádků"), QStringLiteral("[COUNT()]"));
}

void ReportDesigner::markErrorLine(int line) {
    errorLine_ = line;
    QList<QTextEdit::ExtraSelection> selections;
    const QTextBlock block = editor_->document()->findBlockByNumber(line - 1);
    if (line > 0 && block.isValid()) {
        QTextEdit::ExtraSelection selection;
        selection.format.setBackground(QColor(255, 205, 205));
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selection.cursor = QTextCursor(block);
        selections << selection;
    }
    editor_->setExtraSelections(selections);
}

void ReportDesigner::jumpToLine(int line) {
    const QTextBlock block = editor_->document()->findBlockByNumber(line - 1);
    if (!block.isValid())
        return;
    editor_->setTextCursor(QTextCursor(block));
    editor_->centerCursor();
    editor_->setFocus();
}

} // namespace kelvo
