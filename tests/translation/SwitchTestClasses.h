// Components for the language switch tests: a window class of its own, a
// probe that records every write and fails on request, a grid with column
// collections, and a list box that loses its selection whenever its items
// change. They sit in a namespace: the system knows classes by their names.
#pragma once

#include "Classes.h"
#include "Component.h"
#include "Exceptions.h"
#include "Forms.h"
#include "Graphics.h"
#include "StdCtrls.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>
#include <vector>

namespace swt {

// What the test classes wrote, in order: "Probe1.Caption=Name".
std::vector<QString>& Writes();
// How many writes of the log concern `what` ("Probe1.Caption", "Probe1.").
int WritesOf(const QString& what);
// Registers the component classes below with the loader (once).
void RegisterSwitchTestClasses();

// How many writers failed on request.
int& Failures();

// Throws for the values that ask for it: "fail" any failure, "listfail" the
// list-index error.
inline void FailOn(const QString& value) {
  if (value.compare(QLatin1String("listfail"), Qt::CaseInsensitive) == 0) {
    ++Failures();
    throw EListError(QStringLiteral("List index out of bounds (7)"));
  }
  if (value.compare(QLatin1String("fail"), Qt::CaseInsensitive) == 0) {
    ++Failures();
    throw std::runtime_error("the writer failed");
  }
}

// The window class whose own rows carry the name "TForm1". Its caption
// writes are recorded and fail on request.
class TForm1 : public TForm {
  Q_OBJECT
public:
  explicit TForm1(TComponent* owner = nullptr) : TForm(owner) {}

protected:
  void SetText(const QString& text) override {
    if (!Loading()) {
      Writes().push_back(QStringLiteral("TForm1.Caption=") + text);
      FailOn(text);
    }
    TForm::SetText(text);
  }
};

// A string list that fails on request when a line is written.
class TFailingStrings : public TStringList {
  Q_OBJECT
public:
  void Put(int index, const QString& line) override {
    FailOn(line);
    TStringList::Put(index, line);
  }
  int Add(const QString& line) override {
    FailOn(line);
    return TStringList::Add(line);
  }
};

// A sub-object with a text and a list of its own.
class TSwPart : public TPersistent {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(TStrings* Items READ Items)
public:
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v) { FCaption = v; }
  TStrings* Items() const { return FItems.get(); }
  void Assign(const TPersistent* source) override {
    if (auto* p = qobject_cast<const TSwPart*>(source)) {
      FCaption = p->FCaption;
      FItems->Assign(p->FItems.get());
    }
  }

private:
  QString FCaption;
  std::unique_ptr<TStringList> FItems = std::make_unique<TStringList>();
};

// A component with the text properties the switch writes; every write
// outside loading is recorded, and the values above make it fail.
class TSwProbe : public TComponent {
  Q_OBJECT
  Q_PROPERTY(TComponent* Action READ Action WRITE SetAction)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QByteArray Code READ Code WRITE SetCode)
  Q_PROPERTY(QString DisplayLabel READ DisplayLabel WRITE SetDisplayLabel)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
  Q_PROPERTY(TStrings* Lines READ Lines WRITE SetLines)
  Q_PROPERTY(swt::TSwPart* Part READ Part WRITE SetPart)
  Q_PROPERTY(QString ReadOnlyText READ ReadOnlyText)
  Q_PROPERTY(QString Text READ Text WRITE SetText)
public:
  explicit TSwProbe(TComponent* owner = nullptr) : TComponent(owner) {
    FLines->OnChange = [this] {
      if (!Loading()) Writes().push_back(Name() + QStringLiteral(".Lines=") + FLines->CommaText());
    };
  }

  TComponent* Action() const { return FAction; }
  void SetAction(TComponent* v) { FAction = v; }
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v) { Set("Caption", FCaption, v); }
  QByteArray Code() const { return FCode; }
  void SetCode(const QByteArray& v) {
    Record("Code", QString::fromLatin1(v));
    FCode = v;
  }
  QString DisplayLabel() const { return FDisplayLabel; }
  void SetDisplayLabel(const QString& v) { Set("DisplayLabel", FDisplayLabel, v); }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v) {
    if (!v) return;
    Record("Font", v->Name());
    FFont->Assign(v);
  }
  QString Hint() const { return FHint; }
  void SetHint(const QString& v) { Set("Hint", FHint, v); }
  TFailingStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* v) {
    if (v) FLines->Assign(v);
  }
  TSwPart* Part() const { return FPart.get(); }
  void SetPart(TSwPart* v) {
    if (v) FPart->Assign(v);
  }
  QString ReadOnlyText() const { return QStringLiteral("fixed"); }
  QString Text() const { return FText; }
  void SetText(const QString& v) { Set("Text", FText, v); }

