#include "reports/pagemodel.h"

#include <QStringList>

namespace kelvo {

QString Page::text(const TextRun& run, int pageCount) const {
    QString text = pool.mid(run.offset, run.length);
    if (run.hasPageCount)
        text.replace(kPageCountMark, pageCount == kPageCountUnknown ? QStringLiteral("…")
                                                                    : QString::number(pageCount));
    return text;
}

QString Page::plainText(int pageCount) const {
    QStringList lines;
    lines.reserve(qsizetype(texts.size()));
    for (const TextRun& run : texts)
        lines << text(run, pageCount);
    return lines.join(QLatin1Char('\n'));
}

} // namespace kelvo
