#include "Classes.h"

#include "Exceptions.h"

#include <algorithm>

namespace {
bool IsBlankOrControl(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }
bool LessText(const QString& a, const QString& b) { return CompareText(a, b) < 0; }
}  // namespace

QStringList ParseCommaText(const QString& text) {
  QStringList items;
  // A zero ends the text, inside quotes too.
  const qsizetype zero = text.indexOf(QChar(0));
  const qsizetype n = zero < 0 ? text.size() : zero;
  qsizetype i = 0;
  auto at = [&](qsizetype k) { return k < n ? text[k] : QChar(0); };
  while (i < n && IsBlankOrControl(text[i])) ++i;
  while (i < n && at(i) != QChar(0)) {
    QString item;
    if (at(i) == QLatin1Char('"')) {
      ++i;
      while (i < n) {
        if (text[i] == QLatin1Char('"')) {
          if (at(i + 1) == QLatin1Char('"')) {
            item += QLatin1Char('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      const qsizetype start = i;
      while (i < n && text[i].unicode() > 32 && text[i] != QLatin1Char(',')) ++i;
      item = text.mid(start, i - start);
    }
    items << item;
    while (i < n && IsBlankOrControl(text[i])) ++i;
    if (at(i) == QLatin1Char(',')) {
      if (i + 1 >= n || at(i + 1) == QChar(0)) items << QString();
      do ++i;
      while (i < n && IsBlankOrControl(text[i]));
    }
  }
  return items;
}

QString FormatCommaText(const QStringList& items) {
  if (items.size() == 1 && items[0].isEmpty()) return QStringLiteral("\"\"");
  QStringList out;
  for (const QString& item : items) {
    const bool quote = std::any_of(item.begin(), item.end(), [](QChar c) {
      return (c.unicode() >= 1 && c.unicode() <= 32) || c == QLatin1Char(',') || c == QLatin1Char('"');
    });
    if (quote) {
      QString q = item;
      q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
      out << QLatin1Char('"') + q + QLatin1Char('"');
    } else {
      out << item;
    }
  }
  return out.join(QLatin1Char(','));
}

int TStrings::Add(const QString& line) {
  const int at = Count();
  Insert(at, line);
  return at;
}

int TStrings::IndexOf(const QString& line) const {
  for (int i = 0; i < Count(); ++i)
    if (Get(i).compare(line, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

QStringList TStrings::ToList() const {
  QStringList out;
  for (int i = 0; i < Count(); ++i) out << Get(i);
  return out;
}

void TStrings::SetList(const QStringList& lines) {
  BeginUpdate();
  Clear();
  for (const QString& l : lines) Add(l);
  EndUpdate();
}

QString TStrings::Text() const {
  QString out;
  for (int i = 0; i < Count(); ++i) out += Get(i) + QStringLiteral("\r\n");
  return out;
}

void TStrings::SetText(const QString& text) {
  QStringList lines;
  QString current;
  bool pending = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
      lines << current;
      current.clear();
      pending = false;
      if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
    } else {
      current += c;
      pending = true;
    }
  }
  if (pending) lines << current;
  SetList(lines);
}

QString TStrings::CommaText() const { return FormatCommaText(ToList()); }

void TStrings::SetCommaText(const QString& text) { SetList(ParseCommaText(text)); }

void TStrings::Assign(const TPersistent* source) {
  if (auto s = qobject_cast<const TStrings*>(source)) {
    SetList(s->ToList());
    return;
  }
  TPersistent::Assign(source);
}

void TStrings::BeginUpdate() { ++FUpdateCount; }

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedInUpdate) {
    FChangedInUpdate = false;
    if (OnChange) OnChange();
  }
}

void TStrings::Changed() {
  if (FUpdateCount > 0) {
    FChangedInUpdate = true;
    return;
  }
  if (OnChange) OnChange();
}

void TStrings::CheckIndex(int index, int count) const {
  if (index < 0 || index >= count) RaiseListIndexError(index);
}

QString TStringList::Get(int index) const {
  CheckIndex(index, Count());
  return FLines[index];
}

void TStringList::Put(int index, const QString& line) {
  CheckIndex(index, Count());
  if (FSorted) throw EListError(QStringLiteral("Operation not allowed on sorted list"));
  FLines[index] = line;
  Changed();
}

int TStringList::Add(const QString& line) {
  if (!FSorted) return TStrings::Add(line);
  const int at = SortedPosition(line);
  FLines.insert(at, line);
  Changed();
  return at;
}

void TStringList::Insert(int index, const QString& line) {
  if (FSorted) {
    FLines.insert(SortedPosition(line), line);
  } else {
    if (index < 0 || index > Count()) RaiseListIndexError(index);
    FLines.insert(index, line);
  }
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  FLines.removeAt(index);
  Changed();
}

void TStringList::Clear() {
  if (FLines.isEmpty()) return;
  FLines.clear();
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == FSorted) return;
  FSorted = sorted;
  if (sorted) {
    std::stable_sort(FLines.begin(), FLines.end(), LessText);
    Changed();
  }
}

int TStringList::SortedPosition(const QString& line) const {
  auto it = std::upper_bound(FLines.begin(), FLines.end(), line, LessText);
  return static_cast<int>(it - FLines.begin());
}

int TCollectionItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

TCollection::~TCollection() = default;

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return FItems[static_cast<size_t>(index)].get();
}

TCollectionItem* TCollection::Add() {
  FItems.emplace_back(FFactory(this));
  Changed();
  return FItems.back().get();
}

void TCollection::Delete(int index) {
  Items(index);
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == item) return static_cast<int>(i);
  return -1;
}

void TCollection::Changed() {
  if (OnChange) OnChange();
}
