// A window class and a grid for the property path tests: the grid publishes
// a collection of columns whose items hold a title object, and a property of
// nearly every kind. They sit in a namespace; the system knows classes by
// their names without it.
#pragma once

#include "Classes.h"
#include "Component.h"
#include "Events.h"
#include "Exceptions.h"
#include "Forms.h"
#include "Graphics.h"
#include "VclTypes.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QVariant>

#include <memory>

namespace pathtest {

// The window: its rows and paths address it as "TForm1".
class TForm1 : public TForm {
  Q_OBJECT
public:
  explicit TForm1(TComponent* owner = nullptr) : TForm(owner) {}
};

class TPathTitle : public TPersistent {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v) { FCaption = v; }

private:
  QString FCaption;
};

class TPathColumn : public TCollectionItem {
  Q_OBJECT
  Q_PROPERTY(pathtest::TPathTitle* Title READ Title)
  Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
  explicit TPathColumn(TCollection* collection) : TCollectionItem(collection) {}
  TPathTitle* Title() const { return const_cast<TPathTitle*>(&FTitle); }
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; }

private:
  TPathTitle FTitle;
  int FWidth = 64;
};

// A data grid stand-in with one property of each kind the paths convert.
class TPathGrid : public TComponent {
  Q_OBJECT
  Q_PROPERTY(bool Active READ Active WRITE SetActive)
  Q_PROPERTY(Vcl::TAlign Align READ Align WRITE SetAlign)
  Q_PROPERTY(Vcl::TAnchors Anchors READ Anchors WRITE SetAnchors)
  Q_PROPERTY(TPersistent* Base READ Base)
  Q_PROPERTY(qint64 Big READ Big WRITE SetBig)
  Q_PROPERTY(TCollection* Columns READ Columns)
  Q_PROPERTY(QByteArray Data READ Data WRITE SetData)
  Q_PROPERTY(TPersistent* Empty READ Empty)
  Q_PROPERTY(QVariant Extra READ Extra WRITE SetExtra)
  Q_PROPERTY(TStrings* Items READ Items)
  Q_PROPERTY(char Letter READ Letter WRITE SetLetter)
  Q_PROPERTY(QString Picky READ Picky WRITE SetPicky)
  Q_PROPERTY(double Ratio READ Ratio WRITE SetRatio)
  Q_PROPERTY(QString Fixed READ Fixed)
  Q_PROPERTY(QChar Wide READ Wide WRITE SetWide)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TPathGrid(TComponent* owner = nullptr)
      : TComponent(owner),
        FColumns(std::make_unique<TCollection>(this, [](TCollection* c) { return new TPathColumn(c); })),
        FItems(std::make_unique<TStringList>()),
        FBase(std::make_unique<TFont>()) {
    FItems->SetSorted(true);
  }

  bool Active() const { return FActive; }
  void SetActive(bool v) { FActive = v; }
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign v) { FAlign = v; }
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors v) { FAnchors = v; }
  // Declared as a TPersistent, holding a font.
  TPersistent* Base() const { return FBase.get(); }
  qint64 Big() const { return FBig; }
  void SetBig(qint64 v) { FBig = v; }
  TCollection* Columns() const { return FColumns.get(); }
  TPathColumn* Column(int index) const { return qobject_cast<TPathColumn*>(FColumns->Items(index)); }
  QByteArray Data() const { return FData; }
  void SetData(const QByteArray& v) { FData = v; }
  TPersistent* Empty() const { return nullptr; }
  QVariant Extra() const { return FExtra; }
  void SetExtra(const QVariant& v) { FExtra = v; }
  // A sorted list.
  TStringList* Items() const { return FItems.get(); }
  char Letter() const { return FLetter; }
  void SetLetter(char v) { FLetter = v; }
  // Its writer refuses the value "bad".
  QString Picky() const { return FPicky; }
  void SetPicky(const QString& v) {
    if (v == QLatin1String("bad")) throw EConvertError(QStringLiteral("bad value"));
    FPicky = v;
  }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  // Has no writer.
  QString Fixed() const { return QStringLiteral("fixed"); }
  QChar Wide() const { return FWide; }
  void SetWide(QChar v) { FWide = v; }
  TNotifyEvent OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& v) { FOnClick = v; }

private:
  std::unique_ptr<TCollection> FColumns;
  std::unique_ptr<TStringList> FItems;
  std::unique_ptr<TFont> FBase;
  bool FActive = false;
  TAlign FAlign = alNone;
  TAnchors FAnchors;
  qint64 FBig = 0;
  QByteArray FData;
  QVariant FExtra;
  char FLetter = 'A';
  QString FPicky = QStringLiteral("good");
  double FRatio = 0;
  QChar FWide = QLatin1Char('W');
  TNotifyEvent FOnClick;
};

}  // namespace pathtest
