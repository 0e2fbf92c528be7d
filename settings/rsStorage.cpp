#include "rsStorage.h"

#include "Definition.h"
#include "Dispatch.h"
#include "rsCodePage.h"
#include "rsIniData.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool IsSeparator(QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); }

// Rounds to the nearest integer, halves to even; none when the value lies
// outside [low, high] or is no number.
bool RoundHalfEven(double value, double low, double high, qint64& result) {
  if (!std::isfinite(value)) return false;
  const double r = std::nearbyint(value);  // the default rounding mode: halves to even
  if (r < low || r > high) return false;
  result = static_cast<qint64>(r);
  return true;
}

// A currency amount (times 10000) rounded to whole units, halves to even.
qint64 RoundCurrency(qint64 raw) {
  qint64 q = raw / 10000;
  const qint64 r = raw % 10000;
  const qint64 m = r < 0 ? -r : r;
  if (m > 5000 || (m == 5000 && (q % 2 != 0))) q += raw < 0 ? -1 : 1;
  return q;
}

[[noreturn]] void OutOfIntegerRange(double value) {
  throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(FloatToStr(value)));
}

QString HexPairs(const QByteArray& bytes) {
  QString out;
  out.reserve(bytes.size() * 3);
  static const char digits[] = "0123456789ABCDEF";
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (i > 0) out += QLatin1Char(',');
    const auto b = static_cast<unsigned char>(bytes[i]);
    out += QLatin1Char(digits[b >> 4]);
    out += QLatin1Char(digits[b & 15]);
  }
  return out;
}

template <class T>
T FromLittleEndian(const QByteArray& bytes) {
  unsigned char raw[sizeof(T)];
  for (size_t i = 0; i < sizeof(T); ++i) raw[i] = static_cast<unsigned char>(bytes[static_cast<qsizetype>(i)]);
  // Assemble the integer from its little-endian bytes whatever the host order.
  quint64 v = 0;
  for (size_t i = sizeof(T); i-- > 0;) v = (v << 8) | raw[i];
  T result;
  if constexpr (sizeof(T) == 4) {
    const auto v32 = static_cast<quint32>(v);
    std::memcpy(&result, &v32, sizeof(T));
  } else {
    std::memcpy(&result, &v, sizeof(T));
  }
  return result;
}

}  // namespace

// --- TrsValue --------------------------------------------------------------------

bool TrsValue::operator==(const TrsValue& other) const {
  if (Kind != other.Kind) return false;
  switch (Kind) {
    case vkEmpty: return true;
    case vkText: return Text == other.Text;
    case vkBinary: return Binary == other.Binary;
    case vkFloat:
    case vkDateTime: return Float == other.Float || (std::isnan(Float) && std::isnan(other.Float));
    case vkPoint: return Point == other.Point;
    default: return Integer == other.Integer;
  }
}

// --- TrsKeyWrapper --------------------------------------------------------------------

TrsValueKind TrsKeyWrapper::Kind() const { return FKey ? FKey->Value.Kind : vkEmpty; }

const TrsValue& TrsKeyWrapper::Value() const {
  static const TrsValue empty;
  return FKey ? FKey->Value : empty;
}

QString TrsKeyWrapper::Path() const {
  if (!FKey) return QString();
  const QString section = FStorage ? FStorage->SectionPath(FKey->SectionId) : QString();
  return QLatin1Char('\\') + section + QLatin1Char('\\') + FKey->Name;
}

void TrsKeyWrapper::Refuse(const char* kindName) const {
  throw TrsException(QStringLiteral("TrsStorage get key value error: Can't read value of key \"%1\" as %2 type.")
                         .arg(Path(), QLatin1String(kindName)));
}

