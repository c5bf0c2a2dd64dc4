#include "forms/editor/button_request.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "forms/editor/editor_texts.h"
#include "storage/data_path.h"
#include "storage/element_values.h"

namespace orbo {
namespace {

bool IsMailAddress(const QString& value) {
  static const QRegularExpression address(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
  return address.match(value).hasMatch();
}

// An address with a scheme and somewhere to go, or an existing file.
QUrl OpenableUrl(const QString& value, const QString& databasePath) {
  const QString file = ResolveDataPath(value, databasePath);
  if (QFileInfo::exists(file)) return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
  const QUrl url = QUrl::fromUserInput(value);
  if (!url.isValid() || url.isLocalFile()) return {};
  if (url.host().isEmpty() && url.scheme() != u"mailto") return {};
  return url;
}

ButtonRequest Request(ButtonRequest::Kind kind, const QString& value = {}) {
  ButtonRequest request;
  request.kind = kind;
  request.value = value;
  return request;
}

}  // namespace

ButtonRequest ButtonClickRequest(int action, const QString& value, const QString& databasePath) {
  if (ActionTakesValue(action) && value.isEmpty()) return {};
  switch (action) {
    case kSendMail: {
      const QString address = value.startsWith(QStringLiteral("mailto:")) ? value.mid(7) : value;
      if (!IsMailAddress(address)) return Request(ButtonRequest::kRefused, value);
      return {ButtonRequest::kOpen, QUrl(QStringLiteral("mailto:") + address), {}, value};
    }
    case kOpenAddress:
    case kOpenValue: {
      const QUrl url = OpenableUrl(value, databasePath);
      if (url.isEmpty()) return Request(ButtonRequest::kRefused, value);
      return {ButtonRequest::kOpen, url, {}, value};
    }
    case kPlayMedia:
    case kOpenFile: {
      const QString file = ResolveDataPath(value, databasePath);
      if (!QFileInfo(file).isFile()) return Request(ButtonRequest::kRefused, value);
      if (action == kPlayMedia) return {ButtonRequest::kPlay, {}, file, value};
      return {
          ButtonRequest::kOpen, QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()), {}, value};
    }
    case kAddRecordAction:
      return Request(ButtonRequest::kAddRecord);
    case kDeleteRecordAction:
      return Request(ButtonRequest::kDeleteRecord);
    case kNextRecordAction:
      return Request(ButtonRequest::kNextRecord);
    case kPreviousRecordAction:
      return Request(ButtonRequest::kPreviousRecord);
    default:
      return {};
  }
}

ValueQuestion ButtonValueQuestion(int action) {
  switch (action) {
    case kSendMail:
      return {ValueQuestion::kTypedValue, editor_texts::kMailPrompt, false};
    case kOpenAddress:
      return {ValueQuestion::kTypedValue, editor_texts::kAddressPrompt, true};
    case kOpenValue:
      return {ValueQuestion::kTypedValue, editor_texts::kValuePrompt, false};
    case kPlayMedia:
    case kOpenFile:
      return {ValueQuestion::kChosenFile};
    default:
      return {};
  }
}

}  // namespace orbo
