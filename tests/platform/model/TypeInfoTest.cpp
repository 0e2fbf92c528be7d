// Published properties by name: lists, lookup, kinds, type names, reading and
// writing by kind, enumeration and set names.
#include "Classes.h"
#include "Events.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "QtPrinters.h"
#include "TypeInfo.h"
#include "VclTypes.h"

#include <gtest/gtest.h>

#include <memory>

namespace mt {

// One published property of every kind the system knows.
class TKinds : public TComponent {
  Q_OBJECT
  Q_PROPERTY(int Count READ Count WRITE SetCount)
  Q_PROPERTY(qint64 Big READ Big WRITE SetBig)
  Q_PROPERTY(double Ratio READ Ratio WRITE SetRatio)
  Q_PROPERTY(QString Text READ Text WRITE SetText)
  Q_PROPERTY(QByteArray Bytes READ Bytes WRITE SetBytes)
  Q_PROPERTY(bool Active READ Active WRITE SetActive)
  Q_PROPERTY(char Letter READ Letter WRITE SetLetter)
  Q_PROPERTY(QChar Wide READ Wide WRITE SetWide)
  Q_PROPERTY(Vcl::TWindowState State READ State WRITE SetState)
  Q_PROPERTY(Vcl::TFontStyles Styles READ Styles WRITE SetStyles)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(TComponent* Buddy READ Buddy WRITE SetBuddy)
  Q_PROPERTY(TStrings* Lines READ Lines)
  Q_PROPERTY(TCollection* Items READ Items)
  Q_PROPERTY(QVariant extra READ Extra WRITE SetExtra)
  Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
  Q_PROPERTY(mt::TKinds::TOptions Options READ Options WRITE SetOptions)
public:
  // Declared out of element order on purpose.
  enum TOption { opLast = 4, opFirst = 1, opMiddle = 2 };
  Q_DECLARE_FLAGS(TOptions, TOption)
  Q_FLAG(TOptions)

  explicit TKinds(TComponent* owner = nullptr)
      : TComponent(owner),
        FLines(std::make_unique<TStringList>()),
        FItems(std::make_unique<TCollection>(this, [](TCollection* c) { return new TCollectionItem(c); })) {}

  int Count() const { return FCount; }
  void SetCount(int v) { FCount = v; }
  qint64 Big() const { return FBig; }
  void SetBig(qint64 v) { FBig = v; }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  QString Text() const { return FText; }
  void SetText(const QString& v) { FText = v; }
  QByteArray Bytes() const { return FBytes; }
  void SetBytes(const QByteArray& v) { FBytes = v; }
  bool Active() const { return FActive; }
  void SetActive(bool v) { FActive = v; }
  char Letter() const { return FLetter; }
  void SetLetter(char v) { FLetter = v; }
  QChar Wide() const { return FWide; }
  void SetWide(QChar v) { FWide = v; }
  TWindowState State() const { return FState; }
  void SetState(TWindowState v) { FState = v; }
  TFontStyles Styles() const { return FStyles; }
  void SetStyles(TFontStyles v) { FStyles = v; }
  TFont* Font() const { return const_cast<TFont*>(&FFont); }
  void SetFont(TFont* v) { FFont.Assign(v); }
  TComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TComponent* v) { FBuddy = v; }
  TStrings* Lines() const { return FLines.get(); }
  TCollection* Items() const { return FItems.get(); }
  QVariant Extra() const { return FExtra; }
  void SetExtra(const QVariant& v) { FExtra = v; }
  TNotifyEvent OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }
  TOptions Options() const { return FOptions; }
  void SetOptions(TOptions v) { FOptions = v; }