int TrsKeyWrapper::AsInteger() const {
  const TrsValue& v = Value();
  switch (v.Kind) {
    case vkEmpty: return 0;
    case vkText: return StrToInt(v.Text);
    case vkBinary:
      if (v.Binary.size() != 4) Refuse("integer");
      return FromLittleEndian<qint32>(v.Binary);
    case vkInteger: return static_cast<int>(v.Integer);
    case vkFloat:
    case vkDateTime: {
      qint64 r = 0;
      if (!RoundHalfEven(v.Float, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), r))
        OutOfIntegerRange(v.Float);
      return static_cast<int>(r);
    }
    case vkCurrency: {
      const qint64 r = RoundCurrency(v.Integer);
      if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        OutOfIntegerRange(static_cast<double>(r));
      return static_cast<int>(r);
    }
    case vkBoolean: return v.Integer != 0 ? 1 : 0;
    case vkInt64: return static_cast<int>(static_cast<quint32>(static_cast<quint64>(v.Integer)));
    case vkPoint: break;
  }
  Refuse("integer");
}

qint64 TrsKeyWrapper::AsInt64() const {
  const TrsValue& v = Value();
  switch (v.Kind) {
    case vkEmpty: return 0;
    case vkText: return StrToInt64(v.Text);
    case vkBinary:
      if (v.Binary.size() != 8) break;
      return FromLittleEndian<qint64>(v.Binary);
    case vkInteger:
    case vkInt64: return v.Integer;
    case vkFloat: {
      qint64 r = 0;
      // 2^63 is the first double beyond the range.
      if (!RoundHalfEven(v.Float, -9223372036854775808.0, 9223372036854774784.0, r)) OutOfIntegerRange(v.Float);
      return r;
    }
    case vkCurrency: return RoundCurrency(v.Integer);
    case vkDateTime:
    case vkBoolean:
    case vkPoint: break;
  }
  Refuse("Int64");
}

double TrsKeyWrapper::AsFloat() const {
  const TrsValue& v = Value();
  switch (v.Kind) {
    case vkEmpty: return 0;
    case vkText: return StrToFloat(v.Text);
    case vkBinary:
      if (v.Binary.size() != 8) break;
      return FromLittleEndian<double>(v.Binary);
    case vkInteger:
    case vkInt64: return static_cast<double>(v.Integer);
    case vkFloat: return v.Float;
    case vkCurrency: return static_cast<double>(v.Integer) / 10000.0;
    case vkDateTime:
    case vkBoolean:
    case vkPoint: break;
  }
  Refuse("float");
}

QString TrsKeyWrapper::AsString() const {
  const TrsValue& v = Value();
  switch (v.Kind) {
    case vkEmpty: return QString();
    case vkText: return v.Text;
    case vkBinary: return HexPairs(v.Binary);
    case vkInteger:
    case vkInt64: return QString::number(v.Integer);
    case vkFloat: return FloatToStr(v.Float);
    case vkCurrency: return CurrToStr(TCurrency{v.Integer});
    case vkDateTime: return DateTimeToStr(v.Float);
    case vkBoolean: return v.Integer != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case vkPoint: return QStringLiteral("(%1,%2)").arg(v.Point.x()).arg(v.Point.y());
  }
  return QString();
}

QVariant TrsKeyWrapper::AsVariant() const {
  const TrsValue& v = Value();
  switch (v.Kind) {
    case vkText: return v.Text;
    case vkBinary: return v.Binary;
    case vkInteger: return static_cast<int>(v.Integer);
    case vkFloat: return v.Float;
    case vkCurrency: return QVariant::fromValue(TCurrency{v.Integer});
    case vkDateTime: return DateTimeToQDateTime(v.Float);
    case vkBoolean: return v.Integer != 0;
    case vkInt64: return QVariant::fromValue<qint64>(v.Integer);
    case vkEmpty:
    case vkPoint: break;
  }
  return QVariant();
}

void TrsKeyWrapper::Clear() {
  if (FKey) FKey->Value.Clear();
}

void TrsKeyWrapper::SetString(const QString& value) {
  if (!FKey) return;
  FKey->Value.Clear();
  FKey->Value.Kind = vkText;
  FKey->Value.Text = value;
}

