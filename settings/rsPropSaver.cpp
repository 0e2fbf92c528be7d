#include "rsPropSaver.h"

#include "rsStreaming.h"

#include "Definition.h"
#include "Dispatch.h"
#include "Forms.h"
#include "Placement.h"
#include "SysUtils.h"
#include "TypeInfo.h"

#include <QWidget>

#include <algorithm>
#include <limits>
#include <optional>

// ---------------------------------------------------------------- TrsProperty

namespace {
QString Unquote(const QString& text) {
  if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
    return text.mid(1, text.size() - 2);
  return text;
}
}  // namespace

void TrsProperty::Parse(const QString& line) {
  *this = TrsProperty();
  QString s = line;
  const qsizetype n = s.size();
  QString flags;
  if (n >= 3 && !s.endsWith(QLatin1Char(','))) {
    if (n >= 4 && s[n - 4] == QLatin1Char(','))
      flags = s.right(3);
    else if (n >= 5 && s[n - 5] == QLatin1Char(','))
      flags = s.right(4);
    s.chop(flags.size());
  }
  if (!flags.isEmpty()) {
    Enabled = flags[0] == QLatin1Char('E');
    switch (flags[1].unicode()) {
      case 'C': Kind = pkCustom; break;
      case 'U': Kind = pkUser; break;
      case 'V': Kind = pkVoid; break;
      default: Kind = pkProperty; break;
    }
    switch (flags[2].unicode()) {
      case 'R': Direction = pdLoadOnly; break;
      case 'W': Direction = pdSaveOnly; break;
      default: Direction = pdLoadSave; break;
    }
    Encrypted = flags.size() == 4 && flags[3] == QLatin1Char('C');
  }
  if (!s.endsWith(QLatin1Char(','))) {
    Path = s;
    return;
  }
  const qsizetype firstComma = s.indexOf(QLatin1Char(','));
  // A key name stands only after a quoted default: path,"default","key",
  const qsizetype keyMark = s.indexOf(QStringLiteral("\",\""), firstComma + 1);
  QString body;
  if (keyMark >= 0 && keyMark + 2 < s.size() - 1) {
    Key = Unquote(s.mid(keyMark + 2, s.size() - 1 - (keyMark + 2)));
    body = s.left(keyMark + 1);
  } else {
    body = s.left(s.size() - 1);
  }
  const qsizetype comma = body.indexOf(QLatin1Char(','));
  if (comma >= 0) {
    Path = body.left(comma);
    DefaultValue = Unquote(body.mid(comma + 1));
  } else {
    Path = body;
  }
}

// ---------------------------------------------------------------- hooks

namespace {

void ShowSaverError() noexcept {
  try {
    if (Application)
      Application->HandleException(std::current_exception());
    else
      HandleCurrentException();
  } catch (...) {
    // The error display failed; the window goes on regardless.
  }
}

// The window event a saver loads on, by its published name; none for a
// manual load.
const char* LoadEventName(TrsPropSaverLoad when) {
  switch (when) {
    case wlOnActivate: return "OnActivate";
    case wlOnCreate: return "OnCreate";
    case wlOnShow: return "OnShow";
    default: return nullptr;
  }
}

// The window event a saver saves on: a save on closing goes with the close
// query, so that a vetoed close saves nothing.
const char* SaveEventName(TrsPropSaverSave when) {
  switch (when) {
    case wsOnClose: return "OnCloseQuery";
    case wsOnDeactivate: return "OnDeactivate";
    case wsOnDestroy: return "OnDestroy";
    case wsOnHide: return "OnHide";
    default: return nullptr;
  }
}

// The window's published event `name`; invalid when it has none.
TPropInfo WindowEvent(const TCustomForm* form, const char* name) {
  if (!form || !name) return TPropInfo();
  return GetPropInfo(form, QString::fromLatin1(name), true);
}

// Replaces the event's handler with `Hook`, which keeps it and runs it.
template <class E, class Hook>
bool InstallHook(TCustomForm* form, const char* name, TrsPropSaver* saver, int generation) {
  const TPropInfo prop = WindowEvent(form, name);
  if (!prop.IsValid()) return false;
  E event = GetMethodProp(form, prop).template value<E>();
  event.Fn = Hook{saver, generation, event};
  SetMethodProp(form, prop, QVariant::fromValue(event));
  return true;
}

// Gives the event back its kept handler, when it still holds this saver's
// hook of that generation.
template <class E, class Hook>
void RemoveHook(TCustomForm* form, const char* name, const TrsPropSaver* saver, int generation) {
  const TPropInfo prop = WindowEvent(form, name);
  if (!prop.IsValid()) return;
  const E event = GetMethodProp(form, prop).template value<E>();
  if (const auto* hook = event.Fn.template target<Hook>();
      hook && hook->saver == saver && hook->generation == generation) {
    const E kept = hook->kept;
    SetMethodProp(form, prop, QVariant::fromValue(kept));
  }
}

}  // namespace

