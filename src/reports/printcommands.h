#pragma once

#include "core/messageservice.h"
#include "db/query.h"
#include "reports/querydatasource.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QStringList>

namespace kelvo {

// A report variable: its name and its value as an expression of the report
// engine ('01.10.2014' in single quotes is that text).
using ReportVariables = QList<QPair<QString, QString>>;

// What the print commands need of the report engine and its windows, in the
// order they use it. The windows provide the real one; templates reach the
// bound rows under the name "frxDBDataset1".
class ReportFrontEnd {
public:
    virtual ~ReportFrontEnd() = default;
    virtual void bind(ReportDataSource& rows) = 0;
    // Discards the previous report, variables included, and reads the template
    // file; a missing file leaves an empty report and says nothing.
    virtual void load(const QString& fileName) = 0;
    virtual void setVariable(const QString& name, const QString& expression) = 0;
    // The template designer, modal, on the loaded template with the data bound.
    virtual void design() = 0;
    // Lays the report out, or begins to (the preview may lay out the rest while it
    // is shown); false when it failed (the engine has told the user why).
    virtual bool prepare() = 0;
    // The modal preview of the prepared pages. Once it returns the rows are not
    // read again, so the caller may close or refresh them.
    virtual void showPrepared() = 0;
};

// The print sequence every print shares: bind, load by bare file name from the
// current directory, set the variables, then the designer when the program was
// started with "/ES" as its first argument, otherwise the preview of the
// prepared report.
void RunReport(ReportFrontEnd& engine, const QStringList& arguments, const QString& templateFile,
               ReportDataSource& rows, const ReportVariables& variables = {});

// The inventory date dialog's two readings of its date edit.
struct InventoryDate {
    QString text;  // the characters exactly as shown
    QDate date;    // the text read as a date; invalid when it is none
};

// The print commands of the main window.
class PrintCommands {
public:
    // `list` is the asset list (ZQuery1 of the main window), `reportQuery` the
    // main window's report query (ZQuery3).
    PrintCommands(Query& list, Query& reportQuery, ReportFrontEnd& engine, QStringList arguments,
                  MessageService& messages);

    // "Tisk karty": the list's current card with its depreciation rows.
    void printCard();
    // "Tisk seznamu": the list as shown, filter and sort included.
    void printList();
    // "Tisk odpisů": every posted depreciation row, by year.
    void printPostedDepreciation();
    // "Inventurní soupis", after the date dialog ended with "OK".
    void printInventory(const InventoryDate& date);
    // The yearly posting's list of the rows about to be posted.
    void printPostingList(Query& rowsToPost);

    // The statement of the inventory list for a date, as its three lines.
    static QStringList inventoryStatement(const QDate& date);

private:
    void run(const QString& templateFile, Query& dataSet, const ReportVariables& variables = {});

    Query& list_;
    Query& reportQuery_;
    ReportFrontEnd& engine_;
    QStringList arguments_;
    MessageService& messages_;
    QueryDataSource binding_;  // frxDBDataset1: stays on the last print's data set
};

} // namespace kelvo