void TrsKeyWrapper::SetBinary(const QByteArray& value) {
  if (!FKey) return;
  FKey->Value.Clear();
  FKey->Value.Kind = vkBinary;
  FKey->Value.Binary = value;
}

void TrsKeyWrapper::SetInteger(int value) {
  if (!FKey) return;
  FKey->Value.Clear();
  FKey->Value.Kind = vkInteger;
  FKey->Value.Integer = value;
}

void TrsKeyWrapper::SetFloat(double value) {
  if (!FKey) return;
  FKey->Value.Clear();
  FKey->Value.Kind = vkFloat;
  FKey->Value.Float = value;
}

void TrsKeyWrapper::SetCurrency(TCurrency value) {
  if (!FKey) return;
  FKey->Value.Clear();
  FKey->Value.Kind = vkCurrency;
  FKey->Value.Integer = value.Value;
}

void TrsKeyWrapper::SetDateTime(TDateTime value) {
  if (!FKey) return;
  FKey->Value.Clear();
  FKey->Value.Kind = vkDateTime;
  FKey->Value.Float = value;
}

void TrsKeyWrapper::SetBoolean(bool value) {
  if (!FKey) return;
  FKey->Value.Clear();
  FKey->Value.Kind = vkBoolean;
  FKey->Value.Integer = value ? 1 : 0;
}

void TrsKeyWrapper::SetPoint(const QPoint& value) {
  if (!FKey) return;
  FKey->Value.Clear();
  FKey->Value.Kind = vkPoint;
  FKey->Value.Point = value;
}

void TrsKeyWrapper::SetInt64(qint64 value) {
  if (!FKey) return;
  FKey->Value.Clear();
  FKey->Value.Kind = vkInt64;
  FKey->Value.Integer = value;
}

void TrsKeyWrapper::SetVariant(const QVariant& value) {
  if (!FKey) return;
  if (!value.isValid()) {
    Clear();
    return;
  }
  const int type = value.metaType().id();
  if (type == qMetaTypeId<TCurrency>()) {
    SetCurrency(value.value<TCurrency>());
    return;
  }
  switch (type) {
    case QMetaType::QString: SetString(value.toString()); break;
    case QMetaType::QByteArray: SetBinary(value.toByteArray()); break;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar: SetInteger(value.toInt()); break;
    case QMetaType::UInt: {
      const uint u = value.toUInt();
      if (u > static_cast<uint>(std::numeric_limits<int>::max()))
        SetInt64(u);
      else
        SetInteger(static_cast<int>(u));
      break;
    }
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong: SetInt64(value.toLongLong()); break;
    case QMetaType::Double:
    case QMetaType::Float: SetFloat(value.toDouble()); break;
    case QMetaType::Bool: SetBoolean(value.toBool()); break;
    case QMetaType::QDateTime: SetDateTime(QDateTimeToDateTime(value.toDateTime())); break;
    case QMetaType::QDate: SetDateTime(QDateTimeToDateTime(value.toDate().startOfDay())); break;
    case QMetaType::QPoint: SetPoint(value.toPoint()); break;
    default: SetString(value.toString()); break;
  }
}

void TrsKeyWrapper::AssignValue(const TrsKeyItem& source) {
  if (FKey && FKey != &source) FKey->Value = source.Value;
}

// --- TrsStorageData --------------------------------------------------------------------

TrsStorageData::TrsStorageData(TComponent* owner) : TComponent(owner) {}

TrsStorageData::~TrsStorageData() {
  // Nothing is written from here: saving is the teardown's work.
  while (!FStorages.empty()) FStorages.back()->SetStorageData(nullptr);
}

void TrsStorageData::BeforeDestruction() {
  UnbindStorages();
  TComponent::BeforeDestruction();
}

TrsStorage* TrsStorageData::Storages(int index) const {
  if (index < 0 || index >= StorageCount()) RaiseListIndexError(index);
  return FStorages[static_cast<size_t>(index)];
}

