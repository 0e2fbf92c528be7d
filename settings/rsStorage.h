// The settings storage: a window's settings in memory as a tree of sections
// and typed keys, the back-ends that load and save that tree, and the base of
// components that work on a storage.
#pragma once

#include "Component.h"
#include "Events.h"
#include "Exceptions.h"
#include "SysUtils.h"

#include <QByteArray>
#include <QFlags>
#include <QPoint>
#include <QString>
#include <QVariant>

#include <vector>

namespace Rs {
Q_NAMESPACE

enum TrsStorageOption { soSaveOnClose = 1, soSaveEmptySection = 2 };
Q_DECLARE_FLAGS(TrsStorageOptions, TrsStorageOption)
Q_FLAG_NS(TrsStorageOptions)

// The kinds of value a key holds.
enum TrsValueKind {
  vkEmpty,
  vkText,
  vkBinary,
  vkInteger,
  vkFloat,
  vkCurrency,
  vkDateTime,
  vkBoolean,
  vkPoint,
  vkInt64
};
Q_ENUM_NS(TrsValueKind)
}  // namespace Rs

Q_DECLARE_OPERATORS_FOR_FLAGS(Rs::TrsStorageOptions)
// Named unqualified everywhere; the namespace exists for the meta-object system.
using Rs::TrsStorageOption;
using enum Rs::TrsStorageOption;
using Rs::TrsValueKind;
using enum Rs::TrsValueKind;
using Rs::TrsStorageOptions;

// The storage's own failures: a key read in a kind its value does not convert
// to.
class TrsException : public Exception {
  using Exception::Exception;
};

// A key's value: its kind and the payload that goes with it. Only the fields
// of the kind are meaningful.
struct TrsValue {
  TrsValueKind Kind = vkEmpty;
  QString Text;        // vkText
  QByteArray Binary;   // vkBinary
  qint64 Integer = 0;  // vkInteger (32-bit range), vkInt64, vkCurrency (amount * 10000), vkBoolean (0 or 1)
  double Float = 0;    // vkFloat, vkDateTime
  QPoint Point;        // vkPoint

  void Clear() { *this = TrsValue(); }
  bool operator==(const TrsValue& other) const;
};

// One key: its name as created, the id of its section (0 = top level) and its
// value.
struct TrsKeyItem {
  QString Name;
  int SectionId = 0;
  TrsValue Value;
};

// One section: its name, its id (1, 2, ... in order of creation) and its
// parent's id (0 = top level).
struct TrsSection {
  QString Name;
  int Id = 0;
  int ParentId = 0;
};

class TrsStorage;

// Typed access to one key's value. It points at a key of a storage, or at a
// key of the caller's own outside any storage; the storage only supplies the
// key's path for error messages.
class TrsKeyWrapper {
public:
  TrsKeyWrapper() = default;
  explicit TrsKeyWrapper(TrsKeyItem* key, const TrsStorage* storage = nullptr) : FKey(key), FStorage(storage) {}

  void SetKey(TrsKeyItem* key, const TrsStorage* storage = nullptr) {
    FKey = key;
    FStorage = storage;
  }
  TrsKeyItem* Key() const { return FKey; }
  bool Assigned() const { return FKey != nullptr; }
  // The kind of the key's value; vkEmpty without a key.
  TrsValueKind Kind() const;
  const TrsValue& Value() const;
  // "\", the path of the key's section, "\" and the key's name.
  QString Path() const;

  // Conversions of the stored value. A kind that does not convert raises
  // TrsException; text that is no number raises EConvertError. Rounding goes
  // to the nearest integer, halves to even.
  int AsInteger() const;
  qint64 AsInt64() const;
  double AsFloat() const;
  QString AsString() const;
  // Text and binary as a string, integer as int, float as double, currency as
  // TCurrency, date-time as QDateTime, boolean as bool, int64 as qint64; empty
  // and point as an invalid variant.
  QVariant AsVariant() const;

  // Storing replaces both kind and payload. Without a key they do nothing.
  void Clear();
  void SetString(const QString& value);
  void SetBinary(const QByteArray& value);
  void SetInteger(int value);
  void SetFloat(double value);
  void SetCurrency(TCurrency value);
  void SetDateTime(TDateTime value);
  void SetBoolean(bool value);
  void SetPoint(const QPoint& value);
  void SetInt64(qint64 value);
  // The kind follows the variant's type as AsVariant gives it (QByteArray
  // gives binary, other integer types int64, other types text); an invalid
  // variant gives empty.
  void SetVariant(const QVariant& value);
  // Copies the kind and payload of another key.
  void AssignValue(const TrsKeyItem& source);

private:
  [[noreturn]] void Refuse(const char* kindName) const;
  TrsKeyItem* FKey = nullptr;
  const TrsStorage* FStorage = nullptr;
};

