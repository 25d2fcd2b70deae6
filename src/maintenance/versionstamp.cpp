#include "maintenance/versionstamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace kelvo {
namespace {

// The line with the given number (from 0), or nothing when the text has fewer
// lines. A line break at the very end does not start another line.
std::optional<QString> lineAt(const QString& text, int wanted)
{
    int number = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (number == wanted)
            return text.mid(start, end - start);
        ++number;
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() &&
            text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return std::nullopt;
}

} // namespace

QString serverStampFromVersionFile(const QByteArray& content)
{
    const auto line = lineAt(QString::fromLatin1(content), 1);
    if (!line)
        return {};
    const QStringList fields = line->split(u'\t');
    if (fields.size() < 3)
        return {};
    return fields[2].left(19);
}

QString localStampFromTime(const QDateTime& modified)
{
    const QDateTime local = modified.toLocalTime();
    const QTime exact = local.time();
    // File times are kept to two seconds, so an odd second is taken down.
    const QTime time(exact.hour(), exact.minute(), exact.second() & ~1);
    // The time is written as Czech settings write it, with the hour without a
    // leading zero; a "0" in front and the last eight characters give hh:nn:ss.
    const QString clock = (QStringLiteral("0") + time.toString(QStringLiteral("H:mm:ss"))).right(8);
    return local.date().toString(QStringLiteral("yyyy-MM-dd")) + u' ' + clock;
}

QString localStampOfFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return localStampFromTime(info.lastModified());
}

QString withoutSeparators(QString stamp)
{
    stamp.remove(u' ');
    stamp.remove(u'-');
    stamp.remove(u':');
    return stamp;
}

bool serverIsNewer(const QString& serverStamp, const QString& localStamp)
{
    return QString::compare(serverStamp, localStamp, Qt::CaseSensitive) > 0;
}

bool writeVersionLog(const QString& directory, const QString& localStamp,
                     const QString& serverStamp, QString* error)
{
    QFile file(QDir(directory).filePath(QStringLiteral("verze.log")));
    const QByteArray content = "Verze programu: " + localStamp.toLatin1() + "\r\n" +
                               "Verze internet: " + serverStamp.toLatin1() + "\r\n";
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool passiveFromSetting(const QString& value)
{
    return value.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
}

} // namespace kelvo