void TrsStorageData::Load(TrsStorage& storage) {
  TrsStorage* previous = FCurrent;
  FCurrent = &storage;
  try {
    LoadData(storage);
  } catch (...) {
    FCurrent = previous;
    throw;
  }
  FCurrent = previous;
}

void TrsStorageData::Save(TrsStorage& storage) {
  TrsStorage* previous = FCurrent;
  FCurrent = &storage;
  try {
    SaveData(storage);
  } catch (...) {
    FCurrent = previous;
    throw;
  }
  FCurrent = previous;
}

void TrsStorageData::DoProgress(int, int) {}
void TrsStorageData::LoadData(TrsStorage&) {}
void TrsStorageData::SaveData(TrsStorage&) {}

void TrsStorageData::UnbindStorages() noexcept {
  while (!FStorages.empty()) {
    TrsStorage* storage = FStorages.back();
    // The back-end is going away: what the storage still holds is written
    // now, while this back-end can still write it, and only this once.
    if (storage->Active()) {
      try {
        storage->SetActive(false);
      } catch (...) {
        HandleCurrentException();
      }
    }
    storage->SetStorageData(nullptr);
  }
}

void TrsStorageData::AddStorage(TrsStorage* storage) {
  if (std::find(FStorages.begin(), FStorages.end(), storage) == FStorages.end()) FStorages.push_back(storage);
}

void TrsStorageData::RemoveStorage(TrsStorage* storage) {
  FStorages.erase(std::remove(FStorages.begin(), FStorages.end(), storage), FStorages.end());
}

// --- TrsStorage: life cycle --------------------------------------------------------------------

TrsStorage::TrsStorage(TComponent* owner) : TComponent(owner) {}

TrsStorage::~TrsStorage() {
  // Saved by the teardown, if there was one; a destructor writes nothing.
  if (FStorageData) {
    FStorageData->RemoveStorage(this);
    FStorageData->RemoveFreeNotification(this);
    FStorageData = nullptr;
  }
  if (FEncryptor) FEncryptor->RemoveFreeNotification(this);
}

void TrsStorage::BeforeDestruction() {
  // Saved while the window and the back-end are whole; a failure is shown
  // and the freeing goes on.
  if (FActive) {
    try {
      SetActive(false);
    } catch (...) {
      HandleCurrentException();
    }
  }
  TComponent::BeforeDestruction();
}

void TrsStorage::SetActive(bool active) {
  if (FActivatePending && !active) {
    // Never loaded (the window's definition failed before it was complete):
    // there is nothing of the file's to write back, and writing the empty
    // tree would wipe the file.
    FActive = false;
    FActivatePending = false;
    return;
  }
  if (Loading()) {
    // References such as StorageData are resolved only when the whole
    // definition is applied; Loaded() loads.
    FActive = active;
    FActivatePending = active;
    return;
  }
  if (active == FActive) return;
  if (active) {
    FActive = true;
    Load();
  } else {
    // Inactive afterwards even when the save fails, so that a failed save is
    // not tried again on destruction.
    FActive = false;
    if (FOptions.testFlag(soSaveOnClose)) Save();
  }
}

void TrsStorage::Loaded() {
  TComponent::Loaded();
  if (FActivatePending) {
    FActivatePending = false;
    // Whatever the file holds, the window still opens: a load that fails
    // part-way is shown at once, also when a handler is creating the window,
    // and the keys read before the failure stay.
    if (FActive) {
      TEventLoopScope own;
      Dispatch([this] { Load(); });
    }
  }
}

void TrsStorage::SetEncryptor(TrsKeyEncryptor* encryptor) {
  if (encryptor == FEncryptor) return;
  SetReference(FEncryptor, encryptor);
}

void TrsStorage::SetStorageData(TrsStorageData* data) {
  if (data == FStorageData) return;
  if (FStorageData) {
    FStorageData->RemoveStorage(this);
    FStorageData->RemoveFreeNotification(this);
  }
  FStorageData = data;
  if (FStorageData) {
    FStorageData->AddStorage(this);
    FStorageData->FreeNotification(this);
  }
}

