// Databases the storage and command-line tests build and compare.
#pragma once

#include <QTemporaryDir>

#include "storage/database_file.h"
#include "storage/database_model.h"
#include "storage/stored_content.h"

namespace orbo::test {

FontSpec Arial(std::int16_t size = 10);

// One form whose free slot of each type holds values, a record, a free
// record slot and a folder; its bytes are spelled out in tst_database_file.
Database TinyDatabase();

// The database a new run starts with: a form with a title text, a
// multiline text and a label; one record; one folder.
Database ExampleDatabase();
// The example database with its first folder named "Version n", to tell
// saved versions apart.
Database Numbered(int n);

// The example's form in four folders: 1 and 2 under 0, 3 at the top;
// records 0, 1 and 3 ("R0", "R1", "R3") in folder 1, record 2 in folder 2.
Database FourFolders();

// A form with 16 elements of every type and records using them all, in a
// small folder tree; some names outside ASCII.
Database FullFormDatabase();

// Live records and free slots (folder -100) mixed.
Database FreeSlotDatabase();

// Enough text to cross the stream's 500000-byte chunk several times,
// including a value of the longest length a file holds.
Database LargeDatabase();

// Forms with random elements of every kind, a tree of folders with unique
// names among siblings, and records full of values a CSV file and a
// spreadsheet make hard: delimiters, quotes, line breaks, leading formula
// characters, blanks at either end, flag words, letters of windows-1252.
// Folder 0 is a top-level folder, and every folder holds a record.
Database RandomEveryKindDatabase(quint32 seed, int records);

// The forms of db and its folder 0, without records.
Database WithoutRecords(const Database& db);

// Each live record as one line: its folder's path, its form and the values
// of the form's elements; sorted, for comparing databases whose records were
// filed in another order.
QStringList FiledRecords(const Database& db);

// db protected with password.
Database Locked(Database db, const QString& password);

// A save that keeps keep backups and writes in place, as in a folder that
// takes no new file.
SaveOptions InPlaceSave(int keep);

// A temporary folder for the database files a test writes.
class SampleFiles {
 public:
  bool IsValid() const { return dir_.isValid(); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  // Writes db under name (Windows-1252) and returns its path.
  QString Saved(const Database& db, const QString& name) const;

 private:
  QTemporaryDir dir_;
};

}  // namespace orbo::test
