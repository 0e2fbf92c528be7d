// Shared helpers of the translation tests: rows and table blocks built from
// readable parts, and windows with a translation component made from small
// definition texts.
#pragma once

#include "Definition.h"
#include "Forms.h"
#include "lgComp.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace lgtest {

// One row: the name, then every value behind the delimiter, then the closing
// delimiter ("Button1" D "Dodaj" D "Add" D).
inline QByteArray Row(const QByteArray& name, const QList<QByteArray>& values, char delim = '\x01') {
  QByteArray row = name;
  for (const QByteArray& v : values) row += delim + v;
  return row + delim;
}

// Lines joined into a block, CR LF after every line (headers are lines too).
inline QByteArray Block(const QList<QByteArray>& lines) {
  QByteArray out;
  for (const QByteArray& l : lines) out += l + "\r\n";
  return out;
}

// A byte block as a definition value.
inline QString Hex(const QByteArray& bytes) {
  return QLatin1Char('{') + QString::fromLatin1(bytes.toHex()) + QLatin1Char('}');
}

// Builds a window from definition text, TlgLang known to the loader. The
// window's class name is "TForm", the name its own rows carry.
inline std::unique_ptr<TForm> BuildForm(const QString& text) {
  RegisterTranslationClasses();
  auto form = std::make_unique<TForm>();
  LoadWindowDefinitionText(form.get(), text, QStringLiteral("Test.def"));
  form->AfterConstruction();
  return form;
}

// A window Form1 with Label1, Edit1 and Button1, and lgLang1 carrying
// `langProperties` (definition lines, any indentation) after its name.
inline QString LangWindow(const QString& langProperties, const QString& moreComponents = QString()) {
  return QStringLiteral(
             "object Form1: TForm\n"
             "  Caption = 'Prozor'\n"
             "  object Label1: TLabel\n    Caption = 'Naziv'\n  end\n"
             "  object Edit1: TEdit\n    Text = 'tekst'\n  end\n"
             "  object Button1: TButton\n    Caption = 'Dodaj'\n  end\n") +
         moreComponents + QStringLiteral("  object lgLang1: TlgLang\n") + langProperties +
         QStringLiteral("\n  end\nend\n");
}

inline TlgLang* Lang(const TComponent& form) {
  return qobject_cast<TlgLang*>(form.FindComponent(QStringLiteral("lgLang1")));
}

}  // namespace lgtest
