// Components, a window and a grid for the model tests. They sit in a
// namespace on purpose: the system knows classes by their names without one.
#pragma once

#include "Classes.h"
#include "Component.h"
#include "ComponentMembers.h"
#include "Events.h"
#include "Forms.h"
#include "Graphics.h"
#include "VclTypes.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <vector>

namespace mt {

// What the test components did, in order: "A.Caption" for a property set
// while loading ("A.Caption!" outside loading), "loaded A" for the loaded
// notification, "~A" for the destructor.
std::vector<QString>& Log();
// Registers the classes below with the loader (once).
void RegisterTestClasses();

// A component with a property of most kinds; every setter is recorded.
class TTestPart : public TComponent {
  Q_OBJECT
  Q_PROPERTY(bool Active READ Active WRITE SetActive)
  Q_PROPERTY(Vcl::TAlign Align READ Align WRITE SetAlign)
  Q_PROPERTY(qint64 Big READ Big WRITE SetBig)
  Q_PROPERTY(TComponent* Buddy READ Buddy WRITE SetBuddy)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(QByteArray Data READ Data WRITE SetData)
  Q_PROPERTY(QVariant Extra READ Extra WRITE SetExtra)
  Q_PROPERTY(QString Failing READ Failing WRITE SetFailing)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(TStrings* Items READ Items)
  Q_PROPERTY(char Letter READ Letter WRITE SetLetter)
  Q_PROPERTY(int Number READ Number WRITE SetNumber)
  Q_PROPERTY(double Ratio READ Ratio WRITE SetRatio)
  Q_PROPERTY(Vcl::TFontStyles Styles READ Styles WRITE SetStyles)
  Q_PROPERTY(QChar Wide READ Wide WRITE SetWide)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TTestPart(TComponent* owner = nullptr);
  ~TTestPart() override;

  bool Active() const { return FActive; }
  void SetActive(bool v);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign v);
  qint64 Big() const { return FBig; }
  void SetBig(qint64 v);
  TComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TComponent* v);
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v);
  int Color() const { return FColor; }
  void SetColor(int v);
  QByteArray Data() const { return FData; }
  void SetData(const QByteArray& v);
  QVariant Extra() const { return FExtra; }
  void SetExtra(const QVariant& v);
  // Throws for the values "EConvertError", "runtime" and "int"; stores others.
  QString Failing() const { return FFailing; }
  void SetFailing(const QString& v);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v);
  TStrings* Items() const { return FItems.get(); }
  char Letter() const { return FLetter; }
  void SetLetter(char v);
  int Number() const { return FNumber; }
  void SetNumber(int v);
  double Ratio() const { return FRatio; }
  void SetRatio(double v);
  TFontStyles Styles() const { return FStyles; }
  void SetStyles(TFontStyles v);
  QChar Wide() const { return FWide; }
  void SetWide(QChar v);
  TNotifyEvent OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& v);

  // Components whose removal this one was told of.
  std::vector<QString> Removed;
  TComponent* ParentPart = nullptr;

  void Loaded() override;
  bool AcceptsChildren() const override { return true; }
  void SetParentComponent(TComponent* parent) override { ParentPart = parent; }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void Record(const char* property);
  bool FActive = false;
  TAlign FAlign = alNone;
  qint64 FBig = 0;
  TComponent* FBuddy = nullptr;
  QString FCaption;
  int FColor = 0;
  QByteArray FData;
  QVariant FExtra;
  QString FFailing;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TStringList> FItems;
  char FLetter = 0;
  int FNumber = 0;
  double FRatio = 0;
  TFontStyles FStyles;
  QChar FWide;
  TNotifyEvent FOnClick;
};

// A component that takes no nested components.
class TTestLeaf : public TComponent {
  Q_OBJECT
public:
  explicit TTestLeaf(TComponent* owner = nullptr) : TComponent(owner) {}
};

// A column title: a sub-object of a collection item.
class TTestTitle : public TPersistent {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v) { FCaption = v; }

private:
  QString FCaption;
};

class TTestColumn : public TCollectionItem {
  Q_OBJECT
  Q_PROPERTY(QString FieldName READ FieldName WRITE SetFieldName)
  Q_PROPERTY(mt::TTestTitle* Title READ Title)
public:
  explicit TTestColumn(TCollection* collection) : TCollectionItem(collection) {}
  QString FieldName() const { return FFieldName; }
  void SetFieldName(const QString& v) { FFieldName = v; }
  TTestTitle* Title() const { return const_cast<TTestTitle*>(&FTitle); }

private:
  QString FFieldName;
  TTestTitle FTitle;
};

// A grid with a collection of columns, published read-only as grids do.
class TTestGrid : public TComponent {
  Q_OBJECT
  Q_PROPERTY(TCollection* Columns READ Columns)
public:
  explicit TTestGrid(TComponent* owner = nullptr);
  TCollection* Columns() const { return FColumns.get(); }
  TTestColumn* Column(int index) const { return qobject_cast<TTestColumn*>(FColumns->Items(index)); }

private:
  std::unique_ptr<TCollection> FColumns;
};

// The window the definitions build, with a handler table as real windows have.
class TTestForm : public TForm {
  Q_OBJECT
public:
  explicit TTestForm(TComponent* owner = nullptr) : TForm(owner) {}

  // Handlers are methods the meta-object knows: slots or invokable methods.
  Q_INVOKABLE void FormCreate(TObject* sender) { Clicks.push_back(sender); }
public slots:
  void PartClick(TObject* sender) { Clicks.push_back(sender); }
  void QueryHandler(TObject*, bool& canClose) { canClose = false; }
  void FormClose(TObject* sender, TCloseAction& action) {
    Clicks.push_back(sender);
    action = caFree;
  }

public:
  // Not a handler: a plain method the loader does not see.
  void Hidden(TObject* sender) { Clicks.push_back(sender); }

  std::vector<TObject*> Clicks;
  void Loaded() override;
};

// A window whose component members are bound by name.
class TBoundForm : public TTestForm {
  Q_OBJECT
public:
  explicit TBoundForm(TComponent* owner = nullptr) : TTestForm(owner) {}
  NOTARIUM_COMPONENT(TTestPart, First);
  NOTARIUM_COMPONENT(TTestGrid, Grid);
  // Whether the members were filled when the window heard it was loaded.
  bool BoundWhenLoaded = false;
  void Loaded() override {
    TTestForm::Loaded();
    BoundWhenLoaded = First && Grid;
  }
};

}  // namespace mt
