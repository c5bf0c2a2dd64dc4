#include "cli/cli_commands.h"

#include <QFile>
#include <QFileInfo>
#include <map>
#include <optional>

#include "cli/json_image.h"
#include "query/access/tables/access_export.h"
#include "query/access/tables/record_import.h"
#include "query/csv/csv_export.h"
#include "query/csv/csv_source.h"
#include "query/print/pages/page_renderer.h"
#include "query/print/pages/print_job.h"
#include "query/print/pages/print_sets.h"
#include "storage/backups.h"
#include "storage/code_page_detection.h"
#include "storage/data_path.h"
#include "storage/database_file.h"
#include "storage/model_invariants.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

QString Usage();

// A failure of the command: the one line the user sees.
struct CliError {
  QString message;
};

struct Arguments {
  QStringList files;
  std::map<QString, QString> options;

  std::optional<QString> Option(const QString& name) const {
    const auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
  }
};

// Splits files from "--name value" and "--name=value" options, and from the
// flags "--name" that take no value.
Arguments Parse(const QStringList& args, const QStringList& allowed, int fileCount,
                const QStringList& flags = {}) {
  Arguments parsed;
  for (int i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (!arg.startsWith(QLatin1String("--"))) {
      parsed.files << arg;
      continue;
    }
    const qsizetype equals = arg.indexOf(QLatin1Char('='));
    const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
    if (flags.contains(name)) {
      if (equals >= 0)
        throw CliError{QStringLiteral("--%1 takes no value; give --%1 alone").arg(name)};
      parsed.options[name] = QString();
      continue;
    }
    if (!allowed.contains(name)) throw CliError{QStringLiteral("unknown option --%1").arg(name)};
    if (equals >= 0) {
      parsed.options[name] = arg.mid(equals + 1);
    } else if (i + 1 < args.size()) {
      parsed.options[name] = args[++i];
    } else {
      throw CliError{QStringLiteral("--%1 needs a value").arg(name)};
    }
  }
  if (parsed.files.size() != fileCount) throw CliError{Usage()};
  return parsed;
}

CodePage CodePageOf(const Arguments& args) {
  return CodePage(
      args.Option(QStringLiteral("codepage")).value_or(QString::fromLatin1(kDefaultCodePage)));
}

// Without --codepage, the texts are read in the known code page they read best in.
QStringList DetectAmong(const Arguments& args) {
  return args.Option(QStringLiteral("codepage")) ? QStringList() : KnownCodePages();
}

// A file that needed repairs is read as the program would show it; what
// was mended goes to standard error.
ReadOutcome Read(const QString& path, const Arguments& args, CodePage& codePage, std::FILE* err) {
  const QString password = args.Option(QStringLiteral("password")).value_or(QString());
  ReadOutcome read = ReadDatabaseFile(path, codePage, password, {}, {}, DetectAmong(args));
  if (read.status == ReadOutcome::kFailed) {
    QString message = QStringLiteral("%1: %2").arg(path, read.error);
    if (read.passwordTried) message += QStringLiteral(" (wrong password?)");
    throw CliError{message};
  }
  for (const QString& repair : read.repairs.Describe()) {
    std::fprintf(err, "orbo-cli: %s: repaired: %s\n", qPrintable(path), qPrintable(repair));
  }
  return read;
}

// Like Read, but a protected file without its password is a failure.
Database ReadWhole(const QString& path, const Arguments& args, std::FILE* err) {
  CodePage codePage = CodePageOf(args);
  ReadOutcome read = Read(path, args, codePage, err);
  if (read.status == ReadOutcome::kNeedsPassword) {
    throw CliError{
        QStringLiteral("%1: the file is protected; give its password with --password").arg(path)};
  }
  return std::move(read.db);
}

// A number option naming an entry below count, or fallback without it.
int IndexOption(const Arguments& args, const char* name, int fallback, int count,
                const QString& path, const char* what) {
  const std::optional<QString> given = args.Option(QString::fromLatin1(name));
  if (!given) return fallback;
  bool number = false;
  const int index = given->toInt(&number);
  if (!number || index < 0 || index >= count)
    throw CliError{QStringLiteral("%1: there is no %2 %3").arg(path, QLatin1String(what), *given)};
  return index;
}