private:
  int FCount = 0;
  qint64 FBig = 0;
  double FRatio = 0;
  QString FText;
  QByteArray FBytes;
  bool FActive = false;
  char FLetter = 0;
  QChar FWide;
  TWindowState FState = wsNormal;
  TFontStyles FStyles;
  TFont FFont;
  TComponent* FBuddy = nullptr;
  std::unique_ptr<TStringList> FLines;
  std::unique_ptr<TCollection> FItems;
  QVariant FExtra;
  TNotifyEvent FOnChange;
  TOptions FOptions;
};

// Redeclares Count with another type; the descendant's property wins.
class TKindsDerived : public TKinds {
  Q_OBJECT
  Q_PROPERTY(QString Count READ CountText WRITE SetCountText)
public:
  QString CountText() const { return FCountText; }
  void SetCountText(const QString& v) { FCountText = v; }

private:
  QString FCountText;
};

}  // namespace mt

using mt::TKinds;

namespace {

TPropInfo Prop(const QObject& o, const char* name) {
  TPropInfo p = GetPropInfo(&o, QString::fromLatin1(name), true);
  EXPECT_TRUE(p.IsValid()) << name;
  return p;
}

}  // namespace

TEST(TypeInfo, PropListIsSortedIgnoringCaseWithoutEvents) {
  TKinds k;
  QStringList names;
  for (const TPropInfo& p : GetPropList(&k)) names << p.Name();
  EXPECT_EQ(names, QStringList({"Active", "Big", "Buddy", "Bytes", "Count", "extra", "Font", "Items", "Letter", "Lines",
                                "Name", "Options", "Ratio", "State", "Styles", "Tag", "Text", "Wide"}));
}

TEST(TypeInfo, KindsAndTypeNames) {
  TKinds k;
  struct Row {
    const char* property;
    TTypeKind kind;
    int number;
    const char* typeName;
  };
  const Row rows[] = {
      {"Count", tkInteger, 1, "Integer"},
      {"Big", tkInt64, 16, "Int64"},
      {"Ratio", tkFloat, 4, "Double"},
      {"Text", tkWString, 11, "WideString"},
      {"Bytes", tkLString, 10, "AnsiString"},
      {"Active", tkEnumeration, 3, "Boolean"},
      {"Letter", tkChar, 2, "Char"},
      {"Wide", tkWChar, 9, "WideChar"},
      {"State", tkEnumeration, 3, "TWindowState"},
      {"Styles", tkSet, 6, "TFontStyles"},
      {"Font", tkClass, 7, "TFont"},
      {"Buddy", tkClass, 7, "TComponent"},
      {"Lines", tkClass, 7, "TStrings"},
      {"Items", tkClass, 7, "TCollection"},
      {"extra", tkVariant, 12, "Variant"},
      {"OnChange", tkMethod, 8, "TNotifyEvent"},
      {"Name", tkWString, 11, "WideString"},
      {"Options", tkSet, 6, "TOptions"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.property);
    const TPropInfo p = Prop(k, row.property);
    EXPECT_EQ(p.Kind(), row.kind);
    EXPECT_EQ(static_cast<int>(p.Kind()), row.number);
    if (row.kind != tkMethod) {
      EXPECT_EQ(p.TypeName(), QString::fromLatin1(row.typeName));
    }
  }
  EXPECT_EQ(Prop(k, "Font").ClassType(), &TFont::staticMetaObject);
  EXPECT_FALSE(Prop(k, "Lines").Writable());
}