// What the saver installs into a window event. It carries the handler that
// was there before, so the chain survives even a saver that could not take
// itself out again (another hook installed over it); such a stale hook finds
// its saver gone or its generation outdated and only runs the kept handler.
struct TrsLoadHook {
  QPointer<TrsPropSaver> saver;
  int generation = 0;
  TNotifyEvent kept;
  void operator()(TObject* sender) const {
    // Copies first: the saver may re-hook while it runs, replacing this object.
    const QPointer<TrsPropSaver> s = saver;
    const TNotifyEvent next = kept;
    if (s && s->FLoadGeneration == generation) s->RunLoadHook();
    next(sender);
  }
};

struct TrsSaveHook {
  QPointer<TrsPropSaver> saver;
  int generation = 0;
  TNotifyEvent kept;
  void operator()(TObject* sender) const {
    const QPointer<TrsPropSaver> s = saver;
    const int g = generation;
    const TNotifyEvent next = kept;
    next(sender);
    if (s && s->FSaveGeneration == g) s->RunSaveHook();
  }
};

struct TrsCloseQueryHook {
  QPointer<TrsPropSaver> saver;
  int generation = 0;
  TCloseQueryEvent kept;
  void operator()(TObject* sender, bool& canClose) const {
    const QPointer<TrsPropSaver> s = saver;
    const int g = generation;
    const TCloseQueryEvent next = kept;
    next(sender, canClose);
    // A close the window's own handler vetoes saves nothing.
    if (canClose && s && s->FSaveGeneration == g) s->RunSaveHook();
  }
};

// ---------------------------------------------------------------- TrsPropSaver

struct TrsPropSaver::Target {
  QObject* object = nullptr;    // holder of the property
  TPropInfo prop;               // invalid when the last segment names no property
  TComponent* whole = nullptr;  // a component kept as a whole
};

TrsPropSaver::TrsPropSaver(TComponent* owner) : TrsStorageClient(owner), FProperties(std::make_unique<TStringList>()) {
  for (TComponent* o = owner; o; o = o->Owner())
    if (auto* form = qobject_cast<TCustomForm*>(o)) {
      FOwnerForm = form;
      break;
    }
}

TrsPropSaver::~TrsPropSaver() {
  RemoveLoadHook();
  RemoveSaveHook();
}

void TrsPropSaver::SetCustomProperties(TComponent* component) {
  if (FCustomProperties == component) return;
  SetReference(FCustomProperties, component);
}

void TrsPropSaver::Notification(TComponent* component, TOperation operation) {
  TrsStorageClient::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FCustomProperties) FCustomProperties = nullptr;
}

void TrsPropSaver::SetFormPlacementOptions(TrsPropSaverFormPlacements options) {
  FFormPlacementOptions = options;
  if (options)
    FOptions |= poStoreFormPlacement;
  else
    FOptions &= ~TrsPropSaverOptions(poStoreFormPlacement);
}

void TrsPropSaver::SetOptions(TrsPropSaverOptions options) {
  const bool had = FOptions.testFlag(poStoreFormPlacement);
  const bool has = options.testFlag(poStoreFormPlacement);
  FOptions = options;
  if (has && !had) FFormPlacementOptions = TrsPropSaverFormPlacements(pfpPlacement | pfpSize | pfpState);
  if (!has && had) FFormPlacementOptions = {};
}

