#include "reports/printcommands.h"

namespace kelvo {

void RunReport(ReportFrontEnd& engine, const QStringList& arguments, const QString& templateFile,
               ReportDataSource& rows, const ReportVariables& variables)
{
    engine.bind(rows);
    engine.load(templateFile);
    for (const auto& [name, expression] : variables)
        engine.setVariable(name, expression);
    // The switch is exactly "/ES" in the first place after the program name.
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("/ES")) {
        engine.design();
        return;
    }
    if (engine.prepare())
        engine.showPrepared();
}

PrintCommands::PrintCommands(Query& list, Query& reportQuery, ReportFrontEnd& engine, QStringList arguments,
                             MessageService& messages)
    : list_(list), reportQuery_(reportQuery), engine_(engine), arguments_(std::move(arguments)), messages_(messages)
{
}

void PrintCommands::run(const QString& templateFile, Query& dataSet, const ReportVariables& variables)
{
    binding_.setQuery(dataSet);
    RunReport(engine_, arguments_, templateFile, binding_, variables);
}

void PrintCommands::printPostingList(Query& rowsToPost)
{
    run(QStringLiteral("odpisy.fr3"), rowsToPost);
}

void PrintCommands::printCard()
{
    // Without a current card the statement would end in "karta.id=" and the
    // server would refuse it; say so plainly instead.
    if (!list_.isOpen() || list_.isEmpty()) {
        messages_.show(infoMessage(QStringLiteral("V seznamu není žádná karta k tisku.")));
        return;
    }
    reportQuery_.close();
    reportQuery_.clearText();
    reportQuery_.addLine(QStringLiteral(
        "select karta.* , odpisy.rok,odpisy.datum_odpisu,odpisy.koef_o,odpisy.procento_o,odpisy.zh,odpisy.korun_o,"
        "odpisy.korun_do from karta, odpisy where karta.cislokarty = odpisy.cislokarty"));
    reportQuery_.addLine(QStringLiteral(" and karta.id=") + QString::number(list_.asInteger(QStringLiteral("id"))));
    reportQuery_.open();
    run(QStringLiteral("karta.fr3"), reportQuery_);
    list_.refresh();
}

void PrintCommands::printList()
{
    run(QStringLiteral("seznam.fr3"), list_);
}

void PrintCommands::printPostedDepreciation()
{
    reportQuery_.setText(QStringLiteral("select * from odpisy where odepsano=\"A\"  order by rok"));
    reportQuery_.open();
    run(QStringLiteral("odpisy.fr3"), reportQuery_);
    reportQuery_.close();
}

QStringList PrintCommands::inventoryStatement(const QDate& date)
{
    // A text that is no date reads as the first day of the date system, which
    // selects nothing.
    const QDate day = date.isValid() ? date : QDate(1899, 12, 30);
    return {
        QStringLiteral("select karta.* , odpisy.rok,odpisy.datum_odpisu,odpisy.opravka_u,odpisy.opravka_d,odpisy.zh,"
                       "odpisy.korun_o,odpisy.korun_do from karta, odpisy where karta.cislokarty = odpisy.cislokarty"),
        QStringLiteral(" and karta.datum_za<='") + day.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\''),
        QStringLiteral(" and odpisy.rok='") + day.toString(QStringLiteral("yyyy")) + QLatin1Char('\''),
    };
}

void PrintCommands::printInventory(const InventoryDate& date)
{
    reportQuery_.close();
    reportQuery_.clearText();
    for (const QString& line : inventoryStatement(date.date))
        reportQuery_.addLine(line);
    reportQuery_.open();
    QString quoted = date.text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    run(QStringLiteral("invent.fr3"), reportQuery_,
        {{QStringLiteral("kdatu"), QLatin1Char('\'') + quoted + QLatin1Char('\'')}});
    list_.refresh();
}

} // namespace kelvo
