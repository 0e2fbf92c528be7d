#include "DB.h"

#include "Dispatch.h"
#include "Exceptions.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

QString ValueText(TFieldType type, const QVariant& v) {
  if (!v.isValid() || v.isNull()) return QString();
  switch (type) {
    case ftDateTime: {
      const auto dt = ParseStoredDateTime(v.toString());
      return dt ? FormatDisplayDate(*dt) : v.toString();
    }
    case ftFloat: return QString::number(v.toDouble(), 'g', 15);
    case ftBoolean: return v.toLongLong() != 0 ? QStringLiteral("True") : QStringLiteral("False");
    default:
      if (v.metaType().id() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 15);
      return v.toString();
  }
}

// Whether a component is being freed, by itself or with an owner.
bool GoingAway(const TComponent* c) {
  for (; c; c = c->Owner())
    if (c->Destroying()) return true;
  return false;
}

// Destructors run what they must tell others through this: an error is shown
// and goes no further, whatever the dispatch point does with nested errors.
template <class F>
void NoThrow(F&& action) noexcept {
  try {
    Dispatch(action);
  } catch (...) {
    HandleCurrentException();
  }
}

[[noreturn]] void NotANumber(const QString& text, const char* what) {
  throw EConvertError(QStringLiteral("'%1' is not a valid %2 value").arg(text, QLatin1String(what)));
}

}  // namespace

QString FormatStoredDateTime(const QDateTime& value) {
  if (value.time() == QTime(0, 0)) return value.date().toString(QStringLiteral("yyyy-MM-dd"));
  return value.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

std::optional<QDateTime> ParseStoredDateTime(const QString& text) {
  const QString t = text.trimmed();
  QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
  if (dt.isValid()) return dt;
  const QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
  if (d.isValid()) return QDateTime(d, QTime(0, 0));
  const QDate shown = QDate::fromString(t, QStringLiteral("dd.MM.yyyy"));
  if (shown.isValid()) return QDateTime(shown, QTime(0, 0));
  return std::nullopt;
}

QString FormatDisplayDate(const QDateTime& value) {
  QString s = value.date().toString(QStringLiteral("dd.MM.yyyy"));
  if (value.time() != QTime(0, 0)) s += value.time().toString(QStringLiteral(" hh:mm:ss"));
  return s;
}

// ---------------------------------------------------------------- TField

QVariant TField::Value() const { return FDataSet->FieldValue(FIndex); }

QVariant TField::ValueAt(int row) const { return FDataSet->RowValue(row, FIndex); }

QString TField::AsStringAt(int row) const { return ValueText(FType, ValueAt(row)); }

void TField::SetValue(const QVariant& value) { FDataSet->SetFieldValue(FIndex, value); }

QString TField::AsString() const { return ValueText(FType, Value()); }

void TField::SetAsString(const QString& text) {
  switch (FType) {
    case ftInteger:
    case ftBoolean: {
      if (text.trimmed().isEmpty()) return SetValue(QVariant());
      bool ok = false;
      const qint64 v = text.trimmed().toLongLong(&ok);
      if (!ok) NotANumber(text, "integer");
      return SetValue(QVariant(v));
    }
    case ftFloat: {
      if (text.trimmed().isEmpty()) return SetValue(QVariant());
      bool ok = false;
      const double v = text.trimmed().toDouble(&ok);
      if (!ok) NotANumber(text, "floating point");
      return SetValue(QVariant(v));
    }
    case ftDateTime: {
      if (text.trimmed().isEmpty()) return SetValue(QVariant());
      const auto dt = ParseStoredDateTime(text);
      if (!dt) NotANumber(text, "date and time");
      return SetValue(QVariant(FormatStoredDateTime(*dt)));
    }
    default: return SetValue(QVariant(text));
  }
}

qint64 TField::AsInteger() const {
  const QVariant v = Value();
  if (!v.isValid() || v.isNull()) return 0;
  switch (v.metaType().id()) {
    case QMetaType::LongLong: return v.toLongLong();
    case QMetaType::Double: return static_cast<qint64>(std::llround(v.toDouble()));
    default: {
      bool ok = false;
      const qint64 r = v.toString().trimmed().toLongLong(&ok);
      if (!ok) NotANumber(v.toString(), "integer");
      return r;
    }
  }
}

void TField::SetAsInteger(qint64 value) {
  if (FType == ftString || FType == ftMemo)
    SetValue(QVariant(QString::number(value)));
  else if (FType == ftFloat)
    SetValue(QVariant(static_cast<double>(value)));
  else
    SetValue(QVariant(value));
}

double TField::AsFloat() const {
  const QVariant v = Value();
  if (!v.isValid() || v.isNull()) return 0;
  if (v.metaType().id() != QMetaType::QString) return v.toDouble();
  bool ok = false;
  const double r = v.toString().trimmed().toDouble(&ok);
  if (!ok) NotANumber(v.toString(), "floating point");
  return r;
}

void TField::SetAsFloat(double value) { SetValue(QVariant(value)); }

QDateTime TField::AsDateTime() const {
  const QVariant v = Value();
  if (!v.isValid() || v.isNull()) return QDateTime();
  const auto dt = ParseStoredDateTime(v.toString());
  if (!dt) NotANumber(v.toString(), "date and time");
  return *dt;
}

void TField::SetAsDateTime(const QDateTime& value) {
  SetValue(value.isValid() ? QVariant(FormatStoredDateTime(value)) : QVariant());
}

void TField::SetAsDate(const QDate& value) { SetAsDateTime(QDateTime(value, QTime(0, 0))); }

// ---------------------------------------------------------------- TDataSet

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
  const auto sources = FSources;
  for (TDataSource* s : sources) NoThrow([s] { s->SetDataSet(nullptr); });
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (FOpenAfterLoad) {
    FOpenAfterLoad = false;
    // A window opens even when its data cannot be read; the error is shown.
    Dispatch([this] { SetActive(true); });
  }
}

