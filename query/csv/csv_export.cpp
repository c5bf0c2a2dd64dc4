#include "query/csv/csv_export.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <memory>

#include "query/csv/formula_quote.h"
#include "storage/element_values.h"
#include "storage/find_logic.h"
#include "storage/navigation_logic.h"

namespace orbo {
namespace {

// Characters no file name may hold on one system or another.
QString FileNameOf(const QString& formName, int form, QSet<QString>& taken) {
  QString base;
  for (QChar c : formName) {
    const bool unsafe = c.unicode() < 0x20 || QStringLiteral("<>:\"/\\|?*").contains(c);
    base += unsafe ? QChar(u'_') : c;
  }
  base = base.trimmed();
  // A name of dots alone would name the folder or its parent.
  if (base.isEmpty() || base.count(u'.') == base.size())
    base = QStringLiteral("Form %1").arg(form + 1);
  QString name = base + QStringLiteral(".csv");
  for (int n = 2; taken.contains(name.toLower()); ++n)
    name = QStringLiteral("%1 (%2).csv").arg(base).arg(n);
  taken.insert(name.toLower());
  return name;
}

QString RowLine(const QStringList& fields, QChar delimiter) {
  QStringList quoted;
  quoted.reserve(fields.size());
  for (const QString& field : fields) quoted << CsvField(field, delimiter);
  return quoted.join(delimiter) + QStringLiteral("\r\n");
}

QStringList HeaderOf(const FormDef& form) {
  QStringList header{QString::fromLatin1(kExportFolderColumn)};
  for (const ElementRef& element : ValueElements(form)) header << ExportColumnName(form, element);
  return header;
}

QStringList FieldsOf(const Database& db, const FormDef& form, const RecordData& record,
                     const CsvOptions& options) {
  QStringList fields{FolderPath(db, record.Folder)};
  for (const ElementRef& element : ValueElements(form)) {
    if (element.type == kFlag) {
      const bool on = record.FlagValue[static_cast<size_t>(element.slot)];
      fields << (options.flagWords ? QString::fromLatin1(on ? "true" : "false")
                                   : QString::fromLatin1(on ? "1" : "0"));
    } else {
      fields << ValueText(form, record, element);
    }
  }
  if (options.quoteFormulas) {
    for (QString& field : fields) field = FormulaQuoted(field);
  }
  return fields;
}

}  // namespace

QString CsvField(const QString& value, QChar delimiter) {
  const bool quoted = value.contains(delimiter) || value.contains(u'"') || value.contains(u'\r') ||
                      value.contains(u'\n') ||
                      (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
  if (!quoted) return value;
  QString doubled = value;
  doubled.replace(u'"', QStringLiteral("\"\""));
  return u'"' + doubled + u'"';
}

std::vector<CsvFile> ExportToCsv(const Database& db, const ExportScope& scope,
                                 const CsvOptions& options) {
  const FolderScope folders(db, scope.folder, scope.subfolders);
  std::vector<CsvFile> files;
  QSet<QString> taken;
  for (int f = 0; f < db.FormCount; ++f) {
    if (options.form >= 0 && options.form != f) continue;
    const FormDef& form = db.Forms[static_cast<size_t>(f)];
    QString text;
    for (int r = 0; r < db.RecordCount; ++r) {
      const RecordData& record = db.Records[static_cast<size_t>(r)];
      if (record.Form != f || !folders.Contains(record.Folder)) continue;
      if (text.isEmpty()) text = RowLine(HeaderOf(form), options.delimiter);
      text += RowLine(FieldsOf(db, form, record, options), options.delimiter);
    }
    if (text.isEmpty()) continue;
    QByteArray bytes = options.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes += text.toUtf8();
    files.push_back({FileNameOf(form.Name, f, taken), std::move(bytes)});
  }
  return files;
}

CsvWritten WriteCsvFiles(const QString& folder, const std::vector<CsvFile>& files) {
  CsvWritten written;
  const auto failed = [&written](const QSaveFile& output) {
    written.error = QStringLiteral("%1: %2").arg(output.fileName(), output.errorString());
    return written;
  };
  std::vector<std::unique_ptr<QSaveFile>> outputs;
  const QDir dir(folder);
  for (const CsvFile& file : files) {
    auto output = std::make_unique<QSaveFile>(dir.filePath(file.name));
    // The files not committed are dropped with their temporaries.
    if (!output->open(QIODevice::WriteOnly) || output->write(file.bytes) != file.bytes.size())
      return failed(*output);
    outputs.push_back(std::move(output));
  }
  // A folder or a protected file in the way would leave the files before it
  // replaced and the rest not: it stops the export before any is replaced.
  for (const auto& output : outputs) {
    const QFileInfo target(output->fileName());
    if (target.exists() && (!target.isFile() || !target.isWritable())) {
      written.error = QStringLiteral("%1: cannot be replaced").arg(output->fileName());
      return written;
    }
  }
  for (const auto& output : outputs) {
    if (!output->commit()) return failed(*output);
    written.paths << output->fileName();
  }
  return written;
}

}  // namespace orbo