void TrsPropSaver::SetProperties(TStrings* lines) {
  if (lines && lines != FProperties.get()) FProperties->Assign(lines);
}

void TrsPropSaver::SetWhenLoad(TrsPropSaverLoad when) {
  FWhenLoad = when;
  // While the window is built its own handlers may still be assigned after
  // this; the hook waits for Loaded() so that it chains them.
  if (Loading()) return;
  RemoveLoadHook();
  InstallLoadHook();
}

void TrsPropSaver::SetWhenSave(TrsPropSaverSave when) {
  FWhenSave = when;
  if (Loading()) return;
  RemoveSaveHook();
  InstallSaveHook();
}

void TrsPropSaver::Loaded() {
  TrsStorageClient::Loaded();
  RemoveLoadHook();
  InstallLoadHook();
  RemoveSaveHook();
  InstallSaveHook();
}

void TrsPropSaver::InstallLoadHook() {
  if (InstallHook<TNotifyEvent, TrsLoadHook>(FOwnerForm.data(), LoadEventName(FWhenLoad), this, FLoadGeneration + 1)) {
    ++FLoadGeneration;
    FHookedLoad = FWhenLoad;
  }
}

void TrsPropSaver::InstallSaveHook() {
  const char* name = SaveEventName(FWhenSave);
  const bool installed =
      FWhenSave == wsOnClose
          ? InstallHook<TCloseQueryEvent, TrsCloseQueryHook>(FOwnerForm.data(), name, this, FSaveGeneration + 1)
          : InstallHook<TNotifyEvent, TrsSaveHook>(FOwnerForm.data(), name, this, FSaveGeneration + 1);
  if (installed) {
    ++FSaveGeneration;
    FHookedSave = FWhenSave;
  }
}

void TrsPropSaver::RemoveLoadHook() noexcept {
  const TrsPropSaverLoad hooked = FHookedLoad;
  FHookedLoad = wlManual;
  // Whatever happens below, a hook of the old generation no longer loads.
  const int generation = FLoadGeneration++;
  try {
    RemoveHook<TNotifyEvent, TrsLoadHook>(FOwnerForm.data(), LoadEventName(hooked), this, generation);
  } catch (...) {
    ShowSaverError();
  }
}

void TrsPropSaver::RemoveSaveHook() noexcept {
  const TrsPropSaverSave hooked = FHookedSave;
  FHookedSave = wsManual;
  const int generation = FSaveGeneration++;
  try {
    if (hooked == wsOnClose)
      RemoveHook<TCloseQueryEvent, TrsCloseQueryHook>(FOwnerForm.data(), SaveEventName(hooked), this, generation);
    else
      RemoveHook<TNotifyEvent, TrsSaveHook>(FOwnerForm.data(), SaveEventName(hooked), this, generation);
  } catch (...) {
    ShowSaverError();
  }
}

void TrsPropSaver::RunLoadHook() {
  if (!FActive) return;
  try {
    LoadProperties();
  } catch (...) {
    ShowSaverError();
  }
}

void TrsPropSaver::RunSaveHook() {
  if (!FActive || !FOwnerForm) return;
  try {
    SaveProperties();
  } catch (...) {
    ShowSaverError();
  }
}

// ---------------------------------------------------------------- paths

TrsPropSaver::Target TrsPropSaver::Resolve(QObject* start, const QString& path) const {
  Target target;
  if (!start || path.isEmpty()) return target;
  const QStringList segments = path.split(QLatin1Char('.'));
  QObject* object = start;
  for (qsizetype i = 0; i + 1 < segments.size(); ++i) {
    const TPropInfo prop = GetPropInfo(object, segments[i]);
    if (prop.IsValid() && prop.Kind() == tkClass)
      object = GetObjectProp(object, prop);
    else if (auto* component = qobject_cast<TComponent*>(object))
      object = component->FindComponent(segments[i]);
    else
      return target;
    if (!object) return target;
  }
  target.object = object;
  target.prop = GetPropInfo(object, segments.back());
  if (segments.size() == 1 && !target.prop.IsValid())
    if (auto* component = qobject_cast<TComponent*>(start)) target.whole = component->FindComponent(segments.back());
  return target;
}

