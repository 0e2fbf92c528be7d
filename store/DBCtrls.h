// Controls bound to a dataset through a data source: an edit, a label and a
// memo that show a field of the current row, the lookup lists that choose a
// row, and the navigator that moves the cursor.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "DB.h"
#include "DBGrids.h"
#include "StdCtrls.h"

#include <QFlags>
#include <QObject>

#include <array>
#include <functional>
#include <memory>

class QToolButton;
class TLookupComboView;
class TLookupListView;

namespace DBCtrls {
Q_NAMESPACE

enum TNavigateBtn {
  nbFirst = 1 << 0,
  nbPrior = 1 << 1,
  nbNext = 1 << 2,
  nbLast = 1 << 3,
  nbInsert = 1 << 4,
  nbDelete = 1 << 5,
  nbEdit = 1 << 6,
  nbPost = 1 << 7,
  nbCancel = 1 << 8,
  nbRefresh = 1 << 9
};
Q_DECLARE_FLAGS(TNavButtonSet, TNavigateBtn)
Q_FLAG_NS(TNavButtonSet)

}  // namespace DBCtrls

Q_DECLARE_OPERATORS_FOR_FLAGS(DBCtrls::TNavButtonSet)

using DBCtrls::TNavigateBtn;
using enum DBCtrls::TNavigateBtn;
using DBCtrls::TNavButtonSet;

// A link to one field of the current row, by name: whatever the dataset
// does, the control is told to show the field again.
class TFieldDataLink : public TDataLink {
public:
  explicit TFieldDataLink(TComponent* control, std::function<void()> changed)
      : TDataLink(control), FChanged(std::move(changed)) {}
  QString FieldName() const { return FFieldName; }
  void SetFieldName(const QString& name);
  // The field in the open dataset; nullptr when closed or not there.
  TField* Field() const;
  // The current row's field as text; empty without a current row.
  QString Text() const;
  // Lets go of the data source without telling the control: it is going away.
  void Detach() {
    FChanged = nullptr;
    SetDataSource(nullptr);
  }

  void ActiveChanged() override { Changed(); }
  void DataSetChanged() override { Changed(); }
  void DataSetScrolled() override { Changed(); }
  void RowChanged(int) override { Changed(); }
  void RowInserted(int) override { Changed(); }
  void RowDeleted(int) override { Changed(); }
  void RecordChanged(TField*) override { Changed(); }

private:
  void Changed();
  QString FFieldName;
  std::function<void()> FChanged;
};

// The field a bound control shows, and the accessors behind the control's
// published DataSource and DataField.
class TFieldBinding {
public:
  TDataSource* DataSource() const { return FLink.DataSource(); }
  void SetDataSource(TDataSource* source) { FLink.SetDataSource(source); }
  QString DataField() const { return FLink.FieldName(); }
  void SetDataField(const QString& name) { FLink.SetFieldName(name); }
  TField* Field() const { return FLink.Field(); }

protected:
  // `show` puts the link's text into the control.
  TFieldBinding(TComponent* control, std::function<void()> show) : FLink(control, std::move(show)) {}
  // Runs before the control's own base goes: nothing is told to it after.
  ~TFieldBinding() { FLink.Detach(); }
  TFieldBinding(const TFieldBinding&) = delete;
  TFieldBinding& operator=(const TFieldBinding&) = delete;

  TFieldDataLink FLink;
};

// An edit that shows a field of the current row. OnChange fires exactly when
// the text shown changes, from the data or from typing; typing changes only
// what is shown, never the dataset.
class TDBEdit : public TEdit, public TFieldBinding {
  Q_OBJECT
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
  Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
public:
  explicit TDBEdit(TComponent* owner = nullptr);
  ~TDBEdit() override;
};

// A label that shows a field of the current row; a date shows as the date.
class TDBText : public TLabel, public TFieldBinding {
  Q_OBJECT
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
  Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
public:
  explicit TDBText(TComponent* owner = nullptr);
  ~TDBText() override;
};

// A multi-line text box that shows a field of the current row.
class TDBMemo : public TCustomMemo, public TFieldBinding {
  Q_OBJECT
  Q_PROPERTY(Vcl::TAlignment Alignment READ Alignment WRITE SetAlignment)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
  Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
  Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
  Q_PROPERTY(Vcl::TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)
  Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
public:
  explicit TDBMemo(TComponent* owner = nullptr);
  ~TDBMemo() override;
};

// What the two lookup lists share: the rows of the list dataset, one item
// per row showing ListField (KeyField when that is empty), read on demand.
// DataSource and DataField are kept for the definitions; nothing is written
// through them.
class TDBLookupControl : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
  Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(QString KeyField READ KeyField WRITE SetKeyField)
  Q_PROPERTY(QString ListField READ ListField WRITE SetListField)
  Q_PROPERTY(TDataSource* ListSource READ ListSource WRITE SetListSource)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TDBLookupControl(TComponent* owner = nullptr);
  ~TDBLookupControl() override;

  TDataSource* ListSource() const { return FModel->DataSource(); }
  void SetListSource(TDataSource* source) { FModel->SetDataSource(source); }
  QString ListField() const { return FListField; }
  void SetListField(const QString& name);
  QString KeyField() const { return FKeyField; }
  void SetKeyField(const QString& name);
  TDataSource* DataSource() const { return FDataLink.DataSource(); }
  void SetDataSource(TDataSource* source) { FDataLink.SetDataSource(source); }
  QString DataField() const { return FDataLink.FieldName(); }
  void SetDataField(const QString& name) { FDataLink.SetFieldName(name); }

  TDataSetModel* Model() const { return FModel.get(); }
  TDataSet* ListDataSet() const { return FModel->Active() ? FModel->DataSet() : nullptr; }