// One of words, the first without the option.
QString WordOption(const Arguments& args, const char* name, const QStringList& words) {
  const QString given = args.Option(QString::fromLatin1(name)).value_or(words.front());
  if (!words.contains(given)) {
    throw CliError{QStringLiteral("--%1 %2: give %3")
                       .arg(QLatin1String(name), given, words.join(QStringLiteral(" or ")))};
  }
  return given;
}

// --delimiter comma|semicolon|tab, or fallback without it.
QChar DelimiterOption(const Arguments& args, QChar fallback) {
  const std::optional<QString> given = args.Option(QStringLiteral("delimiter"));
  if (!given) return fallback;
  const std::map<QString, QChar> delimiters{{"comma", u','}, {"semicolon", u';'}, {"tab", u'\t'}};
  const auto found = delimiters.find(*given);
  if (found == delimiters.end())
    throw CliError{QStringLiteral("--delimiter %1: give comma, semicolon or tab").arg(*given)};
  return found->second;
}

// --folder N and --subfolders: every folder when no folder is given.
ExportScope ScopeOf(const Arguments& args, const Database& db, const QString& path) {
  ExportScope scope;
  scope.subfolders = args.Option(QStringLiteral("subfolders")).has_value();
  scope.folder = IndexOption(args, "folder", -1, db.FolderCount, path, "folder");
  if (scope.subfolders && scope.folder < 0)
    throw CliError{QStringLiteral("--subfolders needs --folder N")};
  return scope;
}

// The image field a broken rule is about.
QString ImageField(const ModelProblem& problem) {
  const QString i = QString::number(problem.index);
  switch (problem.kind) {
    case ModelProblem::kRecordForm:
      return QStringLiteral("Records[%1].Form").arg(i);
    case ModelProblem::kRecordFolder:
      return QStringLiteral("Records[%1].Folder").arg(i);
    case ModelProblem::kFolderParent:
    case ModelProblem::kFolderLoop:
      return QStringLiteral("Folders[%1].Parent").arg(i);
    case ModelProblem::kElementCount:
      return QStringLiteral("Forms[%1].ElementCount[%2]").arg(i).arg(problem.type);
    case ModelProblem::kTitleElement:
      return QStringLiteral("Forms[%1].TitleElement").arg(i);
    default:
      return QStringLiteral("(database)");
  }
}

void Write(std::FILE* out, const char* bytes, std::size_t size) {
  if (std::fwrite(bytes, 1, size, out) != size) {
    throw CliError{QStringLiteral("the output cannot be written")};
  }
}

void Flush(std::FILE* out) {
  if (std::fflush(out) != 0) throw CliError{QStringLiteral("the output cannot be written")};
}

void Print(std::FILE* out, const QByteArray& bytes) {
  Write(out, bytes.constData(), static_cast<std::size_t>(bytes.size()));
  Flush(out);
}

// A script is not stopped by a question, but whoever reads its errors
// learns that what was written holds the records in the clear.
void TellUnencrypted(const Database& db, const QString& path, const QString& output,
                     std::FILE* err) {
  if (!IsEncrypted(db)) return;
  std::fprintf(err,
               "orbo-cli: %s is encrypted, but what was written to %s is not: anyone who can "
               "read it can read the records\n",
               qPrintable(path), qPrintable(output));
}

void Dump(const Arguments& args, std::FILE* out, std::FILE* err) {
  const Database db = ReadWhole(args.files[0], args, err);
  WriteDatabaseImage(db, [out](const std::string& text) { Write(out, text.data(), text.size()); });
  Flush(out);
  TellUnencrypted(db, args.files[0], QStringLiteral("standard output"), err);
}

Image ParseImage(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw CliError{QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString())};
  }
  const QByteArray text = file.readAll();
  try {
    return Image::parse(text.constBegin(), text.constEnd());
  } catch (const nlohmann::json::parse_error& e) {
    throw CliError{QStringLiteral("%1: not JSON: %2").arg(path, QString::fromUtf8(e.what()))};
  }
}

