#pragma once

#include "reports/reporttemplate.h"

#include <QString>
#include <variant>

namespace kelvo {

// Why a template could not be read: the line of the template file and a Czech
// reason. text() is the message shown to the user.
struct TemplateError {
    int line = 0;
    QString message;

    QString text() const;
};

// Reads our XML template format. Every expression is checked for its syntax, so
// that a typo is reported with its line when the template is loaded.
std::variant<ReportTemplate, TemplateError> readTemplate(const QString& xml);

// Writes a template so that readTemplate() gives it back unchanged.
QString writeTemplate(const ReportTemplate& report);

} // namespace kelvo