void TDataSet::SetActive(bool active) {
  if (Loading()) {
    FOpenAfterLoad = active;
    return;
  }
  if (active == Active()) return;
  if (active) {
    std::vector<TColumn> columns;
    std::vector<TRow> rows;
    if (FPrefetched) {
      columns = std::move(FPrefetched->columns);
      rows = std::move(FPrefetched->rows);
      FPrefetched.reset();
    } else {
      InternalOpen(columns, rows);
    }
    FFields.clear();
    for (size_t i = 0; i < columns.size(); ++i)
      FFields.push_back(std::make_unique<TField>(this, columns[i].name, columns[i].type, static_cast<int>(i)));
    FRows = std::move(rows);
    FState = dsBrowse;
    FCurrent = FRows.empty() ? -1 : 0;
    FBof = true;
    FEof = FRows.empty();
  } else {
    FState = dsInactive;
    InternalClose();
    FRows.clear();
    FFields.clear();
    FCurrent = -1;
    FBof = FEof = true;
  }
  DataEvent(TDataEvent::ActiveChanged);
}

void TDataSet::Requery() {
  if (!Active()) {
    Open();
    return;
  }
  if (FState != dsBrowse) Cancel();
  auto prefetched = std::make_unique<TPrefetch>();
  InternalOpen(prefetched->columns, prefetched->rows);
  FPrefetched = std::move(prefetched);
  try {
    Close();
    Open();
  } catch (...) {
    FPrefetched.reset();
    throw;
  }
}

void TDataSet::CheckActive() const {
  if (!Active())
    throw EDatabaseError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(Name()));
}

void TDataSet::SetCurrent(int index, bool scrolled) {
  const bool moved = index != FCurrent;
  FCurrent = index;
  if (moved && scrolled) DataEvent(TDataEvent::DataSetScrolled);
}

void TDataSet::First() {
  CheckActive();
  CheckBrowseMode();
  SetCurrent(FRows.empty() ? -1 : 0, true);
  FBof = true;
  FEof = FRows.empty();
}