TEST(TypeInfo, GetPropInfoIgnoresCaseAndLooksAtTheClassFirst) {
  mt::TKindsDerived d;
  TKinds k;
  EXPECT_EQ(GetPropInfo(&k, QStringLiteral("STYLES")).Name(), QStringLiteral("Styles"));
  EXPECT_EQ(GetPropInfo(&k, QStringLiteral("tag")).Kind(), tkInteger);  // from the ancestor
  EXPECT_FALSE(GetPropInfo(&k, QStringLiteral("OnChange")).IsValid());  // events only when asked
  EXPECT_TRUE(GetPropInfo(&k, QStringLiteral("onchange"), true).IsValid());
  EXPECT_FALSE(GetPropInfo(&k, QStringLiteral("objectName")).IsValid());
  EXPECT_FALSE(GetPropInfo(&k, QStringLiteral("Nothing")).IsValid());
  EXPECT_FALSE(GetPropInfo(&k, QString()).IsValid());
  EXPECT_FALSE(GetPropInfo(nullptr, QStringLiteral("Tag")).IsValid());

  EXPECT_EQ(GetPropInfo(&k, QStringLiteral("count")).Kind(), tkInteger);
  EXPECT_EQ(GetPropInfo(&d, QStringLiteral("count")).Kind(), tkWString);
  int counts = 0;
  for (const TPropInfo& p : GetPropList(&d))
    if (SameText(p.Name(), QStringLiteral("Count"))) {
      ++counts;
      EXPECT_EQ(p.Kind(), tkWString);
    }
  EXPECT_EQ(counts, 1);
  EXPECT_TRUE(InheritsFrom(&d, "mt::TKinds"));
  EXPECT_FALSE(InheritsFrom(&k, "TFont"));
}

TEST(TypeInfo, ReadsAndWritesEveryKind) {
  TKinds k;
  SetOrdProp(&k, Prop(k, "Count"), -7);
  EXPECT_EQ(k.Count(), -7);
  EXPECT_EQ(GetOrdProp(&k, Prop(k, "Count")), -7);

  SetInt64Prop(&k, Prop(k, "Big"), 0x123456789ALL);
  EXPECT_EQ(k.Big(), 0x123456789ALL);
  EXPECT_EQ(GetInt64Prop(&k, Prop(k, "Big")), 0x123456789ALL);
  SetOrdProp(&k, Prop(k, "Big"), -5);
  EXPECT_EQ(k.Big(), -5);

  SetFloatProp(&k, Prop(k, "Ratio"), 2.25);
  EXPECT_DOUBLE_EQ(GetFloatProp(&k, Prop(k, "Ratio")), 2.25);

  SetOrdProp(&k, Prop(k, "Active"), 1);
  EXPECT_TRUE(k.Active());
  EXPECT_EQ(GetOrdProp(&k, Prop(k, "Active")), 1);

  // A character's ordinal is its code, also above 127.
  SetOrdProp(&k, Prop(k, "Letter"), 233);
  EXPECT_EQ(static_cast<unsigned char>(k.Letter()), 233);
  EXPECT_EQ(GetOrdProp(&k, Prop(k, "Letter")), 233);
  SetOrdProp(&k, Prop(k, "Wide"), 0x17E);
  EXPECT_EQ(k.Wide(), QChar(0x17E));
  EXPECT_EQ(GetOrdProp(&k, Prop(k, "Wide")), 0x17E);

  SetOrdProp(&k, Prop(k, "State"), wsMaximized);
  EXPECT_EQ(k.State(), wsMaximized);
  EXPECT_EQ(GetOrdProp(&k, Prop(k, "State")), 2);
  SetOrdProp(&k, Prop(k, "Styles"), fsBold | fsStrikeOut);
  EXPECT_EQ(k.Styles(), TFontStyles(fsBold | fsStrikeOut));
  EXPECT_EQ(GetOrdProp(&k, Prop(k, "Styles")), 9);

  SetStrProp(&k, Prop(k, "Text"), QStringLiteral("Traži"));
  EXPECT_EQ(GetStrProp(&k, Prop(k, "Text")), QStringLiteral("Traži"));
  EXPECT_EQ(GetBytesProp(&k, Prop(k, "Text")), QStringLiteral("Traži").toUtf8());

  // Byte strings keep every byte as they are.
  const QByteArray bytes("\x00\x01\xFF\x80", 4);
  SetBytesProp(&k, Prop(k, "Bytes"), bytes);
  EXPECT_EQ(k.Bytes(), bytes);
  EXPECT_EQ(GetBytesProp(&k, Prop(k, "Bytes")), bytes);

  SetVariantProp(&k, Prop(k, "extra"), QVariant(42));
  EXPECT_EQ(GetVariantProp(&k, Prop(k, "extra")), QVariant(42));
}

