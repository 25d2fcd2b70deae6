#include "reportui/reportwindows.h"

#include "reports/reportengine.h"
#include "reportui/reportdesigner.h"
#include "reportui/reportpreview.h"

namespace kelvo {

ReportWindows::ReportWindows(ReportEngine& engine, MessageService* messages, QWidget* parent)
    : engine_(engine), messages_(messages), parent_(parent) {}

void ReportWindows::bind(ReportDataSource& rows) {
    engine_.bindDataSet(&rows);
}

void ReportWindows::load(const QString& fileName) {
    engine_.loadFromFile(fileName);
}

void ReportWindows::setVariable(const QString& name, const QString& expression) {
    engine_.setVariable(name, expression);
}

void ReportWindows::design() {
    ReportDesigner designer(engine_, messages_, parent_);
    designer.exec();
}

bool ReportWindows::prepare() {
    // The first page only: the preview lays out the rest while it is shown.
    return engine_.startPreparing(); // the engine shows its own error
}

void ReportWindows::showPrepared() {
    ReportPreview preview(engine_, parent_);
    preview.exec();
    // Nothing looks at the pages once the preview has closed; a long report's
    // would otherwise stay in memory until the next print. The layout stops
    // with them, so the caller may close the rows now.
    engine_.releasePages();
}

} // namespace kelvo