void TrsStorage::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  // A back-end normally unbinds itself before this; its list is gone by now.
  if (component == FStorageData) FStorageData = nullptr;
  if (component == FEncryptor) FEncryptor = nullptr;
}

void TrsStorage::Load() {
  FOnBeforeLoad(this);
  Clear();
  if (FStorageData) FStorageData->Load(*this);
  FOnAfterLoad(this);
}

void TrsStorage::Save() {
  FOnBeforeSave(this);
  const int current = FCurrentSection;
  try {
    if (FStorageData) FStorageData->Save(*this);
  } catch (...) {
    FCurrentSection = current;
    UpdateCurrentRange();
    throw;
  }
  FCurrentSection = current;
  UpdateCurrentRange();
  FOnAfterSave(this);
}

void TrsStorage::Clear() {
  std::vector<TrsKeyItem>().swap(FKeys);
  std::vector<TrsSection>().swap(FSections);
  FNextSectionId = 1;
  FCurrentSection = 0;
  ResetCache();
  UpdateCurrentRange();
}

void TrsStorage::AdoptTree(std::vector<TrsSection> sections, std::vector<TrsKeyItem> keys, int nextSectionId,
                           int currentSection) {
  std::sort(sections.begin(), sections.end(), [](const TrsSection& a, const TrsSection& b) {
    return a.ParentId != b.ParentId ? a.ParentId < b.ParentId : CompareNames(a.Name, b.Name) < 0;
  });
  std::sort(keys.begin(), keys.end(), [](const TrsKeyItem& a, const TrsKeyItem& b) {
    return a.SectionId != b.SectionId ? a.SectionId < b.SectionId : CompareNames(a.Name, b.Name) < 0;
  });
  FSections = std::move(sections);
  FKeys = std::move(keys);
  FNextSectionId = nextSectionId;
  FCurrentSection = currentSection;
  ResetCache();
  UpdateCurrentRange();
}

// --- TrsStorage: arrays --------------------------------------------------------------------

template <class T>
void TrsStorage::GrowFor(std::vector<T>& array, size_t needed) {
  const size_t capacity = array.capacity();
  if (array.size() + needed <= capacity) return;
  size_t delta = capacity <= 16 ? 8 : capacity <= 64 ? 16 : capacity / 4;
  delta = std::max(delta, array.size() + needed - capacity);
  array.reserve(capacity + delta);
}

template <class T>
void TrsStorage::ShrinkAfterDelete(std::vector<T>& array) {
  if (array.empty()) {
    std::vector<T>().swap(array);
    return;
  }
  const size_t freeEntries = array.capacity() - array.size();
  const size_t keep = array.capacity() - freeEntries / 2;
  if (keep == array.capacity()) return;
  std::vector<T> smaller;
  smaller.reserve(keep);
  std::move(array.begin(), array.end(), std::back_inserter(smaller));
  array.swap(smaller);
}

void TrsStorage::ReserveSections(int count) {
  if (count > 0 && static_cast<size_t>(count) > FSections.capacity()) FSections.reserve(static_cast<size_t>(count));
}

void TrsStorage::ReserveKeys(int count) {
  if (count > 0 && static_cast<size_t>(count) > FKeys.capacity()) FKeys.reserve(static_cast<size_t>(count));
}

const TrsSection& TrsStorage::Sections(int index) const {
  if (index < 0 || index >= SectionCount()) RaiseListIndexError(index);
  return FSections[static_cast<size_t>(index)];
}

const TrsKeyItem& TrsStorage::Keys(int index) const {
  if (index < 0 || index >= KeyCount()) RaiseListIndexError(index);
  return FKeys[static_cast<size_t>(index)];
}

TrsKeyItem& TrsStorage::Keys(int index) {
  if (index < 0 || index >= KeyCount()) RaiseListIndexError(index);
  return FKeys[static_cast<size_t>(index)];
}