private:
  void Record(const char* property, const QString& value) {
    if (Loading()) return;
    Writes().push_back(Name() + QLatin1Char('.') + QLatin1String(property) + QLatin1Char('=') + value);
    FailOn(value);
  }
  void Set(const char* property, QString& field, const QString& value) {
    Record(property, value);
    field = value;
  }
  TComponent* FAction = nullptr;
  QString FCaption, FDisplayLabel, FHint, FText;
  QByteArray FCode;
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
  std::unique_ptr<TFailingStrings> FLines = std::make_unique<TFailingStrings>();
  std::unique_ptr<TSwPart> FPart = std::make_unique<TSwPart>();
};

// Something a control can be bound to.
class TSwAction : public TComponent {
  Q_OBJECT
public:
  explicit TSwAction(TComponent* owner = nullptr) : TComponent(owner) {}
};

// A column's title, reached through the column.
class TSwTitle : public TPersistent {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v) { FCaption = v; }
  void Assign(const TPersistent* source) override {
    if (auto* t = qobject_cast<const TSwTitle*>(source)) FCaption = t->FCaption;
  }

private:
  QString FCaption;
};

class TSwColumn : public TCollectionItem {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QString FieldName READ FieldName WRITE SetFieldName)
  Q_PROPERTY(TStrings* Notes READ Notes WRITE SetNotes)
  Q_PROPERTY(swt::TSwTitle* Title READ Title WRITE SetTitle)
  Q_PROPERTY(swt::TSwTitle* FixedTitle READ Title)
public:
  explicit TSwColumn(TCollection* collection) : TCollectionItem(collection) {}
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& v) {
    FailOn(v);
    FCaption = v;
  }
  QString FieldName() const { return FFieldName; }
  void SetFieldName(const QString& v) { FFieldName = v; }
  TStrings* Notes() const { return FNotes.get(); }
  void SetNotes(TStrings* v) {
    if (v) FNotes->Assign(v);
  }
  TSwTitle* Title() const { return FTitle.get(); }
  void SetTitle(TSwTitle* v) {
    if (v) FTitle->Assign(v);
  }

private:
  QString FCaption, FFieldName;
  std::unique_ptr<TStringList> FNotes = std::make_unique<TStringList>();
  std::unique_ptr<TSwTitle> FTitle = std::make_unique<TSwTitle>();
};

// A grid's sub-object with a column collection of its own.
class TSwGridProperties : public TPersistent {
  Q_OBJECT
  Q_PROPERTY(TCollection* Columns READ Columns)
public:
  TSwGridProperties() : FColumns(this, [](TCollection* c) { return new TSwColumn(c); }) {}
  TCollection* Columns() const { return const_cast<TCollection*>(&FColumns); }

private:
  TCollection FColumns;
};

class TSwGrid : public TComponent {
  Q_OBJECT
  Q_PROPERTY(TCollection* Columns READ Columns)
  Q_PROPERTY(swt::TSwGridProperties* Properties READ Properties)
public:
  explicit TSwGrid(TComponent* owner = nullptr)
      : TComponent(owner), FColumns(this, [](TCollection* c) { return new TSwColumn(c); }) {}
  TCollection* Columns() const { return const_cast<TCollection*>(&FColumns); }
  TSwGridProperties* Properties() const { return const_cast<TSwGridProperties*>(&FProperties); }

private:
  TCollection FColumns;
  TSwGridProperties FProperties;
};

// A list box that, like the system's list boxes, forgets its selection when
// its items are refilled.
class TSwForgetfulListBox : public TListBox {
  Q_OBJECT
public:
  explicit TSwForgetfulListBox(TComponent* owner = nullptr) : TListBox(owner) {
    Items()->OnChange = [this] { SetItemIndex(-1); };
  }
};

}  // namespace swt
