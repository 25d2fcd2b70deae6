#pragma once

#include "register/listsearch.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;

namespace kelvo {

// "Hledat": the search over the asset list, in the context mode (the narrowed
// list shown, parts of the text searched). The list follows the selected line;
// "storno" or the title bar return it to where it was.
class SearchDialog final : public QDialog {
    Q_OBJECT
  public:
    SearchDialog(Query& list, MessageService& messages, const DateFormat& dateFormat,
                 int startField, QWidget* parent = nullptr);

    ListSearch& search() { return search_; }

    QComboBox* fieldChooser = nullptr; // "Prohledávat"
    QLineEdit* textEdit = nullptr;     // "Co hledat"
    QListView* linesView = nullptr;
    QCheckBox* showSelectionBox = nullptr; // "zobrazit výběr"
    QCheckBox* partialBox = nullptr;       // "hledat i části"
    QPushButton* takeButton = nullptr;     // "převzít"
    QPushButton* cancelButton = nullptr;   // "storno"

    void accept() override;
    void reject() override;

  private:
    void refill();

    ListSearch search_;
    QStringListModel* lines_ = nullptr;
};

} // namespace kelvo