void TDataSet::Last() {
  CheckActive();
  CheckBrowseMode();
  SetCurrent(static_cast<int>(FRows.size()) - 1, true);
  FEof = true;
  FBof = FRows.empty();
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

void TDataSet::MoveBy(int distance) {
  CheckActive();
  CheckBrowseMode();
  if (FRows.empty()) return;
  const int last = static_cast<int>(FRows.size()) - 1;
  const int wanted = FCurrent + distance;
  // Stepping past either end leaves the cursor on the end row and says so.
  FBof = wanted < 0;
  FEof = wanted > last;
  SetCurrent(std::clamp(wanted, 0, last), true);
}

void TDataSet::SetRecNo(int recNo) {
  CheckActive();
  CheckBrowseMode();
  if (recNo < 1 || recNo > RecordCount()) return;
  FBof = FEof = false;
  SetCurrent(recNo - 1, true);
}

bool TDataSet::Locate(const QString& fieldName, const QString& value) {
  CheckActive();
  CheckBrowseMode();
  const TField* f = FieldByName(fieldName);
  for (size_t i = 0; i < FRows.size(); ++i) {
    if (ValueText(f->DataType(), FRows[i].values[static_cast<size_t>(f->Index())]) == value) {
      FBof = FEof = false;
      SetCurrent(static_cast<int>(i), true);
      return true;
    }
  }
  return false;
}

void TDataSet::Append() {
  CheckActive();
  CheckBrowseMode();
  FEditRow = TRow{0, std::vector<QVariant>(FFields.size())};
  FChanged.assign(FFields.size(), false);
  FInsertAt = static_cast<int>(FRows.size());
  FState = dsInsert;
  // The controls of the current row show the new one; the rows themselves
  // change only when it is posted.
  DataEvent(TDataEvent::StateChanged);
  DataEvent(TDataEvent::RecordChanged);
}

void TDataSet::Edit() {
  CheckActive();
  if (FState == dsEdit || FState == dsInsert) return;
  if (FCurrent < 0)
    throw EDatabaseError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(Name()));
  FEditRow = FRows[static_cast<size_t>(FCurrent)];
  FChanged.assign(FFields.size(), false);
  FState = dsEdit;
  DataEvent(TDataEvent::StateChanged);
}

void TDataSet::Post() {
  CheckActive();
  if (FState != dsEdit && FState != dsInsert) return;
  const bool inserting = FState == dsInsert;
  TRow row = FEditRow;
  InternalPost(row, inserting, FChanged);
  if (inserting) {
    FRows.insert(FRows.begin() + FInsertAt, std::move(row));
    FCurrent = FInsertAt;
  } else {
    FRows[static_cast<size_t>(FCurrent)] = std::move(row);
  }
  FState = dsBrowse;
  FBof = FEof = false;
  DataEvent(TDataEvent::StateChanged);
  DataEvent(inserting ? TDataEvent::RowInserted : TDataEvent::RowChanged, nullptr, FCurrent);
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  const bool inserting = FState == dsInsert;
  FState = dsBrowse;
  DataEvent(TDataEvent::StateChanged);
  // A given-up edit shows the stored row again; a given-up new row was never
  // among the rows, but the controls of the current row showed it.
  if (inserting || FCurrent < 0)
    DataEvent(TDataEvent::RecordChanged);
  else
    DataEvent(TDataEvent::RowChanged, nullptr, FCurrent);
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert) {
    Cancel();
    return;
  }
  if (FCurrent < 0)
    throw EDatabaseError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(Name()));
  if (FState == dsEdit) Cancel();
  InternalDelete(FRows[static_cast<size_t>(FCurrent)]);
  const int deleted = FCurrent;
  FRows.erase(FRows.begin() + FCurrent);
  if (FCurrent >= static_cast<int>(FRows.size())) FCurrent = static_cast<int>(FRows.size()) - 1;
  FBof = FCurrent <= 0;
  FEof = FRows.empty();
  DataEvent(TDataEvent::RowDeleted, nullptr, deleted);
}

void TDataSet::CheckBrowseMode() {
  if (FState == dsEdit || FState == dsInsert) Post();
}

TField* TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) RaiseListIndexError(index);
  return FFields[static_cast<size_t>(index)].get();
}

TField* TDataSet::FindField(const QString& name) const {
  for (const auto& f : FFields)
    if (SameText(f->FieldName(), name)) return f.get();
  return nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const {
  TField* f = FindField(name);
  if (!f) throw EDatabaseError(QStringLiteral("%1: Field '%2' not found").arg(Name(), name));
  return f;
}

QVariant TDataSet::RowValue(int row, int field) const {
  if (row < 0 || row >= RecordCount()) RaiseListIndexError(row);
  if (field < 0 || field >= FieldCount()) RaiseListIndexError(field);
  if (row == FCurrent && FState == dsEdit) return FEditRow.values[static_cast<size_t>(field)];
  return FRows[static_cast<size_t>(row)].values[static_cast<size_t>(field)];
}

QVariant TDataSet::FieldValue(int index) const {
  const auto i = static_cast<size_t>(index);
  if (FState == dsEdit || FState == dsInsert) return FEditRow.values[i];
  if (FCurrent < 0) return QVariant();
  return FRows[static_cast<size_t>(FCurrent)].values[i];
}

void TDataSet::SetFieldValue(int index, const QVariant& value) {
  if (FState != dsEdit && FState != dsInsert)
    throw EDatabaseError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(Name()));
  const auto i = static_cast<size_t>(index);
  FEditRow.values[i] = value;
  FChanged[i] = true;
  DataEvent(TDataEvent::RecordChanged, FFields[i].get());
}

