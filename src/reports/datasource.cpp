#include "reports/datasource.h"

namespace kelvo {

int ReportDataSource::fieldIndex(const QString& name) const {
    const int count = fieldCount();
    for (int i = 0; i < count; ++i) {
        if (fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void MemoryDataSource::addRow(QVariantList values) {
    values.resize(names_.size());
    rows_.push_back(std::move(values));
}

void MemoryDataSource::next() {
    if (current_ < int(rows_.size()))
        ++current_;
}

QVariant MemoryDataSource::value(int field) const {
    if (eof() || field < 0 || field >= int(names_.size()))
        return {};
    return rows_[size_t(current_)][field];
}

} // namespace kelvo
