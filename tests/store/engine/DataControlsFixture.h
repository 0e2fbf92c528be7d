// Bound controls on a real notebook: the categories table behind a data
// source, with a few categories (two of them with the same name), and the
// helpers that act on a control's widget as a user does.
#pragma once

#include "DBCtrls.h"
#include "DBGrids.h"
#include "StoreFixture.h"
#include "TypeInfo.h"

#include <QTest>
#include <QWidget>

#include <algorithm>

class DataControlsTest : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    for (const char* name : {"Posao", "Kuća", "Kuća", "Hobi"}) AddCategory(QString::fromUtf8(name));
    categories = Table(QStringLiteral("Categories"), QStringLiteral("kategorije"));
    source = new TDataSource(&owner);
    source->SetDataSet(categories);
  }

  TField* Category() const { return categories->FieldByName(QStringLiteral("Category")); }

  // Shows a control's widget as a window of its own, so that it has its
  // real size and takes the mouse and the keys.
  static void ShowAlone(TControl* c, int width = 300, int height = 200) {
    c->SetBounds(0, 0, width, height);
    c->Widget()->resize(width, height);
    c->Widget()->show();
  }

  // A handler counting its calls.
  static TNotifyEvent Counter(int& count) {
    TNotifyEvent e;
    e.Name = QStringLiteral("Counter");
    e.Fn = [&count](TObject*) { ++count; };
    return e;
  }

  // The names of the properties a control publishes.
  static QStringList Published(const QObject* o) {
    QStringList names;
    for (const TPropInfo& p : GetPropList(o)) names << p.Name();
    for (const char* event : {"OnChange", "OnKeyPress", "OnClick", "OnCloseUp", "OnCellClick"})
      if (GetPropInfo(o, QString::fromLatin1(event), true).IsValid()) names << QString::fromLatin1(event);
    return names;
  }

  TADOTable* categories = nullptr;  // owned by `owner`
  TDataSource* source = nullptr;    // owned by `owner`
};