// --- TrsStorage: sections --------------------------------------------------------------------

int TrsStorage::SectionIndexOf(int parentId, const QString& name, bool& found) const {
  int low = 0, high = SectionCount();
  while (low < high) {
    const int mid = (low + high) / 2;
    const TrsSection& s = FSections[static_cast<size_t>(mid)];
    const int order = s.ParentId != parentId ? (s.ParentId < parentId ? -1 : 1) : CompareNames(s.Name, name);
    if (order < 0)
      low = mid + 1;
    else
      high = mid;
  }
  found = low < SectionCount() && FSections[static_cast<size_t>(low)].ParentId == parentId &&
          CompareNames(FSections[static_cast<size_t>(low)].Name, name) == 0;
  return low;
}

int TrsStorage::FindSection(int parentId, const QString& name) const {
  bool found = false;
  const int index = SectionIndexOf(parentId, name, found);
  return found ? FSections[static_cast<size_t>(index)].Id : -1;
}

int TrsStorage::SectionById(int id) const {
  for (int i = 0; i < SectionCount(); ++i)
    if (FSections[static_cast<size_t>(i)].Id == id) return i;
  return -1;
}

QString TrsStorage::SectionPath(int sectionId) const {
  QString path;
  // A chain longer than the array would be a loop; the ids never form one.
  for (int guard = 0; sectionId != 0 && guard <= SectionCount(); ++guard) {
    const int index = SectionById(sectionId);
    if (index < 0) break;
    const TrsSection& s = FSections[static_cast<size_t>(index)];
    path = path.isEmpty() ? s.Name : s.Name + QLatin1Char('\\') + path;
    sectionId = s.ParentId;
  }
  return path;
}

int TrsStorage::EnsureSection(int parentId, const QString& name) {
  bool found = false;
  const int index = SectionIndexOf(parentId, name, found);
  if (found) return FSections[static_cast<size_t>(index)].Id;
  GrowFor(FSections, 1);
  TrsSection section;
  section.Name = name;
  section.Id = FNextSectionId++;
  section.ParentId = parentId;
  FSections.insert(FSections.begin() + index, section);
  return section.Id;
}

// Walks a section path from the section `from`; -1 when a section is missing
// and `create` is off.
int TrsStorage::ResolvePath(const QString& path, int from, bool create) {
  int id = from;
  qsizetype start = 0;
  const qsizetype n = path.size();
  while (start < n) {
    qsizetype end = start;
    while (end < n && !IsSeparator(path[end])) ++end;
    if (end > start) {
      const QString name = path.mid(start, end - start);
      if (create) {
        id = EnsureSection(id, name);
      } else {
        id = FindSection(id, name);
        if (id < 0) return -1;
      }
    }
    start = end + 1;
  }
  return id;
}

QString TrsStorage::RootSection() const { return SectionPath(FCurrentSection); }

void TrsStorage::SetRootSection(const QString& path) {
  FCurrentSection = ResolvePath(path, 0, true);
  UpdateCurrentRange();
}

// --- TrsStorage: keys --------------------------------------------------------------------

void TrsStorage::UpdateCurrentRange() {
  const auto begin = FKeys.begin(), end = FKeys.end();
  const auto lower =
      std::lower_bound(begin, end, FCurrentSection, [](const TrsKeyItem& k, int id) { return k.SectionId < id; });
  const auto upper =
      std::upper_bound(lower, end, FCurrentSection, [](int id, const TrsKeyItem& k) { return id < k.SectionId; });
  FRangeStart = static_cast<int>(lower - begin);
  FRangeEnd = static_cast<int>(upper - begin);
}

void TrsStorage::ResetCache() {
  FLastIndex = -1;
  FLastSection = 0;
  FLastName.clear();
  FKey.SetKey(nullptr, this);
}

