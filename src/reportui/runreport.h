#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QWidget;

namespace kelvo {

class MessageService;
class ReportDataSource;
class ReportEngine;

// True when the program runs in design mode: its first argument is exactly "/ES"
// (arguments as QCoreApplication::arguments(), the program itself first).
bool isDesignMode(const QStringList& arguments);

// The sequence every print command shares: binds the rows as frxDBDataset1,
// loads the template by its bare name from the current directory, sets the
// variables, then opens the designer (design mode) or prepares the report and,
// when that succeeded, shows the preview. Returns when the window is closed.
void runReport(ReportEngine& engine, ReportDataSource* rows, const QString& templateFile,
               const std::vector<std::pair<QString, QString>>& variables, bool designMode,
               MessageService* messages, QWidget* parent);

} // namespace kelvo
