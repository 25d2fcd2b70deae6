#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QScrollArea;
class QSpinBox;
class QTimer;
class QTreeWidget;

namespace kelvo {

class MessageService;
class PageView;
class ReportEngine;
class TemplateHighlighter;

// The template designer, opened instead of the preview in design mode: the
// template's XML in a coloured editor, an outline of its bands, a palette of the
// bound fields and the variables (double-click inserts at the cursor), and a
// preview laid out with the bound rows shortly after every edit. "Uložit" writes
// the text back to the template's file.
//
//   ReportDesigner designer(engine, &messages, parent);  // after loadFromFile
//   designer.exec();
class ReportDesigner : public QDialog {
    Q_OBJECT
  public:
    // `messages` asks about unsaved changes on closing; may be null.
    ReportDesigner(ReportEngine& engine, MessageService* messages, QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return editor_; }
    QTreeWidget* outline() const { return outline_; }
    QListWidget* palette() const { return palette_; }
    QString statusText() const;
    int errorLine() const { return errorLine_; } // marked in the editor, 0 when none
    int previewPageCount() const;
    bool isModified() const;

    // How long after the last keystroke the preview is laid out again.
    static constexpr int kRelayoutDelayMs = 400;

  public slots:
    // Reads the editor's text and lays it out now.
    void relayout();
    // Writes the editor's text to the template's file.
    bool save();
    void insertExpression(const QString& expression);
    void showPreviewPage(int page);

  protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fitPreview();
    void rebuildOutline();
    void rebuildPalette();
    void markErrorLine(int line);
    void jumpToLine(int line);

    ReportEngine& engine_;
    MessageService* messages_;
    QPlainTextEdit* editor_;
    TemplateHighlighter* highlighter_;
    QTreeWidget* outline_;
    QListWidget* palette_;
    PageView* view_;
    QScrollArea* scroll_;
    QSpinBox* pageBox_;
    QLabel* status_;
    QTimer* timer_;
    int errorLine_ = 0;
};

} // namespace kelvo