void Build(const Arguments& args, std::FILE*, std::FILE* err) {
  CodePage codePage = CodePageOf(args);
  const QString& imagePath = args.files[0];
  const QString& outPath = args.files[1];
  Database db;
  try {
    db = DatabaseFromImage(ParseImage(imagePath), codePage);
  } catch (const ImageError& e) {
    throw CliError{QStringLiteral("%1: %2").arg(imagePath, QString::fromStdString(e.what()))};
  }
  if (args.Option(QStringLiteral("encrypt"))) {
    if (!db.PasswordOn) {
      throw CliError{QStringLiteral("%1: --encrypt needs \"PasswordOn\": true and a \"Password\"")
                         .arg(imagePath)};
    }
    db.Encrypted = true;
  }
  // The file would not open again.
  const std::vector<ModelProblem> problems = FindModelProblems(db, 1);
  if (!problems.empty()) {
    throw CliError{
        QStringLiteral("%1: %2: %3")
            .arg(imagePath, ImageField(problems.front()), DescribeProblem(problems.front()))};
  }
  const WriteOutcome written = WriteDatabaseFile(db, outPath, codePage);
  if (!written.ok) throw CliError{QStringLiteral("%1: %2").arg(outPath, written.error)};
  if (written.inPlace) {
    std::fprintf(
        err,
        "orbo-cli: %s: written in place, since its folder takes no new file: no temporary kept "
        "the old file whole meanwhile\n",
        qPrintable(outPath));
  }
}

// The versions saves replaced, newest first: when each was saved, its
// counts, its path.
void Backups(const Arguments& args, std::FILE* out, std::FILE*) {
  const QString password = args.Option(QStringLiteral("password")).value_or(QString());
  QString text;
  for (const Backup& backup : ListBackups(args.files[0])) {
    CodePage codePage = CodePageOf(args);
    const ReadOutcome read =
        ReadDatabaseFile(backup.path, codePage, password, {}, {}, DetectAmong(args));
    QString what;
    if (read.status == ReadOutcome::kLoaded) {
      what = QStringLiteral("%1 records, %2 folders")
                 .arg(read.db.RecordCount - read.db.BufferCount)
                 .arg(read.db.FolderCount);
    } else if (read.status == ReadOutcome::kNeedsPassword) {
      what = QStringLiteral("protected: give its password with --password");
    } else {
      what = QStringLiteral("unreadable: ") + read.error;
    }
    text +=
        QStringLiteral("%1  %2  %3\n")
            .arg(backup.saved.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), what, backup.path);
  }
  if (text.isEmpty()) text = QStringLiteral("no backups of %1\n").arg(args.files[0]);
  Print(out, text.toUtf8());
}

void Info(const Arguments& args, std::FILE* out, std::FILE* err) {
  CodePage codePage = CodePageOf(args);
  const QString& path = args.files[0];
  const ReadOutcome read = Read(path, args, codePage, err);
  const bool encrypted = read.encrypted;
  const bool locked = encrypted || read.header == kHeaderPassword;
  const QString protection = encrypted ? QStringLiteral("encrypted with the password")
                             : locked ? QStringLiteral("scrambled with the password, not encrypted")
                                      : QStringLiteral("none");
  QString text = QStringLiteral("File: %1\nHeader: %2\nPassword: %3\n")
                     .arg(QFileInfo(path).fileName())
                     .arg(encrypted ? QStringLiteral("encrypted") : QString::number(read.header))
                     .arg(locked ? QStringLiteral("needed") : QStringLiteral("not needed"));
  if (read.status == ReadOutcome::kLoaded) {
    const Database& db = read.db;
    text += QStringLiteral("Forms: %1\nRecords: %2 (%3 free slots)\nFolders: %4\n")
                .arg(db.FormCount)
                .arg(db.RecordCount)
                .arg(db.BufferCount)
                .arg(db.FolderCount);
  } else {
    text += QStringLiteral("Counts: give the password with --password to read them\n");
  }
  text += QStringLiteral("Protection: %1\n").arg(protection);
  const bool loaded = read.status == ReadOutcome::kLoaded;
  text += QStringLiteral("Code page: %1 (%2)\n")
              .arg(loaded ? read.db.CodePageName : codePage.Name(),
                   args.Option(QStringLiteral("codepage")) ? QStringLiteral("given")
                   : loaded ? QStringLiteral("detected from the texts")
                            : QStringLiteral("the default: the texts are locked"));
  Print(out, text.toUtf8());
}