TEST(TypeInfo, ObjectPropertiesStoreReferencesAndCopySubObjects) {
  TKinds k;
  TComponent other;
  SetObjectProp(&k, Prop(k, "Buddy"), &other);
  EXPECT_EQ(k.Buddy(), &other);
  EXPECT_EQ(GetObjectProp(&k, Prop(k, "Buddy")), &other);
  SetObjectProp(&k, Prop(k, "Buddy"), nullptr);
  EXPECT_EQ(k.Buddy(), nullptr);

  TFont font;
  font.SetName(QStringLiteral("Courier New"));
  SetObjectProp(&k, Prop(k, "Font"), &font);
  EXPECT_EQ(k.Font()->Name(), QStringLiteral("Courier New"));
  EXPECT_NE(GetObjectProp(&k, Prop(k, "Font")), &font);  // copied, not shared
  EXPECT_EQ(GetObjectProp(&k, Prop(k, "Lines")), k.Lines());
  EXPECT_EQ(GetObjectProp(&k, Prop(k, "Items")), k.Items());

  EXPECT_THROW(SetObjectProp(&k, Prop(k, "Font"), &other), EConvertError);          // not a TFont
  EXPECT_THROW(SetObjectProp(&k, Prop(k, "Lines"), k.Lines()), EInvalidOperation);  // read-only
  // Not an object property: nothing to read, nothing written.
  EXPECT_EQ(GetObjectProp(&k, Prop(k, "Count")), nullptr);
  EXPECT_THROW(SetObjectProp(&k, Prop(k, "Count"), &other), EConvertError);
  EXPECT_EQ(k.Count(), 0);
}

TEST(TypeInfo, EventsTakeOnlyHandlersOfTheirType) {
  TKinds k;
  const TPropInfo onChange = Prop(k, "OnChange");
  int calls = 0;
  TNotifyEvent e;
  e.Name = QStringLiteral("Changed");
  e.Fn = [&](TObject*) { ++calls; };
  SetMethodProp(&k, onChange, QVariant::fromValue(e));
  k.OnChange()(&k);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(GetMethodProp(&k, onChange).value<TNotifyEvent>().Name, QStringLiteral("Changed"));

  TCloseQueryEvent wrong;
  EXPECT_THROW(SetMethodProp(&k, onChange, QVariant::fromValue(wrong)), EConvertError);
  SetMethodProp(&k, onChange, QVariant());
  EXPECT_FALSE(static_cast<bool>(k.OnChange()));
}

TEST(TypeInfo, EnumerationNames) {
  TKinds k;
  const TPropInfo state = Prop(k, "State");
  const TPropInfo active = Prop(k, "Active");
  EXPECT_EQ(GetEnumNames(state), QStringList({"wsNormal", "wsMinimized", "wsMaximized"}));
  EXPECT_EQ(GetEnumNames(active), QStringList({"False", "True"}));
  EXPECT_EQ(GetEnumName(state, 2), QStringLiteral("wsMaximized"));
  EXPECT_EQ(GetEnumName(active, 1), QStringLiteral("True"));
  EXPECT_EQ(GetEnumName(state, 9), QString());

  struct Row {
    const char* property;
    const char* name;
    std::optional<qint64> value;
  };
  const Row rows[] = {
      {"State", "wsMaximized", 2},
      {"State", "WSMINIMIZED", 1},
      {"State", "wsnormal", 0},
      {"State", "wsBogus", std::nullopt},
      {"State", "", std::nullopt},
      {"Active", "true", 1},
      {"Active", "FALSE", 0},
      {"Active", "Yes", std::nullopt},
      {"Count", "wsNormal", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.property) + " " + row.name);
    EXPECT_EQ(GetEnumValue(Prop(k, row.property), QString::fromLatin1(row.name)), row.value);
  }
}