int TrsStorage::KeyIndexOf(int sectionId, const QString& name, bool& found) const {
  int low = 0, high = KeyCount();
  if (sectionId == FCurrentSection) {
    low = FRangeStart;
    high = FRangeEnd;
  }
  while (low < high) {
    const int mid = (low + high) / 2;
    const TrsKeyItem& k = FKeys[static_cast<size_t>(mid)];
    const int order = k.SectionId != sectionId ? (k.SectionId < sectionId ? -1 : 1) : CompareNames(k.Name, name);
    if (order < 0)
      low = mid + 1;
    else
      high = mid;
  }
  found = low < KeyCount() && FKeys[static_cast<size_t>(low)].SectionId == sectionId &&
          CompareNames(FKeys[static_cast<size_t>(low)].Name, name) == 0;
  return low;
}

TrsKeyItem* TrsStorage::FindSectionKey(int sectionId, const QString& name, bool create) {
  if (FLastIndex >= 0 && FLastIndex < KeyCount() && FLastSection == sectionId && SameText(FLastName, name)) {
    TrsKeyItem& cached = FKeys[static_cast<size_t>(FLastIndex)];
    if (cached.SectionId == sectionId && SameText(cached.Name, name)) {
      FKey.SetKey(&cached, this);
      return &cached;
    }
  }
  bool found = false;
  const int index = KeyIndexOf(sectionId, name, found);
  if (!found) {
    if (!create) {
      FKey.SetKey(nullptr, this);
      return nullptr;
    }
    GrowFor(FKeys, 1);
    TrsKeyItem key;
    key.Name = name;
    key.SectionId = sectionId;
    FKeys.insert(FKeys.begin() + index, key);
    UpdateCurrentRange();
  }
  FLastIndex = index;
  FLastSection = sectionId;
  FLastName = name;
  TrsKeyItem* key = &FKeys[static_cast<size_t>(index)];
  FKey.SetKey(key, this);
  if (!found) FOnKeyAdd(this);
  return key;
}

TrsKeyItem* TrsStorage::FindKey(const QString& name, bool create) {
  qsizetype split = name.size();
  while (split > 0 && !IsSeparator(name[split - 1])) --split;
  if (split == 0) return FindSectionKey(FCurrentSection, name, create);
  const QString sectionPart = name.left(split - 1);
  const QString keyName = name.mid(split);
  const int from = IsSeparator(name[0]) ? 0 : FCurrentSection;
  const int section = ResolvePath(sectionPart, from, create);
  if (section < 0) {
    FKey.SetKey(nullptr, this);
    return nullptr;
  }
  return FindSectionKey(section, keyName, create);
}

bool TrsStorage::KeyExists(const QString& name) { return FindKey(name, false) != nullptr; }

QString TrsStorage::ReadString(const QString& name, const QString& def) {
  return FindKey(name, false) ? FKey.AsString() : def;
}

void TrsStorage::WriteString(const QString& name, const QString& value) {
  if (FindKey(name, true)) FKey.SetString(value);
}

void TrsStorage::DeleteKey(const QString& name) {
  TrsKeyItem* key = FindKey(name, false);
  if (!key) return;
  const int section = key->SectionId;
  const QString keyName = key->Name;
  FOnKeyDeletion(this);
  // The handler may have changed the tree; look the key up again.
  bool found = false;
  const int index = KeyIndexOf(section, keyName, found);
  if (found) {
    FKeys.erase(FKeys.begin() + index);
    ShrinkAfterDelete(FKeys);
  }
  ResetCache();
  UpdateCurrentRange();
}

// --- TrsStorageClient --------------------------------------------------------------------

TrsStorageClient::~TrsStorageClient() {
  if (FStorage) FStorage->RemoveFreeNotification(this);
}

void TrsStorageClient::SetStorage(TrsStorage* storage) {
  if (storage == FStorage) return;
  SetReference(FStorage, storage);
}

void TrsStorageClient::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FStorage) FStorage = nullptr;
}

void RegisterStorageClasses() {
  RegisterComponentClass<TrsStorage>();
  RegisterComponentClass<TrsIniData>();
}
