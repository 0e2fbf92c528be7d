// Datasets, fields and data sources: a cursor over rows with a current row,
// fields addressed by name, any row readable without moving the cursor, and
// the links through which bound controls follow the rows and the cursor.
//
// Field objects belong to one opening of a dataset: they are made when it
// opens and freed when it closes (every close and every open is announced to
// the links as ActiveChanged). A control keeps the field's name and looks the
// field up again on ActiveChanged; it never keeps a field pointer across it.
// Queries are re-run with another statement and other columns under the same
// dataset, so a field kept by pointer could only be right by chance.
//
// How bound controls follow a data source. A grid is an item model over the
// rows: it reads cells with TField::AsStringAt, turns RowChanged, RowInserted
// and RowDeleted into the model's row signals (a reset only on ActiveChanged
// and DataSetChanged, so it keeps its place and scroll position), and moves
// its current cell on DataSetScrolled. Lookup lists read their rows the same
// way. Edits, texts and memos show the current row's field and refresh on
// DataSetScrolled, RecordChanged and the row events; a navigator follows
// EditingChanged. Reading a row never moves the cursor, so nothing else hears.
#pragma once

#include "Component.h"
#include "Events.h"
#include "Sqlite.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

enum TFieldType { ftUnknown, ftString, ftMemo, ftInteger, ftFloat, ftDateTime, ftBoolean };
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

class TDataSet;
class TDataSource;

// One column of a dataset; reads and writes the current row's value.
class TField {
public:
  TField(TDataSet* dataSet, QString name, TFieldType type, int index)
      : FDataSet(dataSet), FName(std::move(name)), FType(type), FIndex(index) {}

  const QString& FieldName() const { return FName; }
  TFieldType DataType() const { return FType; }
  int Index() const { return FIndex; }

  // The current row's value; null when there is no current row.
  QVariant Value() const;
  // Row `row`'s value (0-based, in the dataset's order), read without moving
  // the cursor; the row being edited shows its pending value.
  QVariant ValueAt(int row) const;
  QString AsStringAt(int row) const;
  void SetValue(const QVariant& value);
  bool IsNull() const { return Value().isNull(); }

  // As text: integers in decimal, dates as the date alone (a time of day is
  // shown only when there is one); empty for null.
  QString AsString() const;
  void SetAsString(const QString& text);
  // Raises EConvertError for a text that is no integer.
  qint64 AsInteger() const;
  void SetAsInteger(qint64 value);
  double AsFloat() const;
  void SetAsFloat(double value);
  QDateTime AsDateTime() const;
  void SetAsDateTime(const QDateTime& value);
  // The date alone, for a date field.
  void SetAsDate(const QDate& value);

private:
  TDataSet* FDataSet;
  QString FName;
  TFieldType FType;
  int FIndex;
};

// How a date-time field keeps its value: "yyyy-MM-dd", with " hh:mm:ss"
// only when there is a time of day.
QString FormatStoredDateTime(const QDateTime& value);
std::optional<QDateTime> ParseStoredDateTime(const QString& text);
// A date as the user sees it.
QString FormatDisplayDate(const QDateTime& value);

// What a dataset tells its data sources. The row events carry the 0-based
// row number and are sent after the rows have changed.
enum class TDataEvent {
  ActiveChanged,
  DataSetChanged,
  RecordChanged,
  DataSetScrolled,
  StateChanged,
  RowChanged,
  RowInserted,
  RowDeleted
};

// A cursor over rows held as they were read when the dataset opened (a static
// cursor): its own Post and Delete show at once, changes made elsewhere only
// after it is opened again. A freshly opened dataset has its first row
// current; an empty one has none, and every field then reads as empty.
class TDataSet : public TComponent {
  Q_OBJECT
public:
  explicit TDataSet(TComponent* owner = nullptr);
  ~TDataSet() override;

  bool Active() const { return FState != dsInactive; }
  void SetActive(bool active);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  // Runs the dataset again, as closing and opening it does (a pending row is
  // given up, the first row becomes current), except that the old rows stay
  // until the new ones are read: a failure leaves the dataset as it was and
  // raises the error. A closed dataset opens.
  void Requery();
  TDataSetState State() const { return FState; }

  void First();
  void Prior();
  void Next();
  void Last();
  // Moves by `distance` rows, stopping at either end.
  void MoveBy(int distance);
  bool Eof() const { return FEof; }
  bool Bof() const { return FBof; }
  bool IsEmpty() const { return FRows.empty(); }
  int RecordCount() const { return static_cast<int>(FRows.size()); }
  // Row `row`'s value of field number `field`, without moving the cursor and
  // without telling anybody: what a grid or a lookup list reads. A row being
  // inserted is not among the rows until it is posted. Raises EListError
  // for a row or field out of range.
  QVariant RowValue(int row, int field) const;
  // 1-based number of the current row; 0 without one. Setting it makes that
  // row current (a click on a grid row).
  int RecNo() const { return FCurrent < 0 ? 0 : FCurrent + 1; }
  void SetRecNo(int recNo);
  // Makes the first row whose field equals `value` (as text, exactly) current.
  bool Locate(const QString& fieldName, const QString& value);

  // A new row at the end becomes current; its fields start empty.
  void Append();
  // Starts editing the current row.
  void Edit();
  // Stores the pending row. On an engine error the dataset keeps its rows
  // and its editing state.
  void Post();
  void Cancel();
  // Removes the current row; the next one becomes current, or the new last.
  void Delete();
  // Posts a pending edit, as moving to another row does.
  void CheckBrowseMode();