TEST(TypeInfo, SetNamesAndText) {
  TKinds k;
  const TPropInfo styles = Prop(k, "Styles");
  EXPECT_EQ(GetSetNames(styles), QStringList({"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}));
  EXPECT_EQ(GetSetNames(Prop(k, "Options")), QStringList({"opFirst", "opMiddle", "opLast"}));
  EXPECT_TRUE(GetSetNames(Prop(k, "State")).isEmpty());

  struct ToText {
    qint64 mask;
    bool brackets;
    const char* text;
  };
  const ToText toText[] = {
      {fsBold | fsItalic, false, "fsBold,fsItalic"},
      {fsStrikeOut | fsBold, false, "fsBold,fsStrikeOut"},
      {0, false, ""},
      {fsBold, true, "[fsBold]"},
      {0, true, "[]"},
      {15, false, "fsBold,fsItalic,fsUnderline,fsStrikeOut"},
  };
  for (const ToText& row : toText) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(SetToString(styles, row.mask, row.brackets), QString::fromLatin1(row.text));
  }
  EXPECT_EQ(SetToString(Prop(k, "Options"), 7, false), QStringLiteral("opFirst,opMiddle,opLast"));

  struct FromText {
    const char* text;
    std::optional<qint64> mask;
  };
  const FromText fromText[] = {
      {"[fsBold]", fsBold},
      {"fsBold", fsBold},
      {"fsBold, fsItalic", fsBold | fsItalic},
      {"fsBold,fsItalic", fsBold | fsItalic},
      {"[ fsItalic , fsBold ]", fsBold | fsItalic},
      {"fsBold fsUnderline", fsBold | fsUnderline},
      {"fsBold,\tfsItalic", fsBold | fsItalic},
      {"[FSBOLD]", fsBold},
      {"", 0},
      {"[]", 0},
      {"fsNope", std::nullopt},
      {"[fsBold, fsNope]", std::nullopt},
      {"fsBoldx", std::nullopt},
  };
  for (const FromText& row : fromText) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(StringToSet(styles, QString::fromLatin1(row.text)), row.mask);
  }
  EXPECT_EQ(StringToSet(Prop(k, "State"), QStringLiteral("wsNormal")), std::nullopt);
}

#include "TypeInfoTest.moc"

// Text in byte strings is Windows-1250, both ways.
TEST(TypeInfo, ByteStringsHoldTextInWindows1250) {
  TKinds k;
  const struct {
    const char* name;
    QString text;
    QByteArray bytes;
  } rows[] = {
      {"small letters", QStringLiteral("\u010D\u0107\u0161\u017E\u0111"), QByteArray("\xE8\xE6\x9A\x9E\xF0")},
      {"capitals", QStringLiteral("\u010C\u0106\u0160\u017D\u0110"), QByteArray("\xC8\xC6\x8A\x8E\xD0")},
      {"a word", QStringLiteral("Sa\u010Duvaj"), QByteArray("Sa\xE8uvaj")},
      {"a letter the code page lacks", QStringLiteral("caf\u00E8"), QByteArray("caf?")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetStrProp(&k, Prop(k, "Bytes"), row.text);
    EXPECT_EQ(k.Bytes(), row.bytes);
    if (!row.bytes.contains('?')) {
      EXPECT_EQ(GetStrProp(&k, Prop(k, "Bytes")), row.text);
    }
  }
  // Every byte comes back unchanged through text.
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  SetBytesProp(&k, Prop(k, "Bytes"), all);
  SetStrProp(&k, Prop(k, "Bytes"), GetStrProp(&k, Prop(k, "Bytes")));
  EXPECT_EQ(k.Bytes(), all);
}
