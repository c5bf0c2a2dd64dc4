// An Access engine in memory: files are named tables, and a table can break
// off after some rows, as a damaged file would.
#pragma once

#include <map>

#include "query/access/tables/access_engine.h"

struct FakeTable {
  QString name;
  QStringList columns;
  std::vector<QStringList> rows;
  int breaksAfter = -1;  // rows read before the table turns out damaged
};

class FakeSource : public orbo::AccessSource {
 public:
  explicit FakeSource(std::vector<FakeTable> tables) : tables_(std::move(tables)) {}
  QStringList TableNames() const override {
    QStringList names;
    for (const FakeTable& t : tables_) names << t.name;
    return names;
  }
  bool OpenTable(int index, QStringList* columns, qint64* rowCount) override {
    if (index < 0 || index >= static_cast<int>(tables_.size())) return false;
    open_ = &tables_[index];
    next_ = 0;
    *columns = open_->columns;
    *rowCount = static_cast<qint64>(open_->rows.size());
    return true;
  }
  bool NextRow(QStringList* values) override {
    if (!open_ || Failed() || next_ >= static_cast<int>(open_->rows.size())) return false;
    *values = open_->rows[next_++].mid(0, orbo::kReadColumns);
    return !Failed();
  }
  bool Failed() const override {
    return open_ && open_->breaksAfter >= 0 && next_ > open_->breaksAfter;
  }

 private:
  std::vector<FakeTable> tables_;
  FakeTable* open_ = nullptr;
  int next_ = 0;
};

class FakeTarget : public orbo::AccessTarget {
 public:
  explicit FakeTarget(std::vector<orbo::jet4::Table>& written) : written_(written) {}
  int CreateTable(const QString& name, std::vector<orbo::jet4::Column> columns) override {
    written_.push_back({name, std::move(columns), {}});
    return static_cast<int>(written_.size()) - 1;
  }
  void AppendRow(int table, std::vector<orbo::jet4::Cell> row) override {
    written_[table].rows.push_back(std::move(row));
  }
  bool Close(orbo::jet4::Error* error) override {
    error->number = orbo::jet4::kCannotCreate;
    return !failClose;
  }
  bool failClose = false;

 private:
  std::vector<orbo::jet4::Table>& written_;
};

class FakeEngine : public orbo::AccessEngine {
 public:
  std::map<QString, std::vector<FakeTable>> files;
  std::vector<orbo::jet4::Table> written;
  bool failWrites = false;

  std::unique_ptr<orbo::AccessSource> OpenDatabase(const QString& path) override {
    const auto it = files.find(path);
    if (it == files.end()) return nullptr;
    return std::make_unique<FakeSource>(it->second);
  }
  std::unique_ptr<orbo::AccessTarget> CreateDatabase(const QString&) override {
    auto target = std::make_unique<FakeTarget>(written);
    target->failClose = failWrites;
    return target;
  }
};
