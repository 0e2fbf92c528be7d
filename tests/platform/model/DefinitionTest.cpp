// Window definitions: parsing and loading, in order, with references,
// handlers and every kind of value; and the errors a definition can hold.
#include "Definition.h"
#include "Exceptions.h"
#include "ModelTestClasses.h"
#include "QtPrinters.h"
#include "TypeInfo.h"

#include <QResource>

#include <gtest/gtest.h>

#include <memory>

using mt::Log;
using mt::TTestForm;
using mt::TTestPart;

namespace {

// Compiled resources for the tests (rcc --binary): /modeltest/bytes.bin holds
// 00 01 0D 0A 19 1A FF, /modeltest/lines.txt "first\r\nsecond\n", and the
// definitions /modeltest/Good.def and /modeltest/Bad.def (an unknown property
// on line 3).
const unsigned char kResources[] = {
    0x71, 0x72, 0x65, 0x73, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x01, 0x61, 0x00, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00,
    0xEF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x01, 0x0D, 0x0A, 0x19, 0x1A, 0xFF, 0x00, 0x00, 0x00,
    0x4A, 0x6F, 0x62, 0x6A, 0x65, 0x63, 0x74, 0x20, 0x46, 0x6F, 0x72, 0x6D, 0x31, 0x3A, 0x20, 0x54, 0x54, 0x65, 0x73,
    0x74, 0x46, 0x6F, 0x72, 0x6D, 0x0A, 0x20, 0x20, 0x6F, 0x62, 0x6A, 0x65, 0x63, 0x74, 0x20, 0x50, 0x3A, 0x20, 0x54,
    0x54, 0x65, 0x73, 0x74, 0x50, 0x61, 0x72, 0x74, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x43, 0x61, 0x70, 0x74, 0x6F, 0x69,
    0x6E, 0x20, 0x3D, 0x20, 0x27, 0x78, 0x27, 0x0A, 0x20, 0x20, 0x65, 0x6E, 0x64, 0x0A, 0x65, 0x6E, 0x64, 0x0A, 0x00,
    0x00, 0x00, 0x0E, 0x66, 0x69, 0x72, 0x73, 0x74, 0x0D, 0x0A, 0x73, 0x65, 0x63, 0x6F, 0x6E, 0x64, 0x0A, 0x00, 0x00,
    0x00, 0x68, 0x6F, 0x62, 0x6A, 0x65, 0x63, 0x74, 0x20, 0x46, 0x6F, 0x72, 0x6D, 0x31, 0x3A, 0x20, 0x54, 0x54, 0x65,
    0x73, 0x74, 0x46, 0x6F, 0x72, 0x6D, 0x0A, 0x20, 0x20, 0x43, 0x61, 0x70, 0x74, 0x69, 0x6F, 0x6E, 0x20, 0x3D, 0x20,
    0x27, 0x49, 0x7A, 0x20, 0x72, 0x65, 0x73, 0x75, 0x72, 0x73, 0x61, 0x27, 0x0A, 0x20, 0x20, 0x6F, 0x62, 0x6A, 0x65,
    0x63, 0x74, 0x20, 0x50, 0x3A, 0x20, 0x54, 0x54, 0x65, 0x73, 0x74, 0x50, 0x61, 0x72, 0x74, 0x0A, 0x20, 0x20, 0x20,
    0x20, 0x43, 0x61, 0x70, 0x74, 0x69, 0x6F, 0x6E, 0x20, 0x3D, 0x20, 0x27, 0x54, 0x72, 0x61, 0xC5, 0xBE, 0x69, 0x27,
    0x0A, 0x20, 0x20, 0x65, 0x6E, 0x64, 0x0A, 0x65, 0x6E, 0x64, 0x0A, 0x00, 0x09, 0x0A, 0xC3, 0x44, 0x04, 0x00, 0x6D,
    0x00, 0x6F, 0x00, 0x64, 0x00, 0x65, 0x00, 0x6C, 0x00, 0x74, 0x00, 0x65, 0x00, 0x73, 0x00, 0x74, 0x00, 0x09, 0x0A,
    0xC6, 0x9C, 0xFE, 0x00, 0x62, 0x00, 0x79, 0x00, 0x74, 0x00, 0x65, 0x00, 0x73, 0x00, 0x2E, 0x00, 0x62, 0x00, 0x69,
    0x00, 0x6E, 0x00, 0x07, 0x08, 0x77, 0x4A, 0x36, 0x00, 0x42, 0x00, 0x61, 0x00, 0x64, 0x00, 0x2E, 0x00, 0x64, 0x00,
    0x65, 0x00, 0x66, 0x00, 0x09, 0x04, 0xC6, 0xBD, 0xF4, 0x00, 0x6C, 0x00, 0x69, 0x00, 0x6E, 0x00, 0x65, 0x00, 0x73,
    0x00, 0x2E, 0x00, 0x74, 0x00, 0x78, 0x00, 0x74, 0x00, 0x08, 0x06, 0x57, 0x43, 0x76, 0x00, 0x47, 0x00, 0x6F, 0x00,
    0x6F, 0x00, 0x64, 0x00, 0x2E, 0x00, 0x64, 0x00, 0x65, 0x00, 0x66, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x02, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x44, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x59, 0x00, 0x00, 0x01, 0xA2, 0x63, 0x87, 0xEC,
    0x58, 0x00, 0x00, 0x00, 0x5C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x6B, 0x00, 0x00, 0x01, 0xA2,
    0x63, 0x8F, 0x94, 0xB4, 0x00, 0x00, 0x00, 0x30, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x0B, 0x00,
    0x00, 0x01, 0xA2, 0x63, 0x8F, 0x94, 0xB4, 0x00, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x01, 0xA2, 0x63, 0x87, 0xEC, 0x58,
};

void RegisterResources() {
  static const bool registered = QResource::registerResource(kResources);
  ASSERT_TRUE(registered);
}

class Definition : public ::testing::Test {
protected:
  void SetUp() override {
    mt::RegisterTestClasses();
    RegisterResources();
    Log().clear();
  }