void TDataSet::AddDataSource(TDataSource* source) {
  if (std::find(FSources.begin(), FSources.end(), source) == FSources.end()) FSources.push_back(source);
}

void TDataSet::RemoveDataSource(TDataSource* source) {
  FSources.erase(std::remove(FSources.begin(), FSources.end(), source), FSources.end());
}

void TDataSet::DataEvent(TDataEvent event, TField* field, int row) {
  const auto sources = FSources;
  for (TDataSource* s : sources) s->Notify(event, field, row);
  // A handler that failed ends the action that moved or changed the dataset
  // here, not after the rest of the handler that asked for it.
  RaiseHandlerError();
}

// ---------------------------------------------------------------- TDataSource

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  // The links hear once that the data are gone; the source's own handlers,
  // going away with it, hear nothing.
  FGoingAway = true;
  if (FDataSet) {
    FDataSet->RemoveDataSource(this);
    FDataSet->RemoveFreeNotification(this);
    FDataSet = nullptr;
  }
  NoThrow([this] { TellLinks(TDataEvent::ActiveChanged, nullptr, -1); });
  for (TDataLink* l : FLinks) l->FSource = nullptr;
  FLinks.clear();
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == FDataSet) return;
  // Only a change between open data and none is news to the controls; a
  // dataset that closed before it was let go has told them already.
  const bool wasActive = FDataSet && FDataSet->Active();
  if (FDataSet) {
    FDataSet->RemoveDataSource(this);
    FDataSet->RemoveFreeNotification(this);
  }
  FDataSet = dataSet;
  if (dataSet) {
    dataSet->AddDataSource(this);
    dataSet->FreeNotification(this);
  }
  if (wasActive || (dataSet && dataSet->Active())) Notify(TDataEvent::ActiveChanged, nullptr);
}

void TDataSource::SetEnabled(bool v) {
  FEnabled = v;
  Dispatch([this] { TellLinks(TDataEvent::ActiveChanged, nullptr, -1); });
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FDataSet) {
    FDataSet = nullptr;
    Notify(TDataEvent::ActiveChanged, nullptr);
  }
}

void TDataSource::AddLink(TDataLink* link) {
  if (std::find(FLinks.begin(), FLinks.end(), link) == FLinks.end()) FLinks.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) {
  FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), link), FLinks.end());
}

void TDataSource::Notify(TDataEvent event, TField* field, int row) {
  if (!FEnabled && event != TDataEvent::ActiveChanged) return;
  Dispatch([&] {
    TellLinks(event, field, row);
    if (FGoingAway || GoingAway(this)) return;
    if (event == TDataEvent::StateChanged) {
      if (FOnStateChange) FOnStateChange(this);
    } else if (FOnDataChange) {
      FOnDataChange(this);
    }
  });
}

void TDataSource::TellLinks(TDataEvent event, TField* field, int row) {
  const auto links = FLinks;
  for (TDataLink* l : links) {
    // A link unhooked by what an earlier one did, or whose control is going
    // away with its window, hears nothing more.
    if (l->FSource != this || GoingAway(l->Control())) continue;
    switch (event) {
      case TDataEvent::ActiveChanged: l->ActiveChanged(); break;
      case TDataEvent::DataSetChanged: l->DataSetChanged(); break;
      case TDataEvent::DataSetScrolled: l->DataSetScrolled(); break;
      case TDataEvent::RecordChanged: l->RecordChanged(field); break;
      case TDataEvent::StateChanged: l->EditingChanged(); break;
      case TDataEvent::RowChanged: l->RowChanged(row); break;
      case TDataEvent::RowInserted: l->RowInserted(row); break;
      case TDataEvent::RowDeleted: l->RowDeleted(row); break;
    }
  }
}

// ---------------------------------------------------------------- TDataLink

TDataLink::~TDataLink() {
  // Only unhooks: the control holding the link is already partly gone.
  if (FSource) FSource->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == FSource) return;
  if (FSource) FSource->RemoveLink(this);
  FSource = source;
  if (source) source->AddLink(this);
  ActiveChanged();
}

bool TDataLink::Active() const {
  return FSource && FSource->Enabled() && FSource->DataSet() && FSource->DataSet()->Active();
}
