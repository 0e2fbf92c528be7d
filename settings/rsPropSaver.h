// The property saver: copies listed component properties of its window, and
// the window's placement, into keys of a settings storage and back, on the
// window events it hooks.
#pragma once

#include "rsStorage.h"

#include "Classes.h"
#include "Events.h"
#include "Forms.h"

#include <QFlags>
#include <QPointer>
#include <QString>

#include <memory>

namespace RsSaver {
Q_NAMESPACE

enum TrsPropSaverFormPlacement { pfpPlacement = 1, pfpSize = 2, pfpState = 4 };
Q_DECLARE_FLAGS(TrsPropSaverFormPlacements, TrsPropSaverFormPlacement)
Q_FLAG_NS(TrsPropSaverFormPlacements)

enum TrsPropSaverOption {
  poStoreFormPlacement = 1,
  poStoreDefValues = 2,
  poEncryptFormPlacement = 4,
  poNotRestoreCollectionItemsCount = 8
};
Q_DECLARE_FLAGS(TrsPropSaverOptions, TrsPropSaverOption)
Q_FLAG_NS(TrsPropSaverOptions)

enum TrsPropSaverLoad { wlManual, wlOnActivate, wlOnCreate, wlOnShow };
Q_ENUM_NS(TrsPropSaverLoad)

enum TrsPropSaverSave { wsManual, wsOnClose, wsOnDeactivate, wsOnDestroy, wsOnHide };
Q_ENUM_NS(TrsPropSaverSave)
}  // namespace RsSaver

Q_DECLARE_OPERATORS_FOR_FLAGS(RsSaver::TrsPropSaverFormPlacements)
Q_DECLARE_OPERATORS_FOR_FLAGS(RsSaver::TrsPropSaverOptions)
// Named unqualified everywhere; the namespace exists for the meta-object system.
using RsSaver::TrsPropSaverFormPlacement;
using enum RsSaver::TrsPropSaverFormPlacement;
using RsSaver::TrsPropSaverOption;
using enum RsSaver::TrsPropSaverOption;
using RsSaver::TrsPropSaverLoad;
using enum RsSaver::TrsPropSaverLoad;
using RsSaver::TrsPropSaverSave;
using enum RsSaver::TrsPropSaverSave;
using RsSaver::TrsPropSaverFormPlacements;
using RsSaver::TrsPropSaverOptions;

// The parsed form of one line of a saver's Properties:
//   path[,default[,key]],FLAGS
// with FLAGS three or four letters: E (enabled, anything else disables);
// P plain property, C custom properties, U user events, V only removes the
// key; D load and save, R load only, W save only; an optional C lists the key
// for encryption. A line without flag group is a bare path.
class TrsProperty {
public:
  enum TKind { pkProperty, pkCustom, pkUser, pkVoid };
  enum TDirection { pdLoadSave, pdLoadOnly, pdSaveOnly };

  TrsProperty() = default;
  explicit TrsProperty(const QString& line) { Parse(line); }
  // Replaces the whole state with that of the line.
  void Parse(const QString& line);

  QString Path;
  QString DefaultValue;
  // Empty when the line names no key of its own; KeyName() then gives the path.
  QString Key;
  bool Enabled = true;
  TKind Kind = pkProperty;
  TDirection Direction = pdLoadSave;
  bool Encrypted = false;

  QString KeyName() const { return Key.isEmpty() ? Path : Key; }
  bool HasDefault() const { return !DefaultValue.isEmpty(); }
  bool Loads() const { return Direction != pdSaveOnly; }
  bool Saves() const { return Direction != pdLoadOnly; }
};

// Keeps the values of listed properties of its window (one dotted path a line
// in Properties) and the window's placement (key "FormPlacement") in the keys
// of RootSection of its storage. WhenLoad and WhenSave choose the window
// events that load and save; the window's own handlers of those events are
// kept and still run.
class TrsPropSaver : public TrsStorageClient {
  Q_OBJECT
  Q_PROPERTY(bool Active READ Active WRITE SetActive)
  Q_PROPERTY(TComponent* CustomProperties READ CustomProperties WRITE SetCustomProperties)
  Q_PROPERTY(
      RsSaver::TrsPropSaverFormPlacements FormPlacementOptions READ FormPlacementOptions WRITE SetFormPlacementOptions)
  Q_PROPERTY(RsSaver::TrsPropSaverOptions Options READ Options WRITE SetOptions)
  Q_PROPERTY(TStrings* Properties READ Properties WRITE SetProperties)
  Q_PROPERTY(QString RootSection READ RootSection WRITE SetRootSection)
  Q_PROPERTY(RsSaver::TrsPropSaverLoad WhenLoad READ WhenLoad WRITE SetWhenLoad)
  Q_PROPERTY(RsSaver::TrsPropSaverSave WhenSave READ WhenSave WRITE SetWhenSave)
  Q_PROPERTY(TNotifyEvent OnAfterLoad READ OnAfterLoad WRITE SetOnAfterLoad)
  Q_PROPERTY(TNotifyEvent OnAfterSave READ OnAfterSave WRITE SetOnAfterSave)
  Q_PROPERTY(TNotifyEvent OnBeforeLoad READ OnBeforeLoad WRITE SetOnBeforeLoad)
  Q_PROPERTY(TNotifyEvent OnBeforeSave READ OnBeforeSave WRITE SetOnBeforeSave)
public:
  explicit TrsPropSaver(TComponent* owner = nullptr);
  // Puts the window's own handlers back into the hooked events.
  ~TrsPropSaver() override;

