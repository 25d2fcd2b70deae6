#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace kelvo {

// The rows a report walks. The engine calls first() and then next() until eof(),
// so the caller's current row moves while a report is prepared; that is intended
// (the printed list is the list itself). Field names are matched without regard
// to letter case. Values come as the natural type: double for amounts,
// QDate/QDateTime for dates, QString for text, qlonglong for whole numbers; a
// NULL is an invalid QVariant.
class ReportDataSource {
  public:
    virtual ~ReportDataSource() = default;

    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    // The field's position or -1. The default searches the names ignoring case.
    virtual int fieldIndex(const QString& name) const;

    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;

    // The value of a field of the current row; invalid when eof() or out of range.
    virtual QVariant value(int field) const = 0;
    QVariant value(const QString& name) const { return value(fieldIndex(name)); }
};

// Rows held in memory: for tests and for the designer's preview.
class MemoryDataSource final : public ReportDataSource {
  public:
    MemoryDataSource() = default;
    explicit MemoryDataSource(QStringList fieldNames) : names_(std::move(fieldNames)) {}

    // Appends a row; missing trailing values are NULL, surplus ones are dropped.
    void addRow(QVariantList values);
    int rowCount() const { return int(rows_.size()); }
    // The current row's position (rowCount() at eof), so tests can see the walk.
    int currentRow() const { return current_; }

    int fieldCount() const override { return int(names_.size()); }
    QString fieldName(int index) const override { return names_.value(index); }
    void first() override { current_ = 0; }
    void next() override;
    bool eof() const override { return current_ >= int(rows_.size()); }
    QVariant value(int field) const override;

  private:
    QStringList names_;
    std::vector<QVariantList> rows_;
    int current_ = 0;
};

} // namespace kelvo
