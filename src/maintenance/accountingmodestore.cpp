#include "maintenance/accountingmodestore.h"

#include <QFileInfo>
#include <stdexcept>

namespace kelvo {
namespace {

const QString kSection = QStringLiteral("Tfservis");
const QString kIndexKey = QStringLiteral("suiComboBox1_ItemIndex");
const QString kVersionKey = QStringLiteral("FormVersion");

void write(const SettingsFile& settings, const QString& key, const QString& value) {
    QString error;
    if (!settings.writeString(kSection, key, value, &error))
        throw std::runtime_error(error.toStdString());
}

} // namespace

AccountingModeStore AccountingModeStore::forExecutable(const QString& executablePath) {
    const QFileInfo info(executablePath);
    return AccountingModeStore(info.absolutePath(),
                               info.completeBaseName() + QLatin1String(".INI"));
}

int AccountingModeStore::restore(int currentIndex) {
    const SettingsFile file = settings();
    if (file.readInt(kSection, kVersionKey, 0) < 0)
        return currentIndex;
    restored_ = true;
    const QString text =
        file.readString(kSection, kIndexKey, QString::number(currentIndex)).trimmed();
    bool ok = false;
    const int index = text.toInt(&ok);
    return ok ? index : 0;
}

void AccountingModeStore::store(int index) {
    if (!restored_)
        return;
    const SettingsFile file = settings();
    write(file, kVersionKey, QStringLiteral("0"));
    write(file, kIndexKey, QString::number(index));
}

} // namespace kelvo
