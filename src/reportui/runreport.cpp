#include "reportui/runreport.h"

#include "reports/reportengine.h"
#include "reportui/reportdesigner.h"
#include "reportui/reportpreview.h"

namespace kelvo {

bool isDesignMode(const QStringList& arguments) {
    return arguments.value(1) == QLatin1String("/ES");
}

void runReport(ReportEngine& engine, ReportDataSource* rows, const QString& templateFile,
               const std::vector<std::pair<QString, QString>>& variables, bool designMode,
               MessageService* messages, QWidget* parent) {
    engine.bindDataSet(rows);
    engine.loadFromFile(templateFile);
    for (const auto& [name, expression] : variables)
        engine.setVariable(name, expression);
    if (designMode) {
        ReportDesigner designer(engine, messages, parent);
        designer.exec();
        return;
    }
    if (!engine.prepare())
        return; // the engine has shown its error
    ReportPreview preview(engine, parent);
    preview.exec();
}

} // namespace kelvo