  // When False the hooks only run the window's own handlers.
  bool Active() const { return FActive; }
  void SetActive(bool active) { FActive = active; }
  // An add-in that exchanges the values of "C" lines; none is known, so such
  // lines load nothing and save nothing.
  TComponent* CustomProperties() const { return FCustomProperties; }
  void SetCustomProperties(TComponent* component);
  // Which parts of a stored placement are applied. Non-empty switches
  // poStoreFormPlacement on, empty switches it off.
  TrsPropSaverFormPlacements FormPlacementOptions() const { return FFormPlacementOptions; }
  void SetFormPlacementOptions(TrsPropSaverFormPlacements options);
  // Switching poStoreFormPlacement on selects every placement part, off none.
  TrsPropSaverOptions Options() const { return FOptions; }
  void SetOptions(TrsPropSaverOptions options);
  TStrings* Properties() const { return FProperties.get(); }
  void SetProperties(TStrings* lines);
  QString RootSection() const { return FRootSection; }
  void SetRootSection(const QString& section) { FRootSection = section; }
  // Choosing an event gives the previously hooked one its handler back.
  TrsPropSaverLoad WhenLoad() const { return FWhenLoad; }
  void SetWhenLoad(TrsPropSaverLoad when);
  TrsPropSaverSave WhenSave() const { return FWhenSave; }
  void SetWhenSave(TrsPropSaverSave when);

  TNotifyEvent OnAfterLoad() const { return FOnAfterLoad; }
  void SetOnAfterLoad(const TNotifyEvent& e) { FOnAfterLoad = e; }
  TNotifyEvent OnAfterSave() const { return FOnAfterSave; }
  void SetOnAfterSave(const TNotifyEvent& e) { FOnAfterSave = e; }
  TNotifyEvent OnBeforeLoad() const { return FOnBeforeLoad; }
  void SetOnBeforeLoad(const TNotifyEvent& e) { FOnBeforeLoad = e; }
  TNotifyEvent OnBeforeSave() const { return FOnBeforeSave; }
  void SetOnBeforeSave(const TNotifyEvent& e) { FOnBeforeSave = e; }

  // Applies the stored keys to the listed properties, then the stored
  // placement. Errors propagate; the lines after the failing one are not
  // applied.
  void LoadProperties();
  // Stores the listed properties and the placement as keys.
  void SaveProperties();

  // The window whose properties and events the saver works on: the first
  // owner up the chain that is a window, or none.
  TCustomForm* OwnerForm() const { return FOwnerForm; }

  // The placement of a window as the ten numbers of the "FormPlacement" key.
  static QString FormPlacementText(const TCustomForm& form);
  // Applies such a text; any other number of fields is ignored, a field that
  // is no integer raises EConvertError before anything is changed.
  static void ApplyFormPlacement(TCustomForm& form, const QString& text, TrsPropSaverFormPlacements options);

protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  struct Target;
  // The saver's own path rules: class-typed properties first, else owned
  // components; a single name that is no property may name a component.
  Target Resolve(QObject* start, const QString& path) const;
  void LoadLine();
  bool SaveLine();
  void InstallLoadHook();
  void InstallSaveHook();
  void RemoveLoadHook() noexcept;
  void RemoveSaveHook() noexcept;

  friend struct TrsLoadHook;
  friend struct TrsSaveHook;
  friend struct TrsCloseQueryHook;
  // Errors are shown through the application's error display.
  void RunLoadHook();
  void RunSaveHook();

  bool FActive = true;
  TComponent* FCustomProperties = nullptr;
  TrsPropSaverFormPlacements FFormPlacementOptions = TrsPropSaverFormPlacements(pfpPlacement | pfpSize | pfpState);
  TrsPropSaverOptions FOptions = TrsPropSaverOptions(poStoreFormPlacement | poStoreDefValues);
  std::unique_ptr<TStringList> FProperties;
  QString FRootSection;
  TrsPropSaverLoad FWhenLoad = wlManual;
  TrsPropSaverSave FWhenSave = wsManual;
  // The events actually hooked; while the window is being built they wait
  // for Loaded(), so that the window's own handlers are in place first.
  TrsPropSaverLoad FHookedLoad = wlManual;
  TrsPropSaverSave FHookedSave = wsManual;
  // Raised whenever a hook is taken out, so that a hook left behind in a
  // chain (another handler installed over it) no longer acts.
  int FLoadGeneration = 0;
  int FSaveGeneration = 0;
  QPointer<TCustomForm> FOwnerForm;
  // One parsed line, one key outside the storage and a wrapper over either,
  // reused for every line.
  TrsProperty FProperty;
  TrsKeyItem FTempKey;
  TrsKeyWrapper FWrapper;
  TNotifyEvent FOnAfterLoad, FOnAfterSave, FOnBeforeLoad, FOnBeforeSave;
};

// Makes the storage, its INI back-end and the property saver known to window
// definitions.
void RegisterSettingsClasses();