namespace {

bool IsReferenceType(const TPropInfo& prop) {
  const QMetaObject* cls = prop.ClassType();
  return cls && cls->inherits(&TComponent::staticMetaObject);
}

// Every member bit of a set type.
qint64 AllMembers(const TPropInfo& prop) {
  const QMetaEnum e = prop.Enumerator();
  qint64 mask = 0;
  for (int i = 0; i < e.keyCount(); ++i) mask |= e.value(i);
  return mask;
}

// The members a stored set text names: "[fsBold,fsItalic]" or the same
// without brackets. None when a name is no member.
std::optional<qint64> ParseSet(const TPropInfo& prop, QString text) {
  if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))) text = text.mid(1, text.size() - 2);
  const QStringList names = GetSetNames(prop);
  qint64 mask = 0;
  for (const QString& part : text.split(QLatin1Char(','))) {
    const QString name = part.trimmed();
    if (name.isEmpty()) continue;
    const auto it = std::find_if(names.begin(), names.end(), [&](const QString& n) { return SameText(n, name); });
    if (it == names.end()) return std::nullopt;
    const auto bit = StringToSet(prop, *it);
    if (!bit) return std::nullopt;
    mask |= *bit;
  }
  return mask;
}

}  // namespace

// ---------------------------------------------------------------- load

void TrsPropSaver::LoadProperties() {
  TrsStorage* storage = Storage();
  if (!storage) return;
  if (FOnBeforeLoad) FOnBeforeLoad(this);
  storage->SetRootSection(FRootSection);
  for (int i = 0; i < FProperties->Count(); ++i) {
    FProperty.Parse(FProperties->Get(i));
    if (!FProperty.Enabled || !FProperty.Loads() || FProperty.Path.isEmpty()) continue;
    // "V" lines only ever remove their key; "U" lines would need events this
    // saver does not offer; "C" lines need an add-in to read from.
    if (FProperty.Kind == TrsProperty::pkVoid || FProperty.Kind == TrsProperty::pkUser) continue;
    if (FProperty.Kind == TrsProperty::pkCustom && !FCustomProperties) continue;
    if (TrsKeyItem* key = storage->FindKey(FProperty.KeyName(), false)) {
      FWrapper.SetKey(key, storage);
    } else if (FProperty.HasDefault()) {
      FTempKey = TrsKeyItem();
      FTempKey.Name = FProperty.KeyName();
      FWrapper.SetKey(&FTempKey);
      FWrapper.SetString(FProperty.DefaultValue);
    } else {
      continue;
    }
    LoadLine();
  }
  FWrapper.SetKey(nullptr);
  if (FOptions.testFlag(poStoreFormPlacement) && FOwnerForm && storage->KeyExists(QStringLiteral("FormPlacement")))
    ApplyFormPlacement(*FOwnerForm, storage->ReadString(QStringLiteral("FormPlacement")), FFormPlacementOptions);
  if (FOnAfterLoad) FOnAfterLoad(this);
}