protected:
  int ColorRole() const override;
  bool DefaultParentColor() const override { return false; }
  // Told after the list has followed an event of the list dataset.
  virtual void ListEvent(TDataEvent) {}
  std::unique_ptr<TDataSetModel> FModel;

private:
  QString FListField;
  QString FKeyField;
  TFieldDataLink FDataLink;
};

// A drop-down list to choose one row of the list dataset by its shown text.
// Nothing is chosen at first. Picking an item makes the first row whose
// KeyField is that text current; the close-up event follows every closing of
// the list, picked or not. A choice made with the keys in the closed box is a
// pick and a close-up at once. When the list dataset opens again the choice
// stays if its row is still there (and that row is made current), and is
// dropped otherwise.
class TDBLookupComboBox : public TDBLookupControl {
  Q_OBJECT
  Q_PROPERTY(int DropDownRows READ DropDownRows WRITE SetDropDownRows)
  Q_PROPERTY(TNotifyEvent OnCloseUp READ OnCloseUp WRITE SetOnCloseUp)
public:
  explicit TDBLookupComboBox(TComponent* owner = nullptr);
  ~TDBLookupComboBox() override;

  int DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int rows);
  TNotifyEvent OnCloseUp() const { return FOnCloseUp; }
  void SetOnCloseUp(const TNotifyEvent& e) { FOnCloseUp = e; }

  // The chosen item's text; empty while nothing is chosen.
  QString Text() const { return FText; }
  // As the user does: opens the list; closes it, picking item `row` or not.
  void DropDown();
  void CloseUp(bool pick, int row = -1);
  // Picks item `row` with the list closed, as the keys do.
  void SelectItem(int row);
  bool ListVisible() const;
  class QComboBox* ComboBox() const;

protected:
  void ListEvent(TDataEvent event) override;

private:
  friend class TLookupComboView;
  void Pick(int row);
  // The box shows the chosen text, or nothing.
  void ShowChoice();

  TLookupComboView* FCombo;
  QString FText;
  int FDropDownRows = 7;
  bool FClosingUp = false;
  TNotifyEvent FOnCloseUp;
};

// A list of the list dataset's rows. A click, or Up and Down, makes that
// row current; from then on the highlight follows the dataset's current row,
// until the dataset is opened again.
class TDBLookupListBox : public TDBLookupControl {
  Q_OBJECT
public:
  explicit TDBLookupListBox(TComponent* owner = nullptr);
  ~TDBLookupListBox() override;
  class QListView* ListView() const;
  // The highlighted item; -1 when none is.
  int SelectedRow() const;

protected:
  void ListEvent(TDataEvent event) override;

private:
  friend class TLookupListView;
  void MoveTo(const std::function<void(TDataSet*)>& move);
  void Follow();
  TLookupListView* FList;
  bool FFollowing = false;
};

// Buttons that move a dataset's cursor (and, when shown, insert, delete,
// edit, post, cancel and re-read). Each button's hint is its line of Hints,
// or an English default, and is also its accessible name.
class TDBNavigator : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
  Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
  Q_PROPERTY(TStrings* Hints READ Hints WRITE SetHints)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
  Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
  Q_PROPERTY(DBCtrls::TNavButtonSet VisibleButtons READ VisibleButtons WRITE SetVisibleButtons)
public:
  static constexpr int ButtonCount = 10;
  explicit TDBNavigator(TComponent* owner = nullptr);
  ~TDBNavigator() override;

  TDataSource* DataSource() const { return FLink->DataSource(); }
  void SetDataSource(TDataSource* source);
  bool Flat() const { return FFlat; }
  void SetFlat(bool flat);
  TStrings* Hints() const { return FHints.get(); }
  void SetHints(TStrings* hints);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool v) { FParentShowHint = v; }
  // The buttons' tooltips follow it.
  void SetShowHint(bool show);
  TNavButtonSet VisibleButtons() const { return FVisibleButtons; }
  void SetVisibleButtons(TNavButtonSet buttons);

  // The button for `button`, for tests and for the window's own use.
  QToolButton* Button(TNavigateBtn button) const;
  // Runs a button's command, as a click does.
  void BtnClick(TNavigateBtn button);
  // Follows the dataset: which buttons can be used now.
  void UpdateButtons();

private:
  void UpdateHints();
  std::array<QToolButton*, ButtonCount> FButtons{};
  std::unique_ptr<TDataLink> FLink;
  std::unique_ptr<TStrings> FHints;
  TNavButtonSet FVisibleButtons = TNavButtonSet(0x3FF);
  bool FFlat = false;
  bool FParentShowHint = true;
};
