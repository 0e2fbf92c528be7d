#include "ModelTestClasses.h"

#include "Definition.h"
#include "Exceptions.h"

#include <mutex>
#include <stdexcept>

namespace mt {

std::vector<QString>& Log() {
  static std::vector<QString> log;
  return log;
}

void RegisterTestClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterComponentClass<TTestPart>();
    RegisterComponentClass<TTestLeaf>();
    RegisterComponentClass<TTestGrid>();
  });
}

TTestPart::TTestPart(TComponent* owner)
    : TComponent(owner), FFont(std::make_unique<TFont>()), FItems(std::make_unique<TStringList>()) {}

TTestPart::~TTestPart() { Log().push_back(QStringLiteral("~") + Name()); }

void TTestPart::Record(const char* property) {
  Log().push_back(Name() + QLatin1Char('.') + QLatin1String(property) + (Loading() ? QString() : QStringLiteral("!")));
}

void TTestPart::SetActive(bool v) {
  Record("Active");
  FActive = v;
}
void TTestPart::SetAlign(TAlign v) {
  Record("Align");
  FAlign = v;
}
void TTestPart::SetBig(qint64 v) {
  Record("Big");
  FBig = v;
}
void TTestPart::SetBuddy(TComponent* v) {
  Record("Buddy");
  FBuddy = v;
  if (v) FreeNotification(v);
}
void TTestPart::SetCaption(const QString& v) {
  Record("Caption");
  FCaption = v;
}
void TTestPart::SetColor(int v) {
  Record("Color");
  FColor = v;
}
void TTestPart::SetData(const QByteArray& v) {
  Record("Data");
  FData = v;
}
void TTestPart::SetExtra(const QVariant& v) {
  Record("Extra");
  FExtra = v;
}
void TTestPart::SetFailing(const QString& v) {
  Record("Failing");
  if (v == QLatin1String("EConvertError")) throw EConvertError(QStringLiteral("bad value for Failing"));
  if (v == QLatin1String("runtime")) throw std::runtime_error("runtime trouble");
  if (v == QLatin1String("int")) throw 42;
  FFailing = v;
}
void TTestPart::SetFont(TFont* v) {
  Record("Font");
  FFont->Assign(v);
}
void TTestPart::SetLetter(char v) {
  Record("Letter");
  FLetter = v;
}
void TTestPart::SetNumber(int v) {
  Record("Number");
  FNumber = v;
}
void TTestPart::SetRatio(double v) {
  Record("Ratio");
  FRatio = v;
}
void TTestPart::SetStyles(TFontStyles v) {
  Record("Styles");
  FStyles = v;
}
void TTestPart::SetWide(QChar v) {
  Record("Wide");
  FWide = v;
}
void TTestPart::SetOnClick(const TNotifyEvent& v) {
  Record("OnClick");
  FOnClick = v;
}

void TTestPart::Loaded() {
  TComponent::Loaded();
  Log().push_back(QStringLiteral("loaded ") + Name() +
                  (FBuddy ? QStringLiteral(" buddy=") + FBuddy->Name() : QString()));
  if (FCaption == QLatin1String("fail on load")) throw EInvalidOperation(QStringLiteral("cannot finish loading"));
}

void TTestPart::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  Removed.push_back(component->Name());
  if (component == FBuddy) FBuddy = nullptr;
}

TTestGrid::TTestGrid(TComponent* owner)
    : TComponent(owner),
      FColumns(
          std::make_unique<TCollection>(this, [](TCollection* c) -> TCollectionItem* { return new TTestColumn(c); })) {}

void TTestForm::Loaded() {
  TForm::Loaded();
  Log().push_back(QStringLiteral("loaded ") + Name() + (Loading() ? QStringLiteral(" (still loading)") : QString()));
}

}  // namespace mt
