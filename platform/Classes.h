// String lists and collections: the sub-objects that components publish as
// object properties.
#pragma once

#include "Component.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// An ordered list of text lines. Descendants decide where the lines live (a
// plain list, or a control's own text).
class TStrings : public TPersistent {
  Q_OBJECT
public:
  virtual int Count() const = 0;
  virtual QString Get(int index) const = 0;
  virtual void Put(int index, const QString& line) = 0;
  virtual void Insert(int index, const QString& line) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  // Appends the line (a sorted list puts it in its place) and returns its index.
  virtual int Add(const QString& line);
  int IndexOf(const QString& line) const;  // ignoring case
  QStringList ToList() const;
  void SetList(const QStringList& lines);

  // Lines each followed by CR LF. Assigning splits at CR LF, CR or LF.
  virtual QString Text() const;
  virtual void SetText(const QString& text);
  // Items joined by commas; an item holding a character up to the blank, a
  // comma or a double quote is quoted, quotes doubled.
  QString CommaText() const;
  void SetCommaText(const QString& text);

  void Assign(const TPersistent* source) override;

  void BeginUpdate();
  void EndUpdate();
  // Told after every change, once per outermost update.
  std::function<void()> OnChange;

protected:
  void Changed();
  // Bounds check shared by descendants: raises EListError.
  void CheckIndex(int index, int count) const;

private:
  int FUpdateCount = 0;
  bool FChangedInUpdate = false;
};

// The plain string list, with an optional sorted order (ASCII case-insensitive).
class TStringList : public TStrings {
  Q_OBJECT
public:
  TStringList() = default;
  explicit TStringList(const QStringList& lines) : FLines(lines) {}

  int Count() const override { return static_cast<int>(FLines.size()); }
  QString Get(int index) const override;
  void Put(int index, const QString& line) override;
  void Insert(int index, const QString& line) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const QString& line) override;

  bool Sorted() const { return FSorted; }
  void SetSorted(bool sorted);

private:
  int SortedPosition(const QString& line) const;
  QStringList FLines;
  bool FSorted = false;
};

// Splitting and joining comma text, shared by every list.
QStringList ParseCommaText(const QString& text);
QString FormatCommaText(const QStringList& items);

class TCollection;

// One item of a collection; its published properties are the item's state.
class TCollectionItem : public TPersistent {
  Q_OBJECT
public:
  explicit TCollectionItem(TCollection* collection) : FCollection(collection) {}
  TCollection* Collection() const { return FCollection; }
  int Index() const;

private:
  TCollection* FCollection;
};

// An owned, indexed list of items of one class.
class TCollection : public TPersistent {
  Q_OBJECT
public:
  using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
  TCollection(QObject* owner, ItemFactory factory) : FOwner(owner), FFactory(std::move(factory)) {}
  ~TCollection() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index outside the collection.
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add();
  void Delete(int index);
  void Clear();
  QObject* Owner() const { return FOwner; }
  int IndexOf(const TCollectionItem* item) const;

  std::function<void()> OnChange;

protected:
  void Changed();

private:
  QObject* FOwner;
  ItemFactory FFactory;
  std::vector<std::unique_ptr<TCollectionItem>> FItems;
};