// The records of the database, or of a folder (and those below it), one
// per page, as the print dialog prints all records or a folder's.
void PrintPdf(const Arguments& args, std::FILE*, std::FILE* err) {
  const std::optional<QString> pdf = args.Option(QStringLiteral("pdf"));
  if (!pdf || pdf->isEmpty()) throw CliError{QStringLiteral("print needs --pdf OUT.pdf")};
  const QString& path = args.files[0];
  if (IsDatabaseFile(*pdf, path))
    throw CliError{QStringLiteral("%1: is the database file itself").arg(*pdf)};
  const Database db = ReadWhole(path, args, err);
  const ExportScope scope = ScopeOf(args, db, path);
  const std::vector<int> order = scope.folder < 0
                                     ? PrintList(db, kAllRecordsSet, -1, 0)
                                     : FolderPrintList(db, scope.folder, scope.subfolders);
  if (order.empty()) throw CliError{QStringLiteral("%1: there are no records to print").arg(path)};
  QString error;
  if (WritePdf(*pdf, DefaultPdfLayout(), PageRenderer(db), order, error) != JobEnd::kDone) {
    throw CliError{QStringLiteral("%1: cannot be written: %2").arg(*pdf, error)};
  }
  TellUnencrypted(db, path, *pdf, err);
}

// The tables the export dialog writes: every folder, or folder N (and the
// folders below it with --subfolders).
void ExportMdb(const Arguments& args, std::FILE*, std::FILE* err) {
  const QString& path = args.files[0];
  const QString& outPath = args.files[1];
  if (IsDatabaseFile(outPath, path))
    throw CliError{QStringLiteral("%1: is the database file itself").arg(outPath)};
  const Database db = ReadWhole(path, args, err);
  const ExportScope scope = ScopeOf(args, db, path);
  std::unique_ptr<AccessTarget> target = MakeAccessEngine()->CreateDatabase(outPath);
  ExportToAccess(db, scope, *target, [](int) {});
  jet4::Error error;
  if (!target->Close(&error)) throw CliError{QStringLiteral("%1: %2").arg(outPath, error.text)};
  TellUnencrypted(db, path, outPath, err);
}

CsvOptions CsvOptionsOf(const Arguments& args, const Database& db, const QString& path) {
  CsvOptions options;
  options.delimiter = DelimiterOption(args, u',');
  options.flagWords = WordOption(args, "flags", {"numbers", "words"}) == u"words";
  options.quoteFormulas = WordOption(args, "formulas", {"quote", "keep"}) == u"quote";
  options.byteOrderMark = !args.Option(QStringLiteral("no-bom")).has_value();
  options.form = IndexOption(args, "form", -1, db.FormCount, path, "form");
  return options;
}

// The files the CSV export writes into a folder, one per form; their paths
// go to standard output.
void ExportCsv(const Arguments& args, std::FILE* out, std::FILE* err) {
  const QString& path = args.files[0];
  const QString& folder = args.files[1];
  if (!QFileInfo(folder).isDir()) throw CliError{QStringLiteral("%1: is not a folder").arg(folder)};
  const Database db = ReadWhole(path, args, err);
  const ExportScope scope = ScopeOf(args, db, path);
  const CsvWritten written =
      WriteCsvFiles(folder, ExportToCsv(db, scope, CsvOptionsOf(args, db, path)));
  if (!written.error.isEmpty()) throw CliError{written.error};
  TellUnencrypted(db, path, folder, err);
  for (const QString& file : written.paths)
    std::fprintf(out, "%s\n", file.toLocal8Bit().constData());
}