// Encrypts and decrypts key values. The storage only keeps the reference.
class TrsKeyEncryptor : public TComponent {
  Q_OBJECT
public:
  explicit TrsKeyEncryptor(TComponent* owner = nullptr) : TComponent(owner) {}
  virtual QByteArray Encrypt(const QByteArray& data) { return data; }
  virtual QByteArray Decrypt(const QByteArray& data) { return data; }
};

// Back-end that fills a storage's tree and writes it out. It keeps the list of
// storages bound to it and the one it is serving at the moment. Freed, it
// saves the bound storages in its teardown, while it can still write them.
class TrsStorageData : public TComponent {
  Q_OBJECT
public:
  explicit TrsStorageData(TComponent* owner = nullptr);
  ~TrsStorageData() override;

  int StorageCount() const { return static_cast<int>(FStorages.size()); }
  TrsStorage* Storages(int index) const;
  // The storage being loaded or saved, or none.
  TrsStorage* CurrentStorage() const { return FCurrent; }

  // Run by the storage: serve it for the duration of the call.
  void Load(TrsStorage& storage);
  void Save(TrsStorage& storage);

protected:
  // Overridables, in this order: progress while loading or saving, fill the
  // tree, write the tree. Load and save do nothing here.
  virtual void DoProgress(int position, int count);
  virtual void LoadData(TrsStorage& storage);
  virtual void SaveData(TrsStorage& storage);
  // Deactivates (and so saves) every bound storage, then forgets it. Errors
  // are shown through the application's error display, never thrown.
  void UnbindStorages() noexcept;
  // The teardown: saves and unbinds the storages.
  void BeforeDestruction() override;

private:
  friend class TrsStorage;
  void AddStorage(TrsStorage* storage);
  void RemoveStorage(TrsStorage* storage);
  std::vector<TrsStorage*> FStorages;
  TrsStorage* FCurrent = nullptr;
};

// A window's settings: the tree in memory, the key operations and the life
// cycle that decides when the back-end loads and saves.
class TrsStorage : public TComponent {
  Q_OBJECT
  Q_PROPERTY(bool Active READ Active WRITE SetActive)
  Q_PROPERTY(TrsKeyEncryptor* Encryptor READ Encryptor WRITE SetEncryptor)
  Q_PROPERTY(TrsStorageData* StorageData READ StorageData WRITE SetStorageData)
  Q_PROPERTY(QString RootSection READ RootSection WRITE SetRootSection)
  Q_PROPERTY(Rs::TrsStorageOptions Options READ Options WRITE SetOptions)
  Q_PROPERTY(TNotifyEvent OnAfterLoad READ OnAfterLoad WRITE SetOnAfterLoad)
  Q_PROPERTY(TNotifyEvent OnAfterSave READ OnAfterSave WRITE SetOnAfterSave)
  Q_PROPERTY(TNotifyEvent OnBeforeLoad READ OnBeforeLoad WRITE SetOnBeforeLoad)
  Q_PROPERTY(TNotifyEvent OnBeforeSave READ OnBeforeSave WRITE SetOnBeforeSave)
  Q_PROPERTY(TNotifyEvent OnKeyAdd READ OnKeyAdd WRITE SetOnKeyAdd)
  Q_PROPERTY(TNotifyEvent OnKeyDeletion READ OnKeyDeletion WRITE SetOnKeyDeletion)
public:
  explicit TrsStorage(TComponent* owner = nullptr);
  // Writes nothing: a storage that is freed deactivates (saving with
  // soSaveOnClose) in its teardown, where errors are shown, not thrown.
  ~TrsStorage() override;

  // Assigned while a definition is applied, activation waits for Loaded().
  // Activating loads the tree; deactivating saves it with soSaveOnClose.
  bool Active() const { return FActive; }
  void SetActive(bool active);
  TrsKeyEncryptor* Encryptor() const { return FEncryptor; }
  void SetEncryptor(TrsKeyEncryptor* encryptor);
  TrsStorageData* StorageData() const { return FStorageData; }
  void SetStorageData(TrsStorageData* data);
  // Path of the current section; assigning creates the missing sections.
  // "\" and "/" separate names; "" is the top level.
  QString RootSection() const;
  void SetRootSection(const QString& path);
  TrsStorageOptions Options() const { return FOptions; }
  void SetOptions(TrsStorageOptions options) { FOptions = options; }

  TNotifyEvent OnAfterLoad() const { return FOnAfterLoad; }
  void SetOnAfterLoad(const TNotifyEvent& e) { FOnAfterLoad = e; }
  TNotifyEvent OnAfterSave() const { return FOnAfterSave; }
  void SetOnAfterSave(const TNotifyEvent& e) { FOnAfterSave = e; }
  TNotifyEvent OnBeforeLoad() const { return FOnBeforeLoad; }
  void SetOnBeforeLoad(const TNotifyEvent& e) { FOnBeforeLoad = e; }
  TNotifyEvent OnBeforeSave() const { return FOnBeforeSave; }
  void SetOnBeforeSave(const TNotifyEvent& e) { FOnBeforeSave = e; }
  // Told after a key was created and before one is deleted; Key() points at it.
  TNotifyEvent OnKeyAdd() const { return FOnKeyAdd; }
  void SetOnKeyAdd(const TNotifyEvent& e) { FOnKeyAdd = e; }
  TNotifyEvent OnKeyDeletion() const { return FOnKeyDeletion; }
  void SetOnKeyDeletion(const TNotifyEvent& e) { FOnKeyDeletion = e; }

