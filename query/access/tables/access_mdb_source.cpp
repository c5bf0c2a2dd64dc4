#include "query/access/tables/access_mdb_source.h"

// mdbtools.h wraps glib.h in extern "C"; glib's C++ templates must come first.
#include <glib.h>
#include <mdbtools.h>

#include <QFile>
#include <memory>
#include <vector>

#include "query/access/tables/access_values.h"
#include "storage/code_page.h"

namespace orbo {
namespace {

// How a column's value becomes text.
enum class ValueKind { Text, Bytes, Date, Decimal, Boolean };

ValueKind KindOf(int columnType) {
  switch (columnType) {
    case MDB_OLE:
    case MDB_BINARY:
      return ValueKind::Bytes;
    case MDB_DATETIME:
      return ValueKind::Date;
    case MDB_MONEY:
    case MDB_NUMERIC:
      return ValueKind::Decimal;
    case MDB_BOOL:
      return ValueKind::Boolean;
    default:
      return ValueKind::Text;
  }
}

// Whole values up to the longest text a field can hold, in UTF-8 (four
// bytes a character at most); libmdb cuts anything longer silently.
constexpr size_t kBindBytes = 4 * 100000 + 16;

class MdbSource : public AccessSource {
 public:
  explicit MdbSource(MdbHandle* mdb) : mdb_(mdb) {
    for (unsigned int i = 0; i < mdb_->num_catalog; ++i) {
      auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
      if (entry && entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
        tables_.push_back(entry);
    }
  }

  ~MdbSource() override {
    CloseTable();
    mdb_close(mdb_);
  }

  QStringList TableNames() const override {
    QStringList names;
    for (const MdbCatalogEntry* entry : tables_) names << QString::fromUtf8(entry->object_name);
    return names;
  }

  bool OpenTable(int index, QStringList* columns, qint64* rowCount) override {
    CloseTable();
    failed_ = false;
    if (index < 0 || index >= static_cast<int>(tables_.size())) return false;
    table_ = mdb_read_table(tables_[static_cast<size_t>(index)]);
    // libmdb walks the table's page map without looking: a damaged file may
    // give none.
    if (!table_ || !table_->usage_map || table_->map_sz == 0 || !mdb_read_columns(table_) ||
        !table_->columns || table_->columns->len != table_->num_cols) {
      CloseTable();
      return false;
    }
    columns->clear();
    const unsigned int bound = std::min<unsigned int>(table_->num_cols, kReadColumns);
    // Left uninitialised: the memory is only touched as values fill it.
    for (unsigned int j = 0; j < bound; ++j)
      buffers_.push_back(std::make_unique_for_overwrite<char[]>(kBindBytes));
    lengths_.assign(bound, 0);
    for (unsigned int j = 0; j < table_->num_cols; ++j) {
      auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, j));
      columns->append(QString::fromUtf8(column->name));
      if (j < bound &&
          mdb_bind_column(table_, static_cast<int>(j) + 1, buffers_[j].get(), &lengths_[j]) == -1) {
        CloseTable();
        return false;
      }
      if (j < bound) columns_.push_back(column);
    }
    *rowCount = table_->num_rows;
    mdb_rewind_table(table_);
    return true;
  }

  bool NextRow(QStringList* values) override {
    if (!table_ || failed_) return false;
    for (int& length : lengths_) length = 0;
    if (!mdb_fetch_row(table_)) return false;
    values->clear();
    for (size_t j = 0; j < buffers_.size(); ++j) {
      const int length = lengths_[j];
      if (length < 0 || static_cast<size_t>(length) >= kBindBytes) {
        failed_ = true;
        return false;
      }
      values->append(ValueText(j, length));
    }
    return true;
  }

  bool Failed() const override { return failed_; }

 private:
  // libmdb's text for most types; a date from the stored number, since
  // libmdb gives "1900-01-00" before 1900 and in 9999.
  QString ValueText(size_t j, int length) const {
    const char* bytes = buffers_[j].get();
    switch (KindOf(columns_[j]->col_type)) {
      case ValueKind::Bytes:
        return {};  // pictures and other bytes are no text
      case ValueKind::Date:
        if (columns_[j]->cur_value_len == 0) return {};
        return AccessDateText(mdb_pg_get_double(mdb_, columns_[j]->cur_value_start));
      case ValueKind::Decimal:
        return WithoutTrailingZeros(QString::fromUtf8(bytes, length));
      case ValueKind::Boolean:
        return length == 1 && bytes[0] == '1' ? QStringLiteral("True") : QStringLiteral("False");
      case ValueKind::Text:
        break;
    }
    return Utf8Text(QByteArrayView(bytes, length));
  }

  void CloseTable() {
    if (table_) mdb_free_tabledef(table_);
    table_ = nullptr;
    buffers_.clear();
    lengths_.clear();
    columns_.clear();
  }

  MdbHandle* mdb_;
  std::vector<MdbCatalogEntry*> tables_;
  MdbTableDef* table_ = nullptr;
  std::vector<std::unique_ptr<char[]>> buffers_;
  std::vector<int> lengths_;
  std::vector<MdbColumn*> columns_;  // the bound ones
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<AccessSource> OpenMdbSource(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  MdbHandle* mdb = mdb_open(name.constData(), MDB_NOFLAGS);
  if (!mdb) return nullptr;
  mdb_set_bind_size(mdb, kBindBytes);
  mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
  if (!mdb_read_catalog(mdb, MDB_TABLE)) {
    mdb_close(mdb);
    return nullptr;
  }
  return std::make_unique<MdbSource>(mdb);
}

}  // namespace orbo