// Never over the database read unless the user named it twice, the same way.
void CheckImportTarget(const QString& path, const QString& outPath) {
  if (outPath != path && IsDatabaseFile(outPath, path)) {
    throw CliError{
        QStringLiteral("%1: is %2 under another name; give the same path twice to change it")
            .arg(outPath, path)};
  }
}

// Imports a table of source as the import dialog does and writes the result.
void ImportTable(const Arguments& args, Database& db, AccessSource& source, int table,
                 std::FILE* out, std::FILE* err) {
  const QString& path = args.files[0];
  const QString& tablePath = args.files[1];
  const QString& outPath = args.files[2];
  QStringList columns;
  std::vector<QStringList> rows;
  const int capacity = ImportCapacity(db);
  switch (ReadTableRows(source, table, capacity, &columns, &rows)) {
    case TableRows::kRead:
      break;
    case TableRows::kTooMany:
      throw CliError{
          QStringLiteral("%1: has more rows than the %2 records the database can still take")
              .arg(tablePath)
              .arg(capacity)};
    case TableRows::kCannotOpen:
      throw CliError{QStringLiteral("%1: the table cannot be read").arg(tablePath)};
    case TableRows::kDamaged:
      throw CliError{QStringLiteral("%1: the table is damaged").arg(tablePath)};
  }
  ImportPlan plan;
  plan.form = IndexOption(args, "form", 0, db.FormCount, path, "form");
  plan.folder = IndexOption(args, "folder", 0, db.FolderCount, path, "folder");
  const FormDef& form = db.Forms[static_cast<size_t>(plan.form)];
  plan.map = WordOption(args, "map", {"name", "order"}) == u"name" ? MapByName(columns, form)
                                                                   : MapInOrder(columns, form);
  if (plan.map.Empty())
    throw CliError{
        QStringLiteral("%1: no column goes into a field of form %2").arg(tablePath).arg(plan.form)};
  if (args.Option(QStringLiteral("folders-from-file"))) {
    plan.folderColumn = FolderColumn(columns);
    if (plan.folderColumn < 0)
      throw CliError{QStringLiteral("%1: has no column \"%2\" naming folders")
                         .arg(tablePath, QLatin1String(kExportFolderColumn))};
  }
  const ImportLayout layout = LayOutImport(db, plan, rows);
  const ImportTally tally = RunImport(db, plan, layout, rows);
  CodePage codePage(db.CodePageName);
  SaveOptions options;
  // Changing the file read keeps the version replaced, as a save does.
  if (outPath == path) options.keepBackups = kDefaultBackups;
  const WriteOutcome written = WriteDatabaseFile(db, outPath, codePage, options);
  if (!written.ok) throw CliError{QStringLiteral("%1: %2").arg(outPath, written.error)};
  const std::pair<int, const char*> told[] = {
      {tally.cut, "values were longer than their fields and were cut"},
      {tally.unknownChoices, "values named no line of their combo's list: no choice"},
      {tally.unknownFlags, "values were no flag's word: the flag is off"},
      {tally.unplaced, "records stay in a folder above theirs: no room for more folders"},
  };
  for (const auto& [n, what] : told) {
    if (n > 0) std::fprintf(err, "orbo-cli: %s: %d %s\n", qPrintable(tablePath), n, what);
  }
  std::fprintf(out, "%d records imported, %d folders made\n", static_cast<int>(rows.size()),
               static_cast<int>(layout.newFolders.size()));
}

