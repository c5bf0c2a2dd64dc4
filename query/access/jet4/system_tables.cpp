#include "query/access/jet4/system_tables.h"

namespace orbo::jet4 {

namespace {

constexpr std::uint8_t kSystemFixed = 0x13;
constexpr std::uint8_t kSystemVariable = 0x12;
constexpr std::uint8_t kSystemSid = 0x32;

constexpr std::int32_t kRootParent = 0x0F000000;
constexpr std::int32_t kDatabasesContainer = 0x0F000002;
constexpr std::int32_t kRelationshipsContainer = 0x0F000003;
constexpr std::int32_t kDatabaseObject = 0x10000000;
constexpr std::int64_t kObjectTable = 1;
constexpr std::int64_t kObjectDatabase = 2;
constexpr std::int64_t kObjectContainer = 3;
constexpr std::int64_t kSystemObjectFlags = 0x80000000;
constexpr int kCatalogColumns = 17;

const QByteArray kSystemOwnerSid = QByteArray::fromHex("A731");
const QByteArray kUsersSid = QByteArray::fromHex("A736");
const QByteArray kAdminSid = QByteArray::fromHex("A633");
const QByteArray kEngineSid = QByteArray::fromHex("A733");
const QByteArray kAdminsSid = QByteArray::fromHex(
    "A4F74667E17167EED7B10F8FFEEF76FFAAE3665105BDD29D4D4B3952D9FB9A07660C5BD2D87DDDB31E659019");

ColumnDef Fixed(const char* name, JetType type) {
  return {QString::fromLatin1(name), type, kSystemFixed, 0};
}
ColumnDef Variable(const char* name, JetType type, std::uint8_t flags = kSystemVariable) {
  return {QString::fromLatin1(name), type, flags, 0};
}
IndexDef Index(const char* name, std::vector<int> columns, std::uint8_t flags,
               std::uint8_t logicalType = 0) {
  IndexDef index;
  index.name = QString::fromLatin1(name);
  index.columns = std::move(columns);
  index.flags = flags;
  index.logicalType = logicalType;
  return index;
}

std::vector<Value> CatalogRow(std::int32_t id, std::int32_t parent, const QString& name,
                              std::int64_t type, const QByteArray& owner, std::int64_t flags,
                              double created) {
  std::vector<Value> row(kCatalogColumns);
  row[0] = std::int64_t{id};
  row[1] = std::int64_t{parent};
  row[2] = name;
  row[3] = type;
  row[4] = created;
  row[5] = created;
  row[6] = owner;
  row[7] = flags;
  return row;
}

struct Ace {
  std::int32_t object;
  const QByteArray* sid;
  std::int64_t rights;
  bool inheritable;
};

}  // namespace

std::vector<SystemTable> SystemTables() {
  using T = JetType;
  return {
      {QStringLiteral("MSysObjects"),
       {Fixed("Id", T::Long), Fixed("ParentId", T::Long), Variable("Name", T::Text),
        Fixed("Type", T::Integer), Fixed("DateCreate", T::DateTime),
        Fixed("DateUpdate", T::DateTime), Variable("Owner", T::Binary, kSystemSid),
        Fixed("Flags", T::Long), Variable("Database", T::Memo), Variable("Connect", T::Memo),
        Variable("ForeignName", T::Text), Variable("RmtInfoShort", T::Binary),
        Variable("RmtInfoLong", T::Ole), Variable("Lv", T::Ole), Variable("LvProp", T::Ole),
        Variable("LvModule", T::Ole), Variable("LvExtra", T::Ole)},
       {Index("Id", {0}, 0x81, 1), Index("ParentIdName", {1, 2}, 0x81)}},
      {QStringLiteral("MSysACEs"),
       {Fixed("ObjectId", T::Long), Variable("SID", T::Binary, kSystemSid), Fixed("ACM", T::Long),
        Fixed("FInheritable", T::Boolean)},
       {Index("ObjectId", {0}, 0x88)}},
      {QStringLiteral("MSysQueries"),
       {Fixed("ObjectId", T::Long), Fixed("Attribute", T::Byte), Variable("Order", T::Binary),
        Variable("Name1", T::Text), Variable("Name2", T::Text), Variable("Expression", T::Memo),
        Fixed("Flag", T::Integer), Fixed("LvExtra", T::Long)},
       {Index("ObjectIdAttribute", {0, 1, 2}, 0x81)}},
      {QStringLiteral("MSysRelationships"),
       {Variable("szRelationship", T::Text), Fixed("grbit", T::Long), Fixed("ccolumn", T::Long),
        Fixed("icolumn", T::Long), Variable("szObject", T::Text), Variable("szColumn", T::Text),
        Variable("szReferencedObject", T::Text), Variable("szReferencedColumn", T::Text)},
       {Index("szObject", {4}, 0x82), Index("szReferencedObject", {6}, 0x82),
        Index("szRelationship", {0}, 0x82)}},
  };
}

std::vector<std::vector<Value>> CatalogRows(const std::vector<UserTableEntry>& userTables,
                                            double created) {
  std::vector<std::vector<Value>> rows = {
      CatalogRow(kTablesContainer, kRootParent, QStringLiteral("Tables"), kObjectContainer,
                 kSystemOwnerSid, kSystemObjectFlags, created),
      CatalogRow(kDatabasesContainer, kRootParent, QStringLiteral("Databases"), kObjectContainer,
                 kSystemOwnerSid, kSystemObjectFlags, created),
      CatalogRow(kRelationshipsContainer, kRootParent, QStringLiteral("Relationships"),
                 kObjectContainer, kSystemOwnerSid, kSystemObjectFlags, created),
      CatalogRow(kDatabaseObject, kDatabasesContainer, QStringLiteral("MSysDb"), kObjectDatabase,
                 kAdminSid, kSystemObjectFlags, created),
  };
  const std::vector<SystemTable> system = SystemTables();
  for (int i = 0; i < kSystemTableCount; ++i)
    rows.push_back(CatalogRow(static_cast<std::int32_t>(kFirstSystemTdefPage) + i, kTablesContainer,
                              system[i].name, kObjectTable, kSystemOwnerSid, kSystemObjectFlags,
                              created));
  for (const UserTableEntry& table : userTables)
    rows.push_back(CatalogRow(table.tdefPage, kTablesContainer, table.name, kObjectTable, kAdminSid,
                              0, created));
  return rows;
}

std::vector<std::vector<Value>> AceRows(const std::vector<UserTableEntry>& userTables) {
  std::vector<Ace> aces = {
      {kTablesContainer, &kUsersSid, 983294, true},
      {kTablesContainer, &kEngineSid, 1048319, true},
      {kTablesContainer, &kAdminsSid, 1048319, true},
      {kTablesContainer, &kAdminSid, 1048319, true},
      {kDatabasesContainer, &kAdminSid, 393216, false},
      {kRelationshipsContainer, &kUsersSid, 983294, true},
      {kRelationshipsContainer, &kEngineSid, 1048575, true},
      {kRelationshipsContainer, &kAdminSid, 393217, false},
      {kRelationshipsContainer, &kAdminsSid, 1048575, true},
      {kDatabaseObject, &kEngineSid, 14, false},
      {kDatabaseObject, &kAdminSid, 393230, false},
      {kDatabaseObject, &kAdminsSid, 393230, false},
      {2, &kAdminSid, 393216, false},
      {2, &kAdminsSid, 393300, false},
      {2, &kEngineSid, 20, false},
      {3, &kAdminSid, 393216, false},
      {3, &kAdminsSid, 393300, false},
      {4, &kAdminSid, 393216, false},
      {4, &kAdminsSid, 393236, false},
      {4, &kEngineSid, 20, false},
      {5, &kAdminSid, 917504, false},
      {5, &kAdminsSid, 393236, false},
      {5, &kEngineSid, 20, false},
  };
  constexpr std::int64_t kFullRights = 1048575;
  for (const UserTableEntry& table : userTables)
    for (const QByteArray* sid : {&kUsersSid, &kEngineSid, &kAdminsSid, &kAdminSid})
      aces.push_back({table.tdefPage, sid, kFullRights, false});
  std::vector<std::vector<Value>> rows;
  rows.reserve(aces.size());
  for (const Ace& ace : aces)
    rows.push_back({std::int64_t{ace.object}, *ace.sid, ace.rights, ace.inheritable});
  return rows;
}

}  // namespace orbo::jet4
