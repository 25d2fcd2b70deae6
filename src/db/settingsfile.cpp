#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace kelvo {
namespace {

// Settings files are small; anything much larger is not ours and is read only
// up to this size, so that a runaway file cannot stall the program.
constexpr qint64 kMaxSettingsBytes = 4 * 1024 * 1024;

// The file's lines as bytes. They are decoded only to be matched, so that a
// write leaves every other line byte for byte as it was, even when it is not
// UTF-8 (a password in cp1250, say).
QList<QByteArray> readRawLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Asking for the limit itself would allocate it for every small file.
    QByteArray data = file.read(file.size() > 0 ? qMin(file.size(), kMaxSettingsBytes) : kMaxSettingsBytes);
    data.replace("\r\n", "\n");
    data.replace('\r', '\n');
    return data.split('\n');
}

QStringList readLines(const QString& path)
{
    QStringList lines;
    for (const QByteArray& line : readRawLines(path))
        lines << QString::fromUtf8(line);
    return lines;
}

std::optional<QString> sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return std::nullopt;
}

// The key and value of a "key=value" line, or nothing for other lines.
std::optional<std::pair<QString, QString>> keyValue(const QString& line)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    const QString key = line.left(eq).trimmed();
    if (key.isEmpty() || key.startsWith(QLatin1Char(';')))
        return std::nullopt;
    return std::make_pair(key, line.mid(eq + 1).trimmed());
}

std::optional<QString> findValue(const QString& path, const QString& section, const QString& key)
{
    bool inSection = false;
    for (const QString& line : readLines(path)) {
        if (const auto name = sectionName(line)) {
            // A section written twice is read where it first stands.
            if (inSection)
                return std::nullopt;
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        if (const auto kv = keyValue(line); kv && kv->first.compare(key, Qt::CaseInsensitive) == 0)
            return kv->second;
    }
    return std::nullopt;
}

} // namespace

SettingsFile SettingsFile::inDirectory(const QString& directory, const QString& fileName)
{
    const QDir dir(directory);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return SettingsFile(dir.filePath(entry));
    }
    return SettingsFile(dir.filePath(fileName.toLower()));
}

SettingsFile SettingsFile::forExecutable(const QString& executablePath)
{
    const QFileInfo info(executablePath);
    QString base = info.fileName();
    if (const int dot = base.lastIndexOf(QLatin1Char('.')); dot > 0)
        base = base.left(dot);
    return inDirectory(info.absolutePath(), base + QLatin1String(".INI"));
}

QString SettingsFile::readString(const QString& section, const QString& key,
                                 const QString& defaultValue) const
{
    return findValue(path_, section, key).value_or(defaultValue);
}

int SettingsFile::readInt(const QString& section, const QString& key, int defaultValue) const
{
    const auto text = findValue(path_, section, key);
    if (!text)
        return defaultValue;
    bool ok = false;
    const int value = text->toInt(&ok);
    return ok ? value : defaultValue;
}

bool SettingsFile::writeString(const QString& section, const QString& key, const QString& value,
                               QString* error) const
{
    // A file beyond the size that is read would lose its end when written back.
    if (QFileInfo(path_).size() > kMaxSettingsBytes) {
        if (error)
            *error = QStringLiteral("Soubor %1 je větší než %2 MB; nastavení do něj nebylo zapsáno.")
                         .arg(path_)
                         .arg(kMaxSettingsBytes / (1024 * 1024));
        return false;
    }
    QList<QByteArray> lines = readRawLines(path_);
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    const QByteArray entry = (key + QLatin1Char('=') + value).toUtf8();
    int sectionStart = -1;
    int insertAt = -1;
    bool written = false;
    for (int i = 0; i < lines.size() && !written; ++i) {
        const QString line = QString::fromUtf8(lines[i]);
        if (const auto name = sectionName(line)) {
            if (sectionStart >= 0)
                break;
            if (name->compare(section, Qt::CaseInsensitive) == 0) {
                sectionStart = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (const auto kv = keyValue(line)) {
            if (kv->first.compare(key, Qt::CaseInsensitive) == 0) {
                lines[i] = entry;
                written = true;
            }
        }
        if (!line.trimmed().isEmpty())
            insertAt = i + 1;
    }
    if (!written) {
        if (sectionStart >= 0) {
            lines.insert(insertAt, entry);
        } else {
            if (!lines.isEmpty())
                lines.append(QByteArray());
            lines.append((QLatin1Char('[') + section + QLatin1Char(']')).toUtf8());
            lines.append(entry);
        }
    }

    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(lines.join("\r\n") + "\r\n");
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace kelvo