// Why a CSV file gives no table, on one line.
QString CsvProblemLine(const CsvProblem& problem, const QString& path) {
  const QString at = QStringLiteral("row %1, column %2").arg(problem.row).arg(problem.column);
  switch (problem.kind) {
    case CsvProblem::kCannotOpen:
    case CsvProblem::kCannotRead:
      return QStringLiteral("%1: cannot be read: %2").arg(path, problem.detail);
    case CsvProblem::kTooLarge:
      return QStringLiteral("%1: is larger than 1 GB, more than the import reads").arg(path);
    case CsvProblem::kNulBytes:
      return QStringLiteral(
                 "%1: holds NUL bytes; give --encoding UTF-16LE or UTF-16BE if it is UTF-16")
          .arg(path);
    case CsvProblem::kQuoteOutOfPlace:
      return QStringLiteral("%1: a quote inside an unquoted field at %2").arg(path, at);
    case CsvProblem::kQuoteNotClosed:
      return QStringLiteral("%1: the quoted field at %2 is not closed").arg(path, at);
    case CsvProblem::kFieldTooLong:
      return QStringLiteral("%1: the field at %2 is longer than %3 MB")
          .arg(path, at)
          .arg(kMaxCsvFieldBytes / (1024 * 1024));
    case CsvProblem::kCodePage:
      return QStringLiteral("%1: the code page cannot read it: %2").arg(path, problem.detail);
    case CsvProblem::kNone:
      break;
  }
  return QStringLiteral("%1: cannot be read").arg(path);
}

// The CSV file read as the import dialog reads it, or as the options say.
void ImportCsv(const Arguments& args, std::FILE* out, std::FILE* err) {
  const QString& csvPath = args.files[1];
  CheckImportTarget(args.files[0], args.files[2]);
  TextReading choice;
  choice.encoding = args.Option(QStringLiteral("encoding")).value_or(QString());
  if (!choice.encoding.isEmpty() && !CsvEncodings().contains(choice.encoding)) {
    throw CliError{QStringLiteral("--encoding %1: give one of %2")
                       .arg(choice.encoding, CsvEncodings().join(QStringLiteral(", ")))};
  }
  choice.delimiter = DelimiterOption(args, QChar());
  Database db = ReadWhole(args.files[0], args, err);
  const CsvProblemWords words = CsvProblemLine;
  CsvProblem problem;
  // A file in no Unicode form is read in the database's code page, as the dialog reads it.
  std::unique_ptr<AccessSource> source = OpenCsvSource(csvPath, db.CodePageName, words, &problem);
  if (!source) throw CliError{words(problem, csvPath)};
  const bool chosen = !choice.encoding.isEmpty() || !choice.delimiter.isNull();
  const QString why = chosen ? source->ReadAs(choice) : source->Problem();
  if (!why.isEmpty()) throw CliError{why};
  ImportTable(args, db, *source, 0, out, err);
}

// The table of an Access file named by --table.
void ImportMdb(const Arguments& args, std::FILE* out, std::FILE* err) {
  const QString& mdbPath = args.files[1];
  CheckImportTarget(args.files[0], args.files[2]);
  const std::optional<QString> table = args.Option(QStringLiteral("table"));
  if (!table) throw CliError{QStringLiteral("import-mdb needs --table NAME")};
  const std::unique_ptr<AccessEngine> engine = MakeAccessEngine();
  std::unique_ptr<AccessSource> source = engine->OpenDatabase(mdbPath);
  if (!source)
    throw CliError{QStringLiteral("%1: is no MS Access file that can be read").arg(mdbPath)};
  const qsizetype index = source->TableNames().indexOf(*table);
  if (index < 0) {
    throw CliError{QStringLiteral("%1: has no table %2; its tables: %3")
                       .arg(mdbPath, *table, source->TableNames().join(QStringLiteral(", ")))};
  }
  Database db = ReadWhole(args.files[0], args, err);
  ImportTable(args, db, *source, static_cast<int>(index), out, err);
}

int Fail(std::FILE* err, QString line) {
  line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
  std::fprintf(err, "orbo-cli: %s\n", line.toLocal8Bit().constData());
  return 1;
}

// An option as the help lists it: how it is given and what it does.
struct Option {
  const char* name;
  const char* usage;
  const char* meaning;
};

