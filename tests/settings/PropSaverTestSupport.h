// Shared pieces of the property saver tests: a component with a published
// property of every kind the saver keeps, a back-end that fills the storage
// from a script and records every save instead of touching a file, and
// helpers that read the tree.
#pragma once

#include "rsPropSaver.h"
#include "rsStorage.h"

#include "../platform/ui/UiTestSupport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace saver {

// A component with a property of every kind the saver handles.
class TKindsPart : public TComponent {
  Q_OBJECT
  Q_PROPERTY(bool Flag READ Flag WRITE SetFlag)
  Q_PROPERTY(Vcl::TAlign Align READ Align WRITE SetAlign)
  Q_PROPERTY(Vcl::TFontStyles Styles READ Styles WRITE SetStyles)
  Q_PROPERTY(int Number READ Number WRITE SetNumber)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(char Letter READ Letter WRITE SetLetter)
  Q_PROPERTY(QChar Wide READ Wide WRITE SetWide)
  Q_PROPERTY(qint64 Big READ Big WRITE SetBig)
  Q_PROPERTY(double Ratio READ Ratio WRITE SetRatio)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QByteArray Bytes READ Bytes WRITE SetBytes)
  Q_PROPERTY(QVariant Extra READ Extra WRITE SetExtra)
  Q_PROPERTY(QString Failing READ Failing WRITE SetFailing)
  Q_PROPERTY(TComponent* Buddy READ Buddy WRITE SetBuddy)
  Q_PROPERTY(TStrings* Items READ Items)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
public:
  explicit TKindsPart(TComponent* owner = nullptr)
      : TComponent(owner), FItems(std::make_unique<TStringList>()), FFont(std::make_unique<TFont>()) {}
  ~TKindsPart() override {
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
  }

  bool Flag() const { return FFlag; }
  void SetFlag(bool v) { FFlag = v; }
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign v) { FAlign = v; }
  TFontStyles Styles() const { return FStyles; }
  void SetStyles(TFontStyles v) { FStyles = v; }
  int Number() const { return FNumber; }
  void SetNumber(int v) { FNumber = v; }
  int Color() const { return FColor; }
  void SetColor(int v) { FColor = v; }
  char Letter() const { return FLetter; }
  void SetLetter(char v) { FLetter = v; }
  QChar Wide() const { return FWide; }
  void SetWide(QChar v) { FWide = v; }
  qint64 Big() const { return FBig; }
  void SetBig(qint64 v) { FBig = v; }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v) { FCaption = v; }
  QByteArray Bytes() const { return FBytes; }
  void SetBytes(const QByteArray& v) { FBytes = v; }
  QVariant Extra() const { return FExtra; }
  void SetExtra(const QVariant& v) { FExtra = v; }
  // Reading or writing raises EConvertError once FailOnAccess is set.
  QString Failing() const {
    if (FailOnAccess) throw EConvertError(QStringLiteral("Failing cannot be read"));
    return QString();
  }
  void SetFailing(const QString&) {
    if (FailOnAccess) throw EConvertError(QStringLiteral("Failing cannot be written"));
  }
  bool FailOnAccess = false;
  TComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TComponent* v) {
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
    FBuddy = v;
    if (FBuddy) FBuddy->FreeNotification(this);
  }
  TStrings* Items() const { return FItems.get(); }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v) { FFont->Assign(v); }

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FBuddy) FBuddy = nullptr;
  }

private:
  bool FFlag = false;
  TAlign FAlign = alNone;
  TFontStyles FStyles;
  int FNumber = 0;
  int FColor = 0;
  char FLetter = 'a';
  QChar FWide = QLatin1Char('w');
  qint64 FBig = 0;
  double FRatio = 0;
  QString FCaption;
  QByteArray FBytes;
  QVariant FExtra;
  TComponent* FBuddy = nullptr;
  std::unique_ptr<TStringList> FItems;
  std::unique_ptr<TFont> FFont;
};

// The new-entry dialog's text box as its definition gives it: the look the
// saver keeps.
inline const QString kMemo = QStringLiteral(R"(  object Memo1: TMemo
    Color = clInfoBk
    Font.Charset = 1
    Font.Color = clWindowText
    Font.Height = -13
    Font.Name = 'Tahoma'
    Font.Style = [fsBold]
    ParentFont = False
  end)");

// The main window's components whose values its saver keeps, and their lines.
inline const QString kMainBody = QStringLiteral(R"(  object Panel7: TPanel
    Width = 150
  end
  object Panel3: TPanel
    Width = 160
  end
  object Edit2: TEdit
    Text = '1'
  end)");
inline const QStringList kMainLines = {QStringLiteral("Panel7.Width"), QStringLiteral("Panel3.Width"),
                                       QStringLiteral("Edit2.Text")};

// A back-end without a file: its load runs the script of the test, its save
// records the whole tree as "[section]" and "name=kind:value" lines.
class TScriptedData : public TrsStorageData {
  Q_OBJECT
public:
  explicit TScriptedData(TComponent* owner = nullptr) : TrsStorageData(owner) {}
  ~TScriptedData() override { UnbindStorages(); }

  // What the next loads put into the tree.
  static std::function<void(TrsStorage&)>& Script();
  // Every save of every instance, in order.
  static std::vector<QStringList>& Saves();

protected:
  void LoadData(TrsStorage& storage) override;
  void SaveData(TrsStorage& storage) override;
};

// The tree as lines: "[path]" before the keys of each section, then
// "name=kind:text" ("Panel7.Width=integer:180").
QStringList Dump(TrsStorage& storage);
QString KindName(TrsValueKind kind);

// Registers the saver, the storage classes and the test classes (once).
void RegisterClasses();

// A window definition with a storage bound to the scripted back-end and a
// saver named rsPropSaver1 hooked on creation and close query. `body` holds
// the window's other components (and properties), `lines` the saved paths.
QString SaverWindow(const QString& body, const QStringList& lines, const QString& saverExtra = QString(),
                    const QString& formProperties = QString());

// A stored value, made the way the INI reader makes it.
TrsValue Text(const QString& text);
TrsValue Int(int value);

// Windows with a saver whose storage is filled, at creation, with the keys
// the test seeds under "TestWindow.rsPropSaver1".
class SaverTest : public uitest::UiTest {
protected:
  SaverTest();
  ~SaverTest() override;

  void Seed(const QString& name, const TrsValue& value) { FSeed.emplace_back(name, value); }
  void ClearSeed() { FSeed.clear(); }
  std::unique_ptr<TForm> Build(const QString& definition);
  // The keys of the saver's section, "name=kind:text", without FormPlacement
  // unless asked for.
  QStringList SectionKeys(TForm& form, bool withPlacement = false);
  static TrsPropSaver* Saver(TForm& form);
  static TrsStorage* Storage(TForm& form);

  std::vector<QString> events;

private:
  std::vector<std::pair<QString, TrsValue>> FSeed;
};

}  // namespace saver
