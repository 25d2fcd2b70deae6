#include "reports/querydatasource.h"

namespace kelvo {

QString QueryDataSource::fieldName(int index) const {
    if (index < 0 || index >= fieldCount())
        return {};
    return query_->field(index).name;
}

void QueryDataSource::first() {
    eof_ = !query_ || !query_->isOpen() || query_->isEmpty();
    if (!eof_)
        query_->first();
}

void QueryDataSource::next() {
    if (eof_)
        return;
    // The data set stays on its last row at the end; only the walk is over.
    if (query_->currentRow() >= query_->rowCount() - 1)
        eof_ = true;
    else
        query_->next();
}

QVariant QueryDataSource::value(int field) const {
    if (eof_ || field < 0 || field >= fieldCount())
        return {};
    return query_->valueAt(query_->currentRow(), field);
}

} // namespace kelvo