  static std::unique_ptr<TTestForm> Load(const QString& text) {
    auto form = std::make_unique<TTestForm>();
    LoadWindowDefinitionText(form.get(), text, QStringLiteral("Test.def"));
    return form;
  }

  // The text around one part's property lines.
  static QString WithPart(const QString& lines) {
    return QStringLiteral("object Form1: TTestForm\n  object P: TTestPart\n    %1\n  end\nend\n").arg(lines);
  }

  template <class T>
  static T* Find(const TComponent& owner, const char* name) {
    auto* c = qobject_cast<T*>(owner.FindComponent(QString::fromLatin1(name)));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
};

// A property's value as text, by kind.
QString ValueText(const QObject* object, const char* name) {
  const TPropInfo p = GetPropInfo(object, QString::fromLatin1(name));
  switch (p.Kind()) {
    case tkEnumeration: return GetEnumName(p, GetOrdProp(object, p));
    case tkSet: return SetToString(p, GetOrdProp(object, p), true);
    case tkInteger:
    case tkChar:
    case tkWChar: return QString::number(GetOrdProp(object, p));
    case tkInt64: return QString::number(GetInt64Prop(object, p));
    case tkFloat: return QString::number(GetFloatProp(object, p));
    case tkWString: return GetStrProp(object, p);
    case tkLString: return QString::fromLatin1(GetBytesProp(object, p).toHex());
    case tkVariant: {
      const QVariant v = GetVariantProp(object, p);
      return QString::fromLatin1(v.typeName()) + QLatin1Char(':') + v.toString();
    }
    default: return QStringLiteral("?");
  }
}

}  // namespace

TEST_F(Definition, BuildsInTextOrderWhileLoadingAndNotifiesAfterReferences) {
  auto form = Load(QStringLiteral(R"(object Form1: TTestForm
  Caption = 'Main'
  object A: TTestPart
    Caption = 'a'
    Buddy = C
    object B: TTestPart
      Number = 1
    end
    Number = 2
  end
  object C: TTestPart
    Caption = 'c'
  end
end
)"));
  EXPECT_EQ(form->Name(), QStringLiteral("Form1"));
  EXPECT_EQ(form->Caption(), QStringLiteral("Main"));
  QStringList names;
  for (TComponent* c : form->ComponentList()) names << c->Name();
  EXPECT_EQ(names, QStringList({"A", "B", "C"}));
  // Setters marked "!" ran outside the loading state; the loaded
  // notifications come last, the window first, with references in place.
  EXPECT_EQ(Log(), (std::vector<QString>{"A.Caption", "B.Number", "A.Number", "C.Caption", "A.Buddy", "loaded Form1",
                                         "loaded A buddy=C", "loaded B", "loaded C"}));
  auto* a = Find<TTestPart>(*form, "A");
  auto* b = Find<TTestPart>(*form, "B");
  auto* c = Find<TTestPart>(*form, "C");
  EXPECT_EQ(a->Buddy(), c);
  EXPECT_EQ(b->ParentPart, a);
  EXPECT_EQ(a->ParentPart, nullptr);  // a non-control on the window has no parent
  EXPECT_EQ(b->Owner(), form.get());  // the window owns everything
  EXPECT_FALSE(form->Loading());
  EXPECT_FALSE(a->Loading());
  EXPECT_FALSE(c->Loading());
}

TEST_F(Definition, ReferencesReachLaterComponentsTheWindowAndNil) {
  auto form = Load(QStringLiteral(R"(object Form1: TTestForm
  object A: TTestPart
    Buddy = Later
  end
  object B: TTestPart
    Buddy = form1
  end
  object C: TTestPart
    Buddy = A
    Buddy = nil
  end
  object Later: TTestPart
  end
end
)"));
  EXPECT_EQ(Find<TTestPart>(*form, "A")->Buddy(), Find<TTestPart>(*form, "Later"));
  EXPECT_EQ(Find<TTestPart>(*form, "B")->Buddy(), form.get());
  EXPECT_EQ(Find<TTestPart>(*form, "C")->Buddy(), nullptr);
}

TEST_F(Definition, HandlersAreBoundByNameAndCallTheWindow) {
  auto form = Load(QStringLiteral(R"(object Form1: TTestForm
  OnCreate = FormCreate
  object A: TTestPart
    OnClick = partclick
  end
  object B: TTestPart
    OnClick = PartClick
  end
end
)"));
  auto* a = Find<TTestPart>(*form, "A");
  auto* b = Find<TTestPart>(*form, "B");
  ASSERT_TRUE(static_cast<bool>(a->OnClick()));
  EXPECT_EQ(a->OnClick().Name, QStringLiteral("PartClick"));
  b->OnClick()(b);
  a->OnClick()(a);
  form->AfterConstruction();
  EXPECT_EQ(form->Clicks, (std::vector<TObject*>{b, a, form.get()}));
}

TEST_F(Definition, HandlersWithReferenceParametersAnswerTheCaller) {
  auto form =
      Load(QStringLiteral("object Form1: TTestForm\n  OnCloseQuery = QueryHandler\n  OnClose = FormClose\nend\n"));
  bool canClose = true;
  form->OnCloseQuery()(form.get(), canClose);
  EXPECT_FALSE(canClose);
  TCloseAction action = caHide;
  form->OnClose()(form.get(), action);
  EXPECT_EQ(action, caFree);
  EXPECT_EQ(form->Clicks, std::vector<TObject*>{form.get()});
}

// Each declared member is filled with the component of its name before the
// window hears it is loaded; a missing or mistyped one stops the window.
TEST_F(Definition, DeclaredComponentMembersAreBoundByNameAndClass) {
  auto form = std::make_unique<mt::TBoundForm>();
  EXPECT_EQ(form->First, nullptr);
  LoadWindowDefinitionText(form.get(),
                           QStringLiteral("object Form1: TBoundForm\n  object Grid: TTestGrid\n  end\n"
                                          "  object first: TTestPart\n  end\nend\n"),
                           QStringLiteral("Test.def"));
  EXPECT_EQ(form->First, Find<TTestPart>(*form, "first")) << "names ignore case";
  EXPECT_EQ(form->Grid, Find<mt::TTestGrid>(*form, "Grid"));
  EXPECT_TRUE(form->BoundWhenLoaded);

  struct Row {
    const char* text;
    int line;
    const char* fragment;
  } rows[] = {
      {"object Form1: TBoundForm\n  object Grid: TTestGrid\n  end\nend\n", 1,
       "TBoundForm has no component First (TTestPart)"},
      {"object Form1: TBoundForm\n  object Grid: TTestGrid\n  end\n  object First: TTestGrid\n  end\nend\n", 4,
       "First is a TTestGrid, not a TTestPart"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    auto bad = std::make_unique<mt::TBoundForm>();
    try {
      LoadWindowDefinitionText(bad.get(), QString::fromUtf8(row.text), QStringLiteral("Test.def"));
      ADD_FAILURE() << "loaded without an error";
    } catch (const EDefinitionError& e) {
      EXPECT_EQ(e.Message(),
                QStringLiteral("Test.def, line %1: %2").arg(row.line).arg(QString::fromUtf8(row.fragment)));
    }
  }
}

TEST_F(Definition, ValuesOfEveryKind) {
  struct Row {
    const char* line;
    const char* property;
    const char* expected;
  };
  const Row rows[] = {
      {"Number = 42", "Number", "42"},
      {"Number = -42", "Number", "-42"},
      {"Number = $FF", "Number", "255"},
      {"Number = -$10", "Number", "-16"},
      {"Color = clInfoBk", "Color", "-2147483624"},
      {"Color = CLRED", "Color", "255"},
      {"Color = $80000018", "Color", "-2147483624"},
      {"Color = -2147483640", "Color", "-2147483640"},
      {"Big = 12345678901234", "Big", "12345678901234"},
      {"Big = -9000000000", "Big", "-9000000000"},
      {"Ratio = 1.5", "Ratio", "1.5"},
      {"Ratio = -2.5e-3", "Ratio", "-0.0025"},
      {"Ratio = 1E+3", "Ratio", "1000"},
      {"Ratio = 3", "Ratio", "3"},
      {"Active = True", "Active", "True"},
      {"Active = false", "Active", "False"},
      {"Align = alClient", "Align", "alClient"},
      {"Align = ALRIGHT", "Align", "alRight"},
      {"Styles = [fsBold, fsItalic]", "Styles", "[fsBold,fsItalic]"},
      {"Styles = [fsStrikeOut,fsBold]", "Styles", "[fsBold,fsStrikeOut]"},
      {"Styles = []", "Styles", "[]"},
      {"Letter = 'x'", "Letter", "120"},
      {"Letter = 65", "Letter", "65"},
      {"Letter = #233", "Letter", "233"},
      {"Wide = 'ž'", "Wide", "382"},
      {"Wide = #382", "Wide", "382"},
      {"Extra = 5", "Extra", "qlonglong:5"},
      {"Extra = 2.5", "Extra", "double:2.5"},
      {"Extra = 'text'", "Extra", "QString:text"},
      {"Extra = True", "Extra", "bool:true"},
      {"Caption = 'It''s'", "Caption", "It's"},
      {"Caption = 'Tra'#382'i'", "Caption", "Traži"},
      {"Caption = 'Traži'", "Caption", "Traži"},
      {"Caption = 'one'#13#10'two'", "Caption", "one\r\ntwo"},
      {"Caption = #65#66'c'", "Caption", "ABc"},
      {"Caption = 'a' +\n      'b' +\n      #33", "Caption", "ab!"},
      {"Caption = ''", "Caption", ""},
      {"Caption = 'x' // a comment", "Caption", "x"},
      {"Caption = '{not hex} // nor a comment'", "Caption", "{not hex} // nor a comment"},
      {"Data = 'abc'", "Data", "616263"},
      {"Data = 'Sa'#232'uvaj'", "Data", "5361e87576616a"},
      {"Caption = 'Sa'#232'uvaj'", "Caption", "Sačuvaj"},
      {"Data = 'čćšžđČĆŠŽĐ'", "Data", "e8e69a9ef0c8c68a8ed0"},
      {"Data = #232#230#154#158#240#200#198#138#142#208", "Data", "e8e69a9ef0c8c68a8ed0"},
      {"Caption = #232#230#154#158#240#200#198#138#142#208", "Caption", "čćšžđČĆŠŽĐ"},
      {"Data = 'Sa'#269'uvaj'", "Data", "5361e87576616a"},
      {"Letter = #232", "Letter", "232"},
      {"Letter = 'š'", "Letter", "154"},
      {"Data = {00010D0A191AFF}", "Data", "00010d0a191aff"},
      {"Data = {\n      00 01 0D\n      0a 19 1A ff\n    }", "Data", "00010d0a191aff"},
      {"Data = {}", "Data", ""},
      {"Data = @':/modeltest/bytes.bin'", "Data", "00010d0a191aff"},
      {"Data = @':/modeltest/' + 'bytes.bin'", "Data", "00010d0a191aff"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    try {
      auto form = Load(WithPart(QString::fromUtf8(row.line)));
      EXPECT_EQ(ValueText(Find<TTestPart>(*form, "P"), row.property), QString::fromUtf8(row.expected));
    } catch (const Exception& e) {
      ADD_FAILURE() << e.Message().toStdString();
    }
  }
}

TEST_F(Definition, ByteBlocksArriveWhole) {
  auto form = Load(WithPart(QStringLiteral("Data = {00 01 0D 0A 19 1A FF 00}")));
  EXPECT_EQ(Find<TTestPart>(*form, "P")->Data(), QByteArray("\x00\x01\x0D\x0A\x19\x1A\xFF\x00", 8));
}

TEST_F(Definition, SubObjectsStringListsAndTheWindowsOwnProperties) {
  auto form = Load(QStringLiteral(R"(object Form1: TTestForm
  Caption = 'Notarium'
  Font.Name = 'Courier New'
  Font.Style = [fsBold]
  object P: TTestPart
    Font.Name = 'Arial'
    font.HEIGHT = -16
    Font.Color = clInfoBk
    Items = (
      'a'
      'b c'
      'Tra'#382'i'
      5)
  end
  object Q: TTestPart
    Items = @':/modeltest/lines.txt'
  end
  object R: TTestPart
    Items = ()
  end
end
)"));
  EXPECT_EQ(form->Font()->Name(), QStringLiteral("Courier New"));
  EXPECT_EQ(form->Font()->Style(), TFontStyles(fsBold));
  auto* p = Find<TTestPart>(*form, "P");
  EXPECT_EQ(p->Font()->Name(), QStringLiteral("Arial"));
  EXPECT_EQ(p->Font()->Height(), -16);
  EXPECT_EQ(p->Font()->Color(), clInfoBk);
  EXPECT_EQ(p->Items()->ToList(), QStringList({"a", "b c", "Traži", "5"}));
  EXPECT_EQ(Find<TTestPart>(*form, "Q")->Items()->ToList(), QStringList({"first", "second"}));
  EXPECT_EQ(Find<TTestPart>(*form, "R")->Items()->Count(), 0);
}

TEST_F(Definition, LoadsFromACompiledInResource) {
  TTestForm form;
  LoadWindowDefinition(&form, QStringLiteral(":/modeltest/Good.def"));
  EXPECT_EQ(form.Caption(), QStringLiteral("Iz resursa"));
  EXPECT_EQ(Find<TTestPart>(form, "P")->Caption(), QStringLiteral("Traži"));

  TTestForm bad;
  try {
    LoadWindowDefinition(&bad, QStringLiteral(":/modeltest/Bad.def"));
    ADD_FAILURE() << "Bad.def must not load";
  } catch (const EDefinitionError& e) {
    EXPECT_TRUE(e.Message().startsWith(QLatin1String("Bad.def, line 3: "))) << e.Message().toStdString();
    EXPECT_TRUE(e.Message().contains(QLatin1String("Captoin"))) << e.Message().toStdString();
  }
  TTestForm missing;
  EXPECT_THROW(LoadWindowDefinition(&missing, QStringLiteral(":/modeltest/None.def")), EDefinitionError);
}

TEST_F(Definition, MistakesNameTheDefinitionAndTheLine) {
  struct Row {
    const char* text;
    int line;
    const char* fragment;
  };
  const Row rows[] = {
      {"object Form1: TTestForm\n  object P1: TNoSuchClass\n  end\nend\n", 2, "unknown class TNoSuchClass"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Captoin = 'x'\n  end\nend\n", 3,
       "unknown property Captoin"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Font.Nmae = 'x'\n  end\nend\n", 3,
       "unknown property Nmae of TFont"},
      {"object Form1: TTestForm\n  Fnot.Name = 'x'\nend\n", 2, "Form1 has no object property Fnot"},
      {"object Form1: TTestForm\n  Caption.Text = 'x'\nend\n", 2, "has no object property Caption"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Buddy.Name = 'x'\n  end\nend\n", 3,
       "Buddy of P1 holds no object"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Number = 'ten'\n  end\nend\n", 3,
       "unsuitable value for Number (Integer)"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Caption = 12\n  end\nend\n", 3,
       "unsuitable value for Caption"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Active = 1\n  end\nend\n", 3,
       "unsuitable value for Active (Boolean)"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Font = 'Arial'\n  end\nend\n", 3,
       "unsuitable value for Font"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Items = 'a'\n  end\nend\n", 3,
       "unsuitable value for Items"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Items = ('a' [b])\n  end\nend\n", 3,
       "unsuitable value for Items"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Extra = [a]\n  end\nend\n", 3,
       "unsuitable value for Extra"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Align = alNowhere\n  end\nend\n", 3,
       "alNowhere is not a value of TAlign"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Styles = [fsBold, fsNope]\n  end\nend\n", 3, "fsNope"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Color = clNoSuchColour\n  end\nend\n", 3,
       "unknown constant clNoSuchColour"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Number = 99999999999\n  end\nend\n", 3, "out of range"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Letter = 'ж'\n  end\nend\n", 3, "does not fit Letter"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    OnClick = NoSuchHandler\n  end\nend\n", 3,
       "TTestForm has no handler NoSuchHandler"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    OnClick = QueryHandler\n  end\nend\n", 3,
       "handler QueryHandler does not fit event OnClick"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    OnClick = Hidden\n  end\nend\n", 3,
       "TTestForm has no handler Hidden"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    OnClick = 'PartClick'\n  end\nend\n", 3,
       "unsuitable value for OnClick"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n\n    Buddy = Ghost\n  end\nend\n", 4,
       "no component named Ghost"},
      {"object Form1: TTestForm\n  ActiveControl = P1\n  object P1: TTestPart\n  end\nend\n", 2, "Invalid class"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n  end\n  object p1: TTestPart\n  end\nend\n", 4,
       "already exists"},
      {"object Form1: TTestForm\n  object G: TTestGrid\n    object P1: TTestPart\n    end\n  end\nend\n", 3,
       "G cannot hold P1"},
      {"object Form1: TTestForm\n  object G: TTestGrid\n    Columns[2].FieldName = 'x'\n  end\nend\n", 3,
       "out of bounds"},
      {"object Form1: TTestForm\n  object G: TTestGrid\n    Columns = <item Nope = 1 end>\n  end\nend\n", 3,
       "unknown property Nope of TTestColumn"},
      {"object Form1: TTestForm\n  object G: TTestGrid\n    Columns = <\n      item\n        FieldName = 'a'\n      "
       "end\n"
       "      item\n        Title.Nope = 'b'\n      end>\n  end\nend\n",
       8, "unknown property Nope of TTestTitle"},
      {"object Form1: TTestForm\n  object G: TTestGrid\n    Columns = ('a')\n  end\nend\n", 3,
       "unsuitable value for Columns"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Data = @':/modeltest/none.bin'\n  end\nend\n", 3,
       "resource :/modeltest/none.bin not found"},
      {"object Form1: TOtherForm\nend\n", 1, "not a TOtherForm"},
      // malformed text
      {"object Form1: TTestForm\n  object P1: TTestPart\n  end\n", 1, "Form1 has no 'end'"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Caption = 'x'\nend\n", 1, "Form1 has no 'end'"},
      {"object Form1: TTestForm\n  Caption = 'abc\nend\n", 2, "unterminated string"},
      {"object Form1: TTestForm\n  Caption = 'abc", 2, "unterminated string"},
      {"object Form1: TTestForm\n  Caption = ;\nend\n", 2, "unexpected character ';'"},
      {"object Form1: TTestForm\n  Caption = 'a' ? 'b'\nend\n", 2, "unexpected character '?'"},
      {"object Form1: TTestForm\n  Caption 'x'\nend\n", 2, "'=' expected"},
      {"object Form1: TTestForm\n  Caption =\n", 3, "a value expected"},
      {"object Form1: TTestForm\n  Caption = )\nend\n", 2, "unexpected ')'"},
      {"object Form1: TTestForm\n  Caption = 'a' +\nend\n", 3, "a string expected"},
      {"object Form1: TTestForm\n  Tag = -'a'\nend\n", 2, "a number expected after '-'"},
      {"object Form1: TTestForm\n  Tag = $\nend\n", 2, "bad hexadecimal number"},
      {"object Form1: TTestForm\n  Caption = #\nend\n", 2, "bad character code"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Data = {ABC}\n  end\nend\n", 3,
       "odd number of hex digits"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Data = {0G}\n  end\nend\n", 3, "bad hex digit 'G'"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Data = {00\n", 3, "'}' expected"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Data = {00 ١٢}\n  end\nend\n", 3, "bad hex digit"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Data = {00\n      01\n    }\n    Nope = 1\n  end\nend\n",
       6, "unknown property Nope"},
      {"object Form1: TTestForm\n  Font.Style = [fsBold\nend\n", 3, "',' or ']' expected"},
      {"object Form1: TTestForm\n  object P1: TTestPart\n    Items = ('a'\n", 3, "')' expected"},
      {"object Form1: TTestForm\n  object G: TTestGrid\n    Columns = <item\n", 3, "item has no 'end'"},
      {"object Form1: TTestForm\n  object G: TTestGrid\n    Columns = <thing end>\n  end\nend\n", 3,
       "'item' or '>' expected"},
      {"object Form1: TTestForm\nend\nend\n", 3, "text after the final 'end'"},
      {"object Form1: TTestForm\nend\nobject Form2: TTestForm\nend\n", 3, "text after the final 'end'"},
      {"", 1, "'object' expected"},
      {"Form1: TTestForm\nend\n", 1, "'object' expected"},
      {"object : TTestForm\nend\n", 1, "a component name expected"},
      {"object Form1 TTestForm\nend\n", 1, "':' expected"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    try {
      Load(QString::fromUtf8(row.text));
      ADD_FAILURE() << "loaded without an error";
    } catch (const EDefinitionError& e) {
      const QString prefix = QStringLiteral("Test.def, line %1: ").arg(row.line);
      EXPECT_TRUE(e.Message().startsWith(prefix)) << e.Message().toStdString();
      EXPECT_TRUE(e.Message().contains(QString::fromUtf8(row.fragment))) << e.Message().toStdString();
    } catch (...) {
      ADD_FAILURE() << "an exception other than EDefinitionError";
    }
  }
}

TEST_F(Definition, ExceptionsFromSettersAndLoadedBecomeDefinitionErrors) {
  struct Row {
    const char* text;
    int line;
    const char* fragment;
  };
  const Row rows[] = {
      {"object Form1: TTestForm\n  object P: TTestPart\n    Failing = 'EConvertError'\n  end\nend\n", 3,
       "bad value for Failing"},
      {"object Form1: TTestForm\n  object P: TTestPart\n    Caption = 'x'\n    Failing = 'runtime'\n  end\nend\n", 4,
       "runtime trouble"},
      {"object Form1: TTestForm\n  object P: TTestPart\n    Failing = 'int'\n  end\nend\n", 3,
       "an error without a message"},
      {"object Form1: TTestForm\n  object A: TTestPart\n  end\n  object B: TTestPart\n    Caption = 'fail on load'\n"
       "  end\nend\n",
       4, "cannot finish loading"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    try {
      Load(QString::fromUtf8(row.text));
      ADD_FAILURE() << "loaded without an error";
    } catch (const EDefinitionError& e) {
      EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Test.def, line %1: ").arg(row.line)))
          << e.Message().toStdString();
      EXPECT_TRUE(e.Message().contains(QString::fromUtf8(row.fragment))) << e.Message().toStdString();
    } catch (...) {
      ADD_FAILURE() << "an exception other than EDefinitionError";
    }
  }
}

TEST_F(Definition, ParserKeepsLinesAndStructure) {
  const TDefObject root = ParseDefinition(QStringLiteral(R"(object Form1: TTestForm
  Caption = 'x'
  object A: TTestPart
  end
  Tag = 1
  object B: TTestPart
    Styles = [fsBold, fsItalic]
    Items = ('a' 'b')
  end
end
)"),
                                          QStringLiteral("P.def"));
  EXPECT_EQ(root.name, QStringLiteral("Form1"));
  EXPECT_EQ(root.className, QStringLiteral("TTestForm"));
  ASSERT_EQ(root.properties.size(), 2u);
  EXPECT_EQ(root.properties[1].name, QStringLiteral("Tag"));
  EXPECT_EQ(root.properties[1].line, 5);
  ASSERT_EQ(root.children.size(), 2u);
  EXPECT_EQ(root.children[0].line, 3);
  EXPECT_EQ(root.children[0].propertiesBefore, 1u);
  EXPECT_EQ(root.children[1].propertiesBefore, 2u);
  const TDefObject& b = root.children[1];
  ASSERT_EQ(b.properties.size(), 2u);
  EXPECT_EQ(b.properties[0].value.kind, TDefValue::Set);
  EXPECT_EQ(b.properties[0].value.names, QStringList({"fsBold", "fsItalic"}));
  EXPECT_EQ(b.properties[1].value.kind, TDefValue::List);
  EXPECT_EQ(b.properties[1].value.items.size(), 2u);
  EXPECT_EQ(b.properties[1].line, 8);
}

TEST_F(Definition, ClassesRegisterUnderTheirNameWithoutNamespace) {
  EXPECT_TRUE(static_cast<bool>(FindComponentClass(QStringLiteral("TTestPart"))));
  EXPECT_TRUE(static_cast<bool>(FindComponentClass(QStringLiteral("ttestgrid"))));
  EXPECT_FALSE(static_cast<bool>(FindComponentClass(QStringLiteral("TNoSuchClass"))));
  TComponent owner;
  TComponent* made = FindComponentClass(QStringLiteral("TTestPart"))(&owner);
  EXPECT_EQ(made->ClassName(), QStringLiteral("TTestPart"));
  EXPECT_EQ(made->Owner(), &owner);
}

// A dialog names a component of another window: "Form1.ADOConnection1".
TEST_F(Definition, ReferencesReachAComponentOfAnotherWindow) {
  TApplication* own = Application ? nullptr : new TApplication();
  auto main = std::make_unique<TTestForm>(Application);
  main->SetName(QStringLiteral("Main"));
  auto* part = new TTestPart(main.get());
  part->SetName(QStringLiteral("Shared"));
  auto dialog = Load(QStringLiteral(R"(object Dialog: TTestForm
  object A: TTestPart
    Buddy = Main.Shared
  end
end
)"));
  EXPECT_EQ(Find<TTestPart>(*dialog, "A")->Buddy(), part);
  EXPECT_THROW(
      Load(QStringLiteral("object Dialog: TTestForm\n  object A: TTestPart\n    Buddy = Main.Missing\n  end\nend\n")),
      EDefinitionError);
  dialog.reset();
  main.reset();
  delete own;
}