  int FieldCount() const { return static_cast<int>(FFields.size()); }
  TField* Fields(int index) const;
  TField* FindField(const QString& name) const;
  // Raises EDatabaseError for a name the dataset has no field of.
  TField* FieldByName(const QString& name) const;

  // For data links.
  void AddDataSource(TDataSource* source);
  void RemoveDataSource(TDataSource* source);

protected:
  struct TRow {
    qint64 key = 0;  // the row's own key in its table, when it has one
    std::vector<QVariant> values;
  };
  struct TColumn {
    QString name;
    TFieldType type;
  };

  // Reads every row. Descendants raise EDatabaseError when they cannot.
  virtual void InternalOpen(std::vector<TColumn>& columns, std::vector<TRow>& rows) = 0;
  // Writes a new or changed row (a changed row with only `changed` columns
  // differing); may complete the row with what the database assigned.
  virtual void InternalPost(TRow& row, bool inserting, const std::vector<bool>& changed) = 0;
  virtual void InternalDelete(const TRow& row) = 0;
  virtual void InternalClose() {}
  // Opening that was asked for while loading happens in Loaded.
  void Loaded() override;
  void DataEvent(TDataEvent event, TField* field = nullptr, int row = -1);
  bool FOpenAfterLoad = false;

private:
  friend class TField;
  void CheckActive() const;
  void SetCurrent(int index, bool scrolled);
  QVariant FieldValue(int index) const;
  void SetFieldValue(int index, const QVariant& value);

  // Rows Requery has read, taken by the next opening instead of reading.
  struct TPrefetch {
    std::vector<TColumn> columns;
    std::vector<TRow> rows;
  };
  std::unique_ptr<TPrefetch> FPrefetched;
  TDataSetState FState = dsInactive;
  std::vector<std::unique_ptr<TField>> FFields;
  std::vector<TRow> FRows;
  int FCurrent = -1;
  bool FEof = true;
  bool FBof = true;
  TRow FEditRow;
  std::vector<bool> FChanged;
  int FInsertAt = -1;
  std::vector<TDataSource*> FSources;
};

class TDataLink;

// Binds a dataset to the controls that show it.
class TDataSource : public TComponent {
  Q_OBJECT
  Q_PROPERTY(bool AutoEdit READ AutoEdit WRITE SetAutoEdit)
  Q_PROPERTY(TDataSet* DataSet READ DataSet WRITE SetDataSet)
  Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
  Q_PROPERTY(TNotifyEvent OnDataChange READ OnDataChange WRITE SetOnDataChange)
  Q_PROPERTY(TNotifyEvent OnStateChange READ OnStateChange WRITE SetOnStateChange)
public:
  explicit TDataSource(TComponent* owner = nullptr);
  ~TDataSource() override;

  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool v) { FAutoEdit = v; }
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  TNotifyEvent OnDataChange() const { return FOnDataChange; }
  void SetOnDataChange(const TNotifyEvent& e) { FOnDataChange = e; }
  TNotifyEvent OnStateChange() const { return FOnStateChange; }
  void SetOnStateChange(const TNotifyEvent& e) { FOnStateChange = e; }

  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);
  // Passes a dataset's event on to every link, then to OnStateChange or
  // OnDataChange, all through the one dispatch point: an error stops the
  // notification at the failing step. Links whose control is going away
  // (with its window) hear nothing, nor do the handlers of a data source
  // that is going away.
  void Notify(TDataEvent event, TField* field, int row = -1);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  // Tells the links, without the dispatch point around it.
  void TellLinks(TDataEvent event, TField* field, int row);

  bool FAutoEdit = true;
  bool FEnabled = true;
  bool FGoingAway = false;  // set while the destructor runs
  TDataSet* FDataSet = nullptr;
  std::vector<TDataLink*> FLinks;
  TNotifyEvent FOnDataChange;
  TNotifyEvent FOnStateChange;
};

// What a bound control holds to follow its data source. The link names its
// control, so that nothing is told to a control whose window is being torn
// down; freeing a link only unhooks it and calls nothing back. A control freed
// on its own, outside its window's teardown, clears its link's data source
// first in its destructor, while all of it is still alive.
class TDataLink {
public:
  explicit TDataLink(TComponent* control = nullptr) : FControl(control) {}
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TComponent* Control() const { return FControl; }
  TDataSource* DataSource() const { return FSource; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const { return FSource ? FSource->DataSet() : nullptr; }
  bool Active() const;

  // The dataset opened or closed.
  virtual void ActiveChanged() {}
  // The whole dataset changed.
  virtual void DataSetChanged() {}
  // The current row moved to another row.
  virtual void DataSetScrolled() { DataSetChanged(); }
  // Row `row` was stored with new values (a post, or a cancelled edit).
  virtual void RowChanged(int) { DataSetChanged(); }
  // A posted new row now stands at `row`, and is the current row.
  virtual void RowInserted(int) { DataSetChanged(); }
  // Row `row` is gone; the row that followed it is current, or the new last.
  virtual void RowDeleted(int) { DataSetChanged(); }
  // A field of the current row changed; null for the whole current row (a
  // new row begun, or given up).
  virtual void RecordChanged(TField*) {}
  virtual void EditingChanged() {}

private:
  friend class TDataSource;
  TComponent* FControl;
  TDataSource* FSource = nullptr;
};