void TrsPropSaver::LoadLine() {
  QObject* start = FProperty.Kind == TrsProperty::pkCustom ? static_cast<QObject*>(FCustomProperties) : Owner();
  const Target t = Resolve(start, FProperty.Path);
  if (t.whole) {
    if (FWrapper.Kind() == vkBinary) ReadObjectProperties(t.whole, FWrapper.Value().Binary, Owner());
    return;
  }
  if (!t.object || !t.prop.IsValid()) return;
  QObject* object = t.object;
  const TPropInfo& prop = t.prop;
  if (prop.Kind() != tkClass && !prop.Writable()) return;
  switch (prop.Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar: SetOrdProp(object, prop, FWrapper.AsInteger()); return;
    case tkEnumeration:
      // A name that is no member of the type leaves the property as it is.
      if (const auto value = GetEnumValue(prop, FWrapper.AsString())) SetOrdProp(object, prop, *value);
      return;
    case tkSet: {
      if (FWrapper.Kind() == vkInteger) {
        const qint64 mask = static_cast<quint32>(FWrapper.AsInteger());
        if ((mask & ~AllMembers(prop)) == 0) SetOrdProp(object, prop, mask);
        return;
      }
      const QString text = FWrapper.AsString();
      if (text.isEmpty()) return;
      if (const auto mask = ParseSet(prop, text)) SetOrdProp(object, prop, *mask);
      return;
    }
    case tkFloat: SetFloatProp(object, prop, FWrapper.AsFloat()); return;
    case tkString:
    case tkLString:
    case tkWString: SetStrProp(object, prop, FWrapper.AsString()); return;
    case tkVariant: SetVariantProp(object, prop, FWrapper.AsVariant()); return;
    case tkInt64: SetInt64Prop(object, prop, FWrapper.AsInt64()); return;
    case tkClass: {
      if (IsReferenceType(prop)) {
        if (!prop.Writable()) return;
        if (TComponent* found = FindComponentReference(FWrapper.AsString(), Owner()))
          SetObjectProp(object, prop, found);
        return;
      }
      QObject* held = GetObjectProp(object, prop);
      if (auto* strings = qobject_cast<TStrings*>(held))
        strings->SetText(FWrapper.AsString());
      else if (held && FWrapper.Kind() == vkBinary)
        ReadObjectProperties(held, FWrapper.Value().Binary, Owner());
      return;
    }
    default: return;
  }
}

// ---------------------------------------------------------------- save

void TrsPropSaver::SaveProperties() {
  TrsStorage* storage = Storage();
  if (!storage) return;
  if (FOnBeforeSave) FOnBeforeSave(this);
  storage->SetRootSection(FRootSection);
  for (int i = 0; i < FProperties->Count(); ++i) {
    FProperty.Parse(FProperties->Get(i));
    if (!FProperty.Saves() || FProperty.Path.isEmpty()) continue;
    // Lines whose values travel through a channel this saver lacks keep
    // their keys as they are.
    if (FProperty.Enabled &&
        (FProperty.Kind == TrsProperty::pkUser || (FProperty.Kind == TrsProperty::pkCustom && !FCustomProperties)))
      continue;
    bool obtained = false;
    if (FProperty.Enabled && FProperty.Kind != TrsProperty::pkVoid) {
      FTempKey = TrsKeyItem();
      FTempKey.Name = FProperty.KeyName();
      FWrapper.SetKey(&FTempKey);
      obtained = SaveLine();
      // Only a line that has a default can hold the default: comparing with
      // the empty text would drop every emptied value, which then comes back
      // from the window definition on the next load.
      if (obtained && !FOptions.testFlag(poStoreDefValues) && FProperty.HasDefault() &&
          SameText(FWrapper.AsString(), FProperty.DefaultValue))
        obtained = false;
    }
    if (obtained) {
      TrsKeyItem* key = storage->FindKey(FProperty.KeyName(), true);
      TrsKeyWrapper(key, storage).AssignValue(FTempKey);
    } else {
      storage->DeleteKey(FProperty.KeyName());
    }
  }
  FWrapper.SetKey(nullptr);
  if (FOptions.testFlag(poStoreFormPlacement))
    storage->WriteString(QStringLiteral("FormPlacement"), FOwnerForm ? FormPlacementText(*FOwnerForm) : QString());
  if (FOnAfterSave) FOnAfterSave(this);
}