  // --- Keys ------------------------------------------------------------------
  // A name without separator names a key of the current section; otherwise the
  // part before the last separator is a section path, relative to the current
  // section or, after a leading separator, to the top level. With `create`
  // missing sections and the key (empty) are made. Key() then points at the
  // key found (or at none).
  TrsKeyItem* FindKey(const QString& name, bool create = false);
  bool KeyExists(const QString& name);
  QString ReadString(const QString& name, const QString& def = QString());
  void WriteString(const QString& name, const QString& value);
  void DeleteKey(const QString& name);
  // The wrapper at the key found last.
  TrsKeyWrapper& Key() { return FKey; }

  // --- Life cycle ------------------------------------------------------------
  // Empties the tree and has the back-end fill it.
  void Load();
  // Has the back-end write the tree; the current section is kept.
  void Save();
  // Removes every key and section; ids start again at 1, the current section
  // is the top level.
  void Clear();

  // --- The tree, for back-ends ---------------------------------------------
  // Sections sorted by parent id, then name; keys by section id, then name.
  int SectionCount() const { return static_cast<int>(FSections.size()); }
  const TrsSection& Sections(int index) const;
  int KeyCount() const { return static_cast<int>(FKeys.size()); }
  const TrsKeyItem& Keys(int index) const;
  TrsKeyItem& Keys(int index);
  int SectionCapacity() const { return static_cast<int>(FSections.capacity()); }
  int KeyCapacity() const { return static_cast<int>(FKeys.capacity()); }
  // Room for at least this many entries in all, so that a load does not grow
  // the arrays step by step.
  void ReserveSections(int count);
  void ReserveKeys(int count);
  // Id of the current section (0 = top level).
  int CurrentSectionId() const { return FCurrentSection; }
  // Sections of a path joined by "\" ("" for the top level, id 0).
  QString SectionPath(int sectionId) const;
  // The section with that name under `parentId`, or -1.
  int FindSection(int parentId, const QString& name) const;
  // The key with that name in the section; Key() points at it.
  TrsKeyItem* FindSectionKey(int sectionId, const QString& name, bool create);
  // The id the next new section gets.
  int NextSectionId() const { return FNextSectionId; }
  // Replaces the whole tree at once, for a back-end that builds it in bulk:
  // sections and keys in any order, each name once under its parent or in
  // its section (ignoring ASCII case); they are sorted here.
  void AdoptTree(std::vector<TrsSection> sections, std::vector<TrsKeyItem> keys, int nextSectionId, int currentSection);

protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void BeforeDestruction() override;

private:
  int SectionIndexOf(int parentId, const QString& name, bool& found) const;
  int KeyIndexOf(int sectionId, const QString& name, bool& found) const;
  int SectionById(int id) const;
  int EnsureSection(int parentId, const QString& name);
  int ResolvePath(const QString& path, int from, bool create);
  void UpdateCurrentRange();
  void ResetCache();
  template <class T>
  static void GrowFor(std::vector<T>& array, size_t needed);
  template <class T>
  static void ShrinkAfterDelete(std::vector<T>& array);

  bool FActive = false;
  bool FActivatePending = false;
  TrsKeyEncryptor* FEncryptor = nullptr;
  TrsStorageData* FStorageData = nullptr;
  TrsStorageOptions FOptions = soSaveOnClose;
  std::vector<TrsSection> FSections;
  std::vector<TrsKeyItem> FKeys;
  int FNextSectionId = 1;
  int FCurrentSection = 0;
  // Keys of the current section: [FRangeStart, FRangeEnd).
  int FRangeStart = 0;
  int FRangeEnd = 0;
  // The key resolved last: its index, section and name, checked before use.
  int FLastIndex = -1;
  int FLastSection = 0;
  QString FLastName;
  TrsKeyWrapper FKey;
  TNotifyEvent FOnAfterLoad, FOnAfterSave, FOnBeforeLoad, FOnBeforeSave, FOnKeyAdd, FOnKeyDeletion;
};

// Base of components that work on a storage. The reference is cleared when
// the storage goes away.
class TrsStorageClient : public TComponent {
  Q_OBJECT
  Q_PROPERTY(TrsStorage* Storage READ Storage WRITE SetStorage)
public:
  explicit TrsStorageClient(TComponent* owner = nullptr) : TComponent(owner) {}
  ~TrsStorageClient() override;
  TrsStorage* Storage() const { return FStorage; }
  virtual void SetStorage(TrsStorage* storage);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TrsStorage* FStorage = nullptr;
};

// Makes TrsStorage and TrsIniData known to window definitions.
void RegisterStorageClasses();
