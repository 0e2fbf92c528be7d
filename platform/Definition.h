// Window definitions: the text that lists a window's components in creation
// order with their property values and handler names, and the one loader
// that builds any window from it.
//
//   object Kategorije: TKategorije
//     Caption = 'Kategorije'
//     Font.Name = 'Tahoma'
//     OnActivate = FormActivate
//     object Button1: TButton
//       Caption = 'Dodaj'#13#10'i još'
//       Enabled = False
//     end
//   end
//
// Values: integers (also $hex), floats, 'strings' ('' for a quote, #nn for a
// character, + to join parts across lines), identifiers (enumeration members,
// True/False, colour and cursor names, component references, handlers),
// sets [a, b], string lists ('a' 'b'), collections <item ... end>, byte
// blocks {hex digits} and @'resource path' (a compiled-in file's bytes).
//
// Text in byte properties. Byte strings and byte characters hold
// Windows-1250, the code page of the system's texts (CodePage.h), and every
// way into or out of them goes through that code page: a definition's
// strings, GetStrProp and SetStrProp, and whatever builds on them (the
// translation tables, the settings files). In a definition, #nn below 256 is
// a byte of Windows-1250, as a single-byte designer writes it ('Sa'#232'uvaj'
// is "Sačuvaj" in any string property), and #nn from 256 up is a Unicode code
// point ('Tra'#382'i' is "Traži"). A character that Windows-1250 lacks is
// stored in a byte property as '?'. Byte blocks and resources go in as they
// are.
#pragma once

#include "Component.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TCustomForm;

struct TDefValue {
  enum Kind { Integer, Float, String, Ident, Set, List, Collection, Bytes, Resource };
  Kind kind = Integer;
  qint64 integer = 0;
  double number = 0;
  QString text;                  // String, Ident, Resource
  QStringList names;             // Set
  std::vector<TDefValue> items;  // List
  QByteArray bytes;              // Bytes
  struct Item;
  std::vector<Item> collection;  // Collection
  int line = 0;
};

struct TDefProperty {
  QString name;  // may be a dotted path: Font.Name
  TDefValue value;
  int line = 0;
};

struct TDefValue::Item {
  std::vector<TDefProperty> properties;
  int line = 0;
};

struct TDefObject {
  QString name;
  QString className;
  std::vector<TDefProperty> properties;
  std::vector<TDefObject> children;
  int line = 0;
  // How many of the parent's properties the text lists before this object,
  // so that the loader keeps the text's order.
  size_t propertiesBefore = 0;
};

// Parses a definition; `origin` names it in error messages. Raises
// EDefinitionError ("Form1.def, line 12: ...") for malformed text.
TDefObject ParseDefinition(const QString& text, const QString& origin);

// Makes components by class name.
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterComponentClass(const QString& className, TComponentFactory factory);
// Registers T under its class name without namespace, the name ClassName()
// gives and definitions use.
template <class T>
void RegisterComponentClass() {
  QString name = QString::fromLatin1(T::staticMetaObject.className());
  name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
  RegisterComponentClass(name, [](TComponent* owner) -> TComponent* { return new T(owner); });
}
// The factory for a class name (ignoring case), or an empty function.
TComponentFactory FindComponentClass(const QString& className);

// Builds `form` from the definition compiled in at `resourcePath`: creates
// its components in definition order, applies their properties in order while
// they load, binds handlers by name to the form's methods (or its handler
// table), resolves references, fills the form's declared component members
// (ComponentMembers.h), then gives every component its loaded notification in
// creation order (the form first). Raises EDefinitionError naming the
// definition and line for an unknown class, property, value, handler or
// declared component.
void LoadWindowDefinition(TCustomForm* form, const QString& resourcePath);
// The same from text already in memory.
void LoadWindowDefinitionText(TCustomForm* form, const QString& text, const QString& origin);
