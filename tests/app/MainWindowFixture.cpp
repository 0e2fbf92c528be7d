#include "MainWindowFixture.h"

void MainWindowFixture::Choose(TDBLookupComboBox* chooser, const QString& name) {
  TDataSet* categories = chooser->ListSource()->DataSet();
  TField* field = categories->FieldByName(chooser->KeyField());
  int row = -1;
  for (int i = 0; i < categories->RecordCount() && row < 0; ++i)
    if (field->AsStringAt(i) == name) row = i;
  ASSERT_GE(row, 0) << "no category " << name.toStdString();
  chooser->DropDown();
  chooser->CloseUp(true, row);
}

void MainWindowFixture::OpenAndDismiss(TDBLookupComboBox* chooser) {
  chooser->DropDown();
  chooser->CloseUp(false);
}

QStringList MainWindowFixture::Titles(TDataSet* list) {
  QStringList titles;
  if (!list->Active()) return titles;
  TField* title = list->FieldByName(QStringLiteral("Title"));
  for (int i = 0; i < list->RecordCount(); ++i) titles << title->AsStringAt(i);
  return titles;
}
