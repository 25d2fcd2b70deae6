#include "depreciation/statements.h"

namespace kelvo {

QString statementOf(const QStringList& lines)
{
    qsizetype length = 0;
    for (const QString& line : lines)
        length += line.size() + 1;
    QString text;
    text.reserve(length);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

QString copyCardColumnsStatement(CopyCardColumnsForm form)
{
    QStringList lines{
        QStringLiteral("update odpisy,karta set odpisy.pora_cislo=karta.pora_cislo,"
                       "odpisy.cislokarty=karta.cislokarty,odpisy.nazev=karta.nazev"),
        QStringLiteral(",odpisy.dat_zhod=karta.dat_zhod,odpisy.dokl_zhod=karta.dokl_zhod,"
                       "odpisy.koruny=karta.koruny,odpisy.cena=karta.cena"),
        QStringLiteral(",odpisy.datum_za=karta.datum_za,odpisy.dokl_za=karta.dokl_za,"
                       "odpisy.misto=karta.misto,odpisy.sk_odpisu=karta.sk_odpisu"),
    };
    if (form == CopyCardColumnsForm::DoubleClick)
        lines << QStringLiteral(",odpisy.do_pouziti=karta.do_pouziti,odpisy.opravky=karta.opravky,"
                                "odpisy.zp_odpisu=karta.zp_odpisu where odpisy.id_karta=karta.id");
    else
        lines << QStringLiteral(",odpisy.opravky=karta.opravky,odpisy.zp_odpisu=karta.zp_odpisu "
                                "where odpisy.id_karta=karta.id");
    return lines.join(QLatin1Char('\n'));
}

} // namespace kelvo
