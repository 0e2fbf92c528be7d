#include "PropSaverTestSupport.h"

#include "Definition.h"

namespace saver {

std::function<void(TrsStorage&)>& TScriptedData::Script() {
  static std::function<void(TrsStorage&)> script;
  return script;
}

std::vector<QStringList>& TScriptedData::Saves() {
  static std::vector<QStringList> saves;
  return saves;
}

void TScriptedData::LoadData(TrsStorage& storage) {
  if (Script()) Script()(storage);
  storage.SetRootSection(QString());
}

void TScriptedData::SaveData(TrsStorage& storage) { Saves().push_back(Dump(storage)); }

QString KindName(TrsValueKind kind) {
  switch (kind) {
    case vkEmpty: return QStringLiteral("empty");
    case vkText: return QStringLiteral("text");
    case vkBinary: return QStringLiteral("binary");
    case vkInteger: return QStringLiteral("integer");
    case vkFloat: return QStringLiteral("float");
    case vkCurrency: return QStringLiteral("currency");
    case vkDateTime: return QStringLiteral("datetime");
    case vkBoolean: return QStringLiteral("boolean");
    case vkPoint: return QStringLiteral("point");
    case vkInt64: return QStringLiteral("int64");
  }
  return QStringLiteral("?");
}

QStringList Dump(TrsStorage& storage) {
  QStringList out;
  int section = -1;
  for (int i = 0; i < storage.KeyCount(); ++i) {
    TrsKeyItem& key = storage.Keys(i);
    if (key.SectionId != section) {
      section = key.SectionId;
      out << QStringLiteral("[%1]").arg(storage.SectionPath(section));
    }
    TrsKeyWrapper w(&key, &storage);
    const QString text = w.Kind() == vkBinary ? QStringLiteral("%1 bytes").arg(key.Value.Binary.size()) : w.AsString();
    out << QStringLiteral("%1=%2:%3").arg(key.Name, KindName(w.Kind()), text);
  }
  return out;
}

void RegisterClasses() {
  static const bool once = [] {
    RegisterSettingsClasses();
    RegisterComponentClass<TKindsPart>();
    RegisterComponentClass<TScriptedData>();
    return true;
  }();
  (void)once;
}

QString SaverWindow(const QString& body, const QStringList& lines, const QString& saverExtra,
                    const QString& formProperties) {
  QStringList quoted;
  for (const QString& line : lines)
    quoted << QLatin1Char('\'') + QString(line).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
  return QStringLiteral(R"(object TestWindow: TForm
  Left = 40
  Top = 50
  Width = 400
  Height = 300
%1
%2
  object rsStorage1: TrsStorage
    Active = True
    StorageData = rsData1
  end
  object rsData1: TScriptedData
  end
  object rsPropSaver1: TrsPropSaver
    Storage = rsStorage1
    RootSection = 'TestWindow.rsPropSaver1'
    Properties = (%3)
    WhenLoad = wlOnCreate
    WhenSave = wsOnClose
%4
  end
end)")
      .arg(formProperties, body, quoted.join(QLatin1Char(' ')), saverExtra);
}

TrsValue Text(const QString& text) {
  TrsValue v;
  v.Kind = vkText;
  v.Text = text;
  return v;
}

TrsValue Int(int value) {
  TrsValue v;
  v.Kind = vkInteger;
  v.Integer = value;
  return v;
}

SaverTest::SaverTest() {
  RegisterClasses();
  TScriptedData::Saves().clear();
  TScriptedData::Script() = [this](TrsStorage& storage) {
    storage.SetRootSection(QStringLiteral("TestWindow.rsPropSaver1"));
    for (const auto& [name, value] : FSeed) storage.FindKey(name, true)->Value = value;
  };
}

SaverTest::~SaverTest() { TScriptedData::Script() = nullptr; }

std::unique_ptr<TForm> SaverTest::Build(const QString& definition) {
  return uitest::BuildForm(definition, [this](THandlerTable& t) {
    handlers.Notify(t, "FormCreate", [this](TObject*) { events.push_back(QStringLiteral("FormCreate")); });
  });
}

TrsPropSaver* SaverTest::Saver(TForm& form) {
  return qobject_cast<TrsPropSaver*>(form.FindComponent(QStringLiteral("rsPropSaver1")));
}

TrsStorage* SaverTest::Storage(TForm& form) {
  return qobject_cast<TrsStorage*>(form.FindComponent(QStringLiteral("rsStorage1")));
}

QStringList SaverTest::SectionKeys(TForm& form, bool withPlacement) {
  QStringList out;
  bool inSection = false;
  for (const QString& line : Dump(*Storage(form))) {
    if (line.startsWith(QLatin1Char('['))) {
      inSection = line == QLatin1String("[TestWindow.rsPropSaver1]");
      continue;
    }
    if (!inSection) continue;
    if (!withPlacement && line.startsWith(QLatin1String("FormPlacement="))) continue;
    out << line;
  }
  return out;
}

}  // namespace saver
