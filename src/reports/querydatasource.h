#pragma once

#include "db/query.h"
#include "reports/datasource.h"

namespace kelvo {

// A data set as the rows of a report: the engine walks the data set itself, so
// its current row moves while a report is prepared (a printed list ends on its
// last row). The data set stays open afterwards.
class QueryDataSource final : public ReportDataSource {
  public:
    QueryDataSource() = default;
    explicit QueryDataSource(Query& query) : query_(&query) {}

    void setQuery(Query& query) { query_ = &query; }
    Query* query() const { return query_; }

    int fieldCount() const override { return query_ && query_->isOpen() ? query_->fieldCount() : 0; }
    QString fieldName(int index) const override;
    void first() override;
    void next() override;
    bool eof() const override { return eof_; }
    QVariant value(int field) const override;

  private:
    Query* query_ = nullptr;
    bool eof_ = true;
};

} // namespace kelvo