const Option kOptions[] = {
    {"password", "--password PW", "the password of a protected database"},
    {"codepage", "--codepage NAME",
     "the code page of the texts (default: detected; build: windows-1252)"},
    {"encrypt", "--encrypt", "encrypts OUT.2db with the image's password"},
    {"pdf", "--pdf OUT.pdf", "the PDF file print writes"},
    {"folder", "--folder N",
     "folder N (counted from 0): whose records go out, or where new ones go"},
    {"subfolders", "--subfolders", "with --folder, the folders below it too"},
    {"form", "--form N", "only the records of form N (counted from 0)"},
    {"delimiter", "--delimiter WHICH",
     "comma, semicolon or tab between columns (export: comma; import: found)"},
    {"flags", "--flags HOW", "flags as numbers 1/0 (the default) or as words true/false"},
    {"no-bom", "--no-bom", "no byte-order mark at the start of each file"},
    {"formulas", "--formulas HOW",
     "quote (the default): values a spreadsheet would run get a leading '; keep: as they are"},
    {"map", "--map HOW",
     "name (the default): columns into the fields they name; order: into the fields in turn"},
    {"folders-from-file", "--folders-from-file",
     "each record into the folder its \"Root\" column names, made where missing"},
    {"encoding", "--encoding NAME",
     "UTF-8, UTF-16LE, UTF-16BE or a code page (default: found from the file)"},
    {"table", "--table NAME", "the table of the MS Access file to import"},
};

