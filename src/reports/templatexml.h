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

// The template format, lengths in millimetres, every element optional:
//
//   <report>
//     <page width="210" height="297" orientation="portrait|landscape"
//           left="10" right="10" top="10" bottom="10"/>       paper held upright
//     <styles><style name="bunka" font="DejaVu Sans" size="8" bold="true"
//                    italic="false" align="left|center|right"/></styles>
//     <variables><variable name="kdatu" value="''"/></variables>
//     <reportTitle height="..">   first page only
//     <pageHeader height="..">    every page
//     <group condition="[frxDBDataset1.&quot;ROK&quot;]" keepWithData="true"
//            repeatOnNewPage="false">
//       <groupHeader height=".."> <groupFooter height="..">
//     </group>                    outermost first
//     <masterData height="..">    once per row
//     <reportSummary height="..">
//     <pageFooter height="..">    at the bottom of every page
//   </report>
//
// Bands hold items placed from the band's top left corner:
//   <text x y width height style format wrap="true">Cena: [frxDBDataset1."CENA"]</text>
//   <line x y width height lineWidth/>   from (x, y) to (x + width, y + height)
//   <rect x y width height lineWidth/>
// Text in brackets is an expression (see expression.h); `format` applies to each.
//
// Reads the format. Every expression is checked for its syntax, so
// that a typo is reported with its line when the template is loaded.
std::variant<ReportTemplate, TemplateError> readTemplate(const QString& xml);

// Writes a template so that readTemplate() gives it back unchanged.
QString writeTemplate(const ReportTemplate& report);

} // namespace kelvo
