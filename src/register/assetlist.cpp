#include "register/assetlist.h"

namespace kelvo {

AssetList::AssetList(Connection& connection)
    : connection_(connection), ZQuery1(connection), ZQuery2(connection) {
    ZQuery1.addLine(filterLine(true));
    ZQuery1.addLine(QStringLiteral("order by pora_cislo"));
    QObject::connect(&ZQuery1, &Query::reset, &ZQuery1,
                     [this] { vyrazenField_ = ZQuery1.fieldIndex(QStringLiteral("vyrazen")); });
}

QString AssetList::filterLine(bool onlyCurrent) {
    return onlyCurrent ? QStringLiteral("select * from karta where vyrazen=\"N\"")
                       : QStringLiteral("select * from karta");
}

void AssetList::toggleOnlyCurrent() {
    onlyCurrent_ = !onlyCurrent_;
    ZQuery1.close();
    ZQuery1.setLine(0, filterLine(onlyCurrent_));
    ZQuery1.open();
}

void AssetList::titleClicked(const QString& field) {
    const bool sortedByIt = ZQuery1.sortOrder() != SortOrder::None &&
                            ZQuery1.sortField().compare(field, Qt::CaseInsensitive) == 0;
    if (!sortedByIt)
        ZQuery1.sortBy(field, SortOrder::Ascending);
    else if (ZQuery1.sortOrder() == SortOrder::Ascending)
        ZQuery1.sortBy(field, SortOrder::Descending);
    else
        ZQuery1.sortBy(QString(), SortOrder::None);
}

QString AssetList::currentId() const {
    if (!ZQuery1.isOpen() || ZQuery1.currentRow() < 0)
        return QString();
    return ZQuery1.asString(QStringLiteral("id"));
}

bool AssetList::isDiscarded(int row) const {
    return vyrazenField_ >= 0 &&
           ZQuery1.valueAt(row, vyrazenField_).toString() == QLatin1String("A");
}

} // namespace kelvo