QStringList Names(const char* names) {
  return QString::fromLatin1(names).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// A command takes its files and the options it names, nothing else: the
// parser and the help read the same lists.
struct Command {
  const char* name;
  const char* synopsis;
  const char* description;
  int files;
  const char* options;  // names that take a value, separated by spaces
  const char* flags;    // names given alone
  void (*run)(const Arguments& args, std::FILE* out, std::FILE* err);
};

const Command kCommands[] = {
    {"dump", "dump FILE.2db [--password PW] [--codepage NAME]",
     "Writes the database as its JSON image to standard output, in file order.", 1,
     "password codepage", "", Dump},
    {"build", "build IMAGE.json OUT.2db [--codepage NAME] [--encrypt]",
     "Writes the database a JSON image describes. OUT.2db is replaced whole or not at all;\n"
     "an image that would not load again is refused, naming its field, and so is a\n"
     "write-protected OUT.2db, or one another program saves or changes meanwhile. With\n"
     "--encrypt the file is encrypted with the image's password (see \"Password\").",
     2, "codepage", "encrypt", Build},
    {"info", "info FILE.2db [--password PW] [--codepage NAME]",
     "Prints the file's header, whether it needs a password, how it is protected (none,\n"
     "scrambled with the password, or encrypted with it), its counts and the code page its\n"
     "texts were read in.",
     1, "password codepage", "", Info},
    {"backups", "backups FILE.2db [--password PW] [--codepage NAME]",
     "Lists the backups the program kept of the file when saves replaced it (in\n"
     "FILE.2db.backups), newest first: when each version was saved, its counts, its path.\n"
     "Each is a whole database file that the other commands read like any other.",
     1, "password codepage", "", Backups},
    {"print",
     "print FILE.2db --pdf OUT.pdf [--password PW] [--codepage NAME] [--folder N] [--subfolders]",
     "Prints the records, one per page, into a PDF file: all of them, or those of folder N\n"
     "(and of the folders below it with --subfolders). OUT.pdf is written whole or not at all.",
     1, "password codepage pdf folder", "subfolders", PrintPdf},
    {"export-mdb",
     "export-mdb FILE.2db OUT.mdb [--password PW] [--codepage NAME] [--folder N] [--subfolders]",
     "Writes the records as MS Access tables, one per form, as the export dialog does: all of\n"
     "them, or those of folder N (and of the folders below it with --subfolders). OUT.mdb is\n"
     "written whole or not at all.",
     2, "password codepage folder", "subfolders", ExportMdb},
    {"export-csv",
     "export-csv FILE.2db FOLDER [--password PW] [--codepage NAME] [--folder N] [--subfolders] "
     "[--form N] [--delimiter comma|semicolon|tab] [--flags numbers|words] [--no-bom] "
     "[--formulas quote|keep]",
     "Writes the records as CSV files into FOLDER, one per form named after it, with the\n"
     "columns of the Access export, the folder path first; UTF-8 with a byte-order mark\n"
     "unless --no-bom, flags as 1/0 or (--flags words) true/false. A value a spreadsheet\n"
     "would take for a formula gets a leading ' unless --formulas keep; the import takes it\n"
     "away again. The files are written only once all of them could be; their paths are\n"
     "printed.",
     2, "password codepage folder form delimiter flags formulas", "subfolders no-bom", ExportCsv},
    {"import-csv",
     "import-csv FILE.2db CSV_FILE OUT.2db [--password PW] [--codepage NAME] [--form N] "
     "[--folder N] [--map name|order] [--folders-from-file] [--encoding NAME] "
     "[--delimiter comma|semicolon|tab]",
     "Adds a record of form N (default 0) in folder N (default 0) for every row of the CSV\n"
     "file, as the import dialog does, the first row naming the columns, and writes the\n"
     "result to OUT.2db. With --folders-from-file each record goes into the folder its\n"
     "\"Root\" column names, made where missing: read from the top of the tree when folder N\n"
     "is a top-level folder, else from folder N. FILE.2db itself is changed only when given\n"
     "twice, and then keeps a backup as a save does.",
     3, "password codepage form folder map encoding delimiter", "folders-from-file", ImportCsv},
    {"import-mdb",
     "import-mdb FILE.2db ACCESS_FILE OUT.2db --table NAME [--password PW] [--codepage NAME] "
     "[--form N] [--folder N] [--map name|order] [--folders-from-file]",
     "Adds a record for every row of the table NAME of the MS Access file, as import-csv\n"
     "does for a CSV file.",
     3, "password codepage table form folder map", "folders-from-file", ImportMdb},
};

QString Usage() {
  QStringList synopses;
  for (const Command& command : kCommands) synopses << QString::fromLatin1(command.synopsis);
  return QStringLiteral("usage: orbo-cli ") + synopses.join(QStringLiteral(" | "));
}

QString OptionLine(const char* usage, const char* meaning) {
  return QStringLiteral("  %1 %2\n")
      .arg(QString::fromLatin1(usage).leftJustified(17), QString::fromLatin1(meaning));
}

// Every command and option, or one command and the options it takes.
void PrintHelp(std::FILE* out, const Command* only) {
  QString text;
  QStringList taken;
  for (const Command& command : kCommands) {
    if (only && only != &command) continue;
    text += QStringLiteral("orbo-cli %1\n  %2\n\n")
                .arg(QLatin1String(command.synopsis),
                     QString::fromLatin1(command.description)
                         .replace(QLatin1Char('\n'), QStringLiteral("\n  ")));
    taken << Names(command.options) << Names(command.flags);
  }
  for (const Option& option : kOptions) {
    if (taken.contains(QLatin1String(option.name)))
      text += OptionLine(option.usage, option.meaning);
  }
  if (!only) {
    text += OptionLine("--help", "this text; COMMAND --help, one command's");
    text += OptionLine("--version", "the version");
  }
  Print(out, text.toUtf8());
}

}  // namespace

bool CliDrawsPages(const QStringList& args) { return args.value(0) == QLatin1String("print"); }

int RunCli(const QStringList& args, std::FILE* out, std::FILE* err) {
  try {
    const QString name = args.value(0);
    const QStringList rest = args.mid(1);
    if (name == QLatin1String("--help")) {
      PrintHelp(out, nullptr);
      return 0;
    }
    if (name == QLatin1String("--version")) {
      Print(out, QByteArrayLiteral("orbo-cli " ORBO_VERSION "\n"));
      return 0;
    }
    for (const Command& command : kCommands) {
      if (name != QLatin1String(command.name)) continue;
      if (rest.contains(QStringLiteral("--help"))) {
        PrintHelp(out, &command);
      } else {
        command.run(Parse(rest, Names(command.options), command.files, Names(command.flags)), out,
                    err);
      }
      return 0;
    }
    throw CliError{Usage()};
  } catch (const CliError& e) {
    return Fail(err, e.message);
  } catch (const StorageError& e) {
    return Fail(err, e.Message());
  } catch (const std::exception& e) {
    return Fail(err, QString::fromLocal8Bit(e.what()));
  }
}

}  // namespace orbo
