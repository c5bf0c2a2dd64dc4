#include "query/access/tables/access_engine.h"

#include "query/access/tables/access_mdb_source.h"

namespace orbo {
namespace {

// Our writer makes the whole file at once, so the target only gathers.
class JetTarget : public AccessTarget {
 public:
  explicit JetTarget(QString path) : path_(std::move(path)) {}

  int CreateTable(const QString& name, std::vector<jet4::Column> columns) override {
    tables_.push_back({name, std::move(columns), {}});
    return static_cast<int>(tables_.size()) - 1;
  }

  void AppendRow(int table, std::vector<jet4::Cell> row) override {
    tables_[static_cast<size_t>(table)].rows.push_back(std::move(row));
  }

  bool Close(jet4::Error* error) override { return jet4::WriteDatabase(path_, tables_, error); }

 private:
  QString path_;
  std::vector<jet4::Table> tables_;
};

class LibraryEngine : public AccessEngine {
 public:
  std::unique_ptr<AccessSource> OpenDatabase(const QString& path) override {
    return OpenMdbSource(path);
  }
  std::unique_ptr<AccessTarget> CreateDatabase(const QString& path) override {
    return std::make_unique<JetTarget>(path);
  }
};

}  // namespace

std::unique_ptr<AccessEngine> MakeAccessEngine() { return std::make_unique<LibraryEngine>(); }

}  // namespace orbo