bool TrsPropSaver::SaveLine() {
  QObject* start = FProperty.Kind == TrsProperty::pkCustom ? static_cast<QObject*>(FCustomProperties) : Owner();
  const Target t = Resolve(start, FProperty.Path);
  if (t.whole) {
    FWrapper.SetBinary(StreamObjectProperties(t.whole, Owner()));
    return true;
  }
  if (!t.object || !t.prop.IsValid() || !t.prop.Readable()) return false;
  const QObject* object = t.object;
  const TPropInfo& prop = t.prop;
  switch (prop.Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar: FWrapper.SetInteger(static_cast<int>(GetOrdProp(object, prop))); return true;
    case tkEnumeration: FWrapper.SetString(GetEnumName(prop, GetOrdProp(object, prop))); return true;
    case tkSet: FWrapper.SetString(SetToString(prop, GetOrdProp(object, prop), true)); return true;
    case tkFloat: FWrapper.SetFloat(GetFloatProp(object, prop)); return true;
    case tkString:
    case tkLString:
    case tkWString: FWrapper.SetString(GetStrProp(object, prop)); return true;
    case tkVariant: FWrapper.SetVariant(GetVariantProp(object, prop)); return true;
    case tkInt64: FWrapper.SetInt64(GetInt64Prop(object, prop)); return true;
    case tkClass: {
      QObject* held = GetObjectProp(object, prop);
      if (IsReferenceType(prop)) {
        FWrapper.SetString(ComponentReferenceName(qobject_cast<TComponent*>(held), Owner()));
        return true;
      }
      if (auto* strings = qobject_cast<TStrings*>(held)) {
        FWrapper.SetString(strings->Text());
        return true;
      }
      if (!held) return false;
      FWrapper.SetBinary(StreamObjectProperties(held, Owner()));
      return true;
    }
    default: return false;
  }
}

// ---------------------------------------------------------------- placement

QString TrsPropSaver::FormPlacementText(const TCustomForm& form) {
  TWindowPlacement p = GetWindowPlacement(form);
  if (Application && Application->MainForm() == &form && Application->IsMinimized()) p.showCmd = SW_SHOWMINIMIZED;
  return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10")
      .arg(p.flags)
      .arg(p.showCmd)
      .arg(p.minPosition.x())
      .arg(p.minPosition.y())
      .arg(p.maxPosition.x())
      .arg(p.maxPosition.y())
      .arg(p.left)
      .arg(p.top)
      .arg(p.right)
      .arg(p.bottom);
}

namespace {
// Coordinates from a settings file are kept within what a window can take,
// so that no arithmetic on them overflows.
int Coordinate(qint64 value) {
  constexpr qint64 limit = QWIDGETSIZE_MAX;
  return static_cast<int>(std::clamp(value, -limit, limit));
}
}  // namespace

void TrsPropSaver::ApplyFormPlacement(TCustomForm& form, const QString& text, TrsPropSaverFormPlacements options) {
  const QStringList fields = text.split(QLatin1Char(','));
  if (fields.size() != 10) return;
  // Every field is checked before anything changes.
  int v[10];
  for (int i = 0; i < 10; ++i) v[i] = StrToInt(fields[i]);

  TWindowPlacement p = GetWindowPlacement(form);
  if (!IsWindowVisible(form)) p.showCmd = SW_HIDE;
  p.flags = v[0];
  p.minPosition = QPoint(v[2], v[3]);
  p.maxPosition = QPoint(v[4], v[5]);
  if (options.testFlag(pfpPlacement)) {
    p.left = Coordinate(v[6]);
    p.top = Coordinate(v[7]);
  } else {
    p.left = form.Left();
    p.top = form.Top();
  }
  // A rectangle turned inside out by a damaged file gives an empty window,
  // not a negative one.
  const qint64 width = options.testFlag(pfpSize) ? qint64(v[8]) - v[6] : form.Width();
  const qint64 height = options.testFlag(pfpSize) ? qint64(v[9]) - v[7] : form.Height();
  p.right = Coordinate(qint64(p.left) + std::max<qint64>(0, width));
  p.bottom = Coordinate(qint64(p.top) + std::max<qint64>(0, height));
  // A restored position must not be centred again when the window is shown.
  if (p.right > p.left && (form.Position() == poScreenCenter || form.Position() == poDesktopCenter))
    form.SetPosition(poDesigned);
  SetWindowPlacement(form, p);
  if (options.testFlag(pfpState)) {
    switch (v[1]) {
      case 2:
      case 6:
      case 7: form.SetWindowState(wsMinimized); break;
      case 3: form.SetWindowState(wsMaximized); break;
      default: form.SetWindowState(wsNormal); break;
    }
  }
  if (QWidget* window = form.Window()) window->update();
}

// ---------------------------------------------------------------- registration

void RegisterSettingsClasses() {
  RegisterStorageClasses();
  RegisterComponentClass<TrsPropSaver>();
}
