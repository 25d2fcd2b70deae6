#pragma once

#include <QString>
#include <QStringList>

namespace kelvo {

// A statement as the plan commands send it: each line followed by a line break.
QString statementOf(const QStringList& lines);

// Which cycle saved the cards: only an edit opened by double-click also copies
// the date of putting into use into the rows.
enum class CopyCardColumnsForm { Menu, DoubleClick };

// The statement run after a saved card editing cycle: it copies the descriptive
// columns of every card into all of that card's depreciation rows, four lines.
QString copyCardColumnsStatement(CopyCardColumnsForm form);

} // namespace kelvo
