// The saver with the storage and its INI file: the exact file a dialog
// leaves behind, written once when the window goes, and every kind of value
// read back into a fresh window.
#include "PropSaverTestSupport.h"
#include "SettingsTestSupport.h"

#include "rsIniData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace saver;
using namespace uitest;

namespace {

class PropSaverFileTest : public SaverTest {
protected:
  PropSaverFileTest() { EXPECT_TRUE(dir.isValid()); }

  // A window named `name` whose settings live in `file`.ini in the temporary folder.
  QString Window(const QString& name, const QString& file, const QString& body, const QStringList& lines,
                 const QString& formProperties = QString()) {
    QStringList quoted;
    for (const QString& line : lines) quoted << QLatin1Char('\'') + line + QLatin1Char('\'');
    return QStringLiteral(R"(object %1: TForm
  Left = 40
  Top = 50
  Width = 400
  Height = 300
  Position = poDesktopCenter
%2
%3
  object rsStorage1: TrsStorage
    Active = True
    StorageData = rsIniData1
    OnAfterSave = StorageSaved
  end
  object rsIniData1: TrsIniData
    FileName = '%4'
    FileDir = fdCustom
    Options = []
  end
  object rsPropSaver1: TrsPropSaver
    Storage = rsStorage1
    RootSection = '%1.rsPropSaver1'
    Properties = (%5)
    WhenLoad = wlOnCreate
    WhenSave = wsOnClose
  end
end)")
        .arg(name, formProperties, body, dir.filePath(file), quoted.join(QLatin1Char(' ')));
  }

  std::unique_ptr<TForm> Open(const QString& definition) {
    return BuildForm(definition,
                     [this](THandlerTable& t) { handlers.Notify(t, "StorageSaved", [this](TObject*) { ++writes; }); });
  }

  QByteArray FileText(const QString& file) { return settingstest::ReadFile(dir.filePath(file)); }

  QTemporaryDir dir;
  int writes = 0;
};

TEST_F(PropSaverFileTest, ANewEntryDialogLeavesItsLookInTheFileOnceWhenItGoes) {
  const QStringList lines = {"Memo1.Color",       "Memo1.Font.Charset", "Memo1.Font.Color",
                             "Memo1.Font.Height", "Memo1.Font.Name",    "Memo1.Font.Orientation",
                             "Memo1.Font.Pitch",  "Memo1.Font.Size",    "Memo1.Font.Style"};
  auto form = Open(Window(QStringLiteral("NoviUnos"), QStringLiteral("NU"), kMemo, lines));
  const int size = Find<TMemo>(form.get(), "Memo1")->Font()->Size();
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("NU.ini")))) << "closing fills the tree in memory only";
  EXPECT_EQ(writes, 0);
  form.reset();
  EXPECT_EQ(writes, 1) << "the file is written once, when the window is destroyed";
  const QByteArray expected =
      "[NoviUnos.rsPropSaver1]\r\n"
      "FormPlacement=\"0,1,-1,-1,-1,-1,40,50,440,350\"\r\n"
      "Memo1.Color=-2147483624\r\n"
      "Memo1.Font.Charset=1\r\n"
      "Memo1.Font.Color=-2147483640\r\n"
      "Memo1.Font.Height=-13\r\n"
      "Memo1.Font.Name=\"Tahoma\"\r\n"
      "Memo1.Font.Orientation=0\r\n"
      "Memo1.Font.Pitch=\"fpDefault\"\r\n"
      "Memo1.Font.Size=" +
      QByteArray::number(size) +
      "\r\n"
      "Memo1.Font.Style=\"[fsBold]\"\r\n"
      "\r\n";
  EXPECT_EQ(FileText(QStringLiteral("NU.ini")).toStdString(), expected.toStdString());
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverFileTest, AFileValueThatDoesNotReadIsShownAndTheWindowOpensWithItsDefinition) {
  settingstest::WriteFile(
      dir.filePath(QStringLiteral("opt.ini")),
      "[Form1.rsPropSaver1]\r\nEdit2.Text=\"2\"\r\nFormPlacement=\"0,1,-1,-1,-1,-1,30,40,530,390\"\r\n"
      "Panel3.Width=233\r\nPanel7.Width=\"abc\"\r\n");
  auto form = Open(Window(QStringLiteral("Form1"), QStringLiteral("opt"), kMainBody, kMainLines,
                          QStringLiteral("  WindowState = wsMaximized")));
  EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("'abc' is not a valid integer value")});
  EXPECT_EQ(Find<TPanel>(form.get(), "Panel3")->Width(), 160);
  EXPECT_EQ(Find<TEdit>(form.get(), "Edit2")->Text(), QStringLiteral("1"));
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_EQ(form->Position(), poDesktopCenter);
}

// Every kind the saver keeps, written to the file by one window and read by
// the next.
TEST_F(PropSaverFileTest, EveryKindReadsBackIntoAFreshWindow) {
  const QString body = QStringLiteral(R"(  object Memo1: TMemo
  end
  object Part1: TKindsPart
  end
  object Part2: TKindsPart
  end)");
  const QStringList lines = {"Part1.Flag",   "Part1.Align", "Part1.Styles", "Part1.Number",    "Part1.Color",
                             "Part1.Letter", "Part1.Wide",  "Part1.Big",    "Part1.Ratio",     "Part1.Caption",
                             "Part1.Bytes",  "Part1.Extra", "Part1.Buddy",  "Part1.Items",     "Part1.Font",
                             "Part2",        "Memo1.Lines", "WindowState",  "Memo1.Font.Style"};
  const QString definition = Window(QStringLiteral("Kinds"), QStringLiteral("kinds"), body, lines);
  const QString caption = QStringLiteral("first line\r\nsecond: \u010d\u0107\u0161\u017e 50$ \"quoted\"");
  {
    auto form = Open(definition);
    auto* p = Find<TKindsPart>(form.get(), "Part1");
    p->SetFlag(true);
    p->SetAlign(alClient);
    p->SetStyles(TFontStyles(fsItalic | fsStrikeOut));
    p->SetNumber(-42);
    p->SetColor(-2147483624);
    p->SetLetter('Z');
    p->SetWide(QChar(0x0161));
    p->SetBig(5000000000LL);
    p->SetRatio(0.1);
    p->SetCaption(caption);
    p->SetBytes(QByteArrayLiteral("raw bytes"));
    p->SetExtra(QStringLiteral("variant text"));
    p->SetBuddy(Find<TMemo>(form.get(), "Memo1"));
    p->Items()->SetList({QStringLiteral("one"), QStringLiteral("two, three"), QString()});
    p->Font()->SetName(QStringLiteral("Courier New"));
    p->Font()->SetHeight(-20);
    p->Font()->SetStyle(TFontStyles(fsUnderline));
    auto* whole = Find<TKindsPart>(form.get(), "Part2");
    whole->SetNumber(77);
    whole->SetCaption(QStringLiteral("whole\ncomponent %"));
    whole->SetBuddy(p);
    whole->Items()->SetList({QStringLiteral("a"), QStringLiteral("b")});
    whole->Font()->SetStyle(TFontStyles(fsBold));
    Find<TMemo>(form.get(), "Memo1")->Lines()->SetList({QStringLiteral("memo 1"), QStringLiteral("memo 2")});
    Find<TMemo>(form.get(), "Memo1")->Font()->SetStyle(TFontStyles());
    form->SetWindowState(wsMaximized);
    ASSERT_TRUE(form->CloseQuery());
  }
  ASSERT_TRUE(host.Errors().empty()) << host.Errors().front().toStdString();
  auto form = Open(definition);
  ASSERT_TRUE(host.Errors().empty()) << host.Errors().front().toStdString();
  auto* p = Find<TKindsPart>(form.get(), "Part1");
  EXPECT_TRUE(p->Flag());
  EXPECT_EQ(p->Align(), alClient);
  EXPECT_EQ(p->Styles(), TFontStyles(fsItalic | fsStrikeOut));
  EXPECT_EQ(p->Number(), -42);
  EXPECT_EQ(p->Color(), -2147483624);
  EXPECT_EQ(p->Letter(), 'Z');
  EXPECT_EQ(p->Wide(), QChar(0x0161));
  EXPECT_EQ(p->Big(), 5000000000LL);
  EXPECT_DOUBLE_EQ(p->Ratio(), 0.1);
  EXPECT_EQ(p->Caption(), caption);
  EXPECT_EQ(p->Bytes(), QByteArrayLiteral("raw bytes"));
  EXPECT_EQ(p->Extra(), QVariant(QStringLiteral("variant text")));
  EXPECT_EQ(p->Buddy(), form->FindComponent(QStringLiteral("Memo1")));
  EXPECT_EQ(p->Items()->ToList(), (QStringList{QStringLiteral("one"), QStringLiteral("two, three"), QString()}));
  EXPECT_EQ(p->Font()->Name(), QStringLiteral("Courier New"));
  EXPECT_EQ(p->Font()->Height(), -20);
  EXPECT_EQ(p->Font()->Style(), TFontStyles(fsUnderline));
  auto* whole = Find<TKindsPart>(form.get(), "Part2");
  EXPECT_EQ(whole->Number(), 77);
  EXPECT_EQ(whole->Caption(), QStringLiteral("whole\ncomponent %"));
  EXPECT_EQ(whole->Buddy(), p);
  EXPECT_EQ(whole->Items()->ToList(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
  EXPECT_EQ(whole->Font()->Style(), TFontStyles(fsBold));
  EXPECT_EQ(Find<TMemo>(form.get(), "Memo1")->Lines()->ToList(),
            (QStringList{QStringLiteral("memo 1"), QStringLiteral("memo 2")}));
  EXPECT_EQ(Find<TMemo>(form.get(), "Memo1")->Font()->Style(), TFontStyles()) << "the empty set is stored as []";
  EXPECT_EQ(form->WindowState(), wsMaximized);
}

TEST_F(PropSaverFileTest, VariantsKeepTheirKind) {
  const QVariant rows[] = {QVariant(7),
                           QVariant(-3),
                           QVariant(2.5),
                           QVariant(true),
                           QVariant(QStringLiteral("seven")),
                           QVariant(qint64(1) << 40)};
  const QString body = QStringLiteral("  object Part1: TKindsPart\n  end");
  int round = 0;
  for (const QVariant& value : rows) {
    SCOPED_TRACE(value.toString().toStdString() + " of type " + (value.isValid() ? value.typeName() : "none"));
    const QString definition =
        Window(QStringLiteral("V"), QStringLiteral("v%1").arg(round++), body, {QStringLiteral("Part1.Extra")});
    {
      auto form = Open(definition);
      Find<TKindsPart>(form.get(), "Part1")->SetExtra(value);
      form->CloseQuery();
    }
    auto form = Open(definition);
    const QVariant back = Find<TKindsPart>(form.get(), "Part1")->Extra();
    EXPECT_EQ(back.isValid(), value.isValid());
    if (value.isValid()) {
      EXPECT_EQ(back.toString(), value.toString());
      EXPECT_EQ(back.typeId() == QMetaType::Bool, value.typeId() == QMetaType::Bool);
      EXPECT_EQ(back.typeId() == QMetaType::QString, value.typeId() == QMetaType::QString);
    }
  }
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverFileTest, AReferenceToAnotherWindowsComponentCarriesTheWindowsName) {
  auto* other = new TForm(Application);
  other->SetName(QStringLiteral("OtherWin"));
  auto* target = new TKindsPart(other);
  target->SetName(QStringLiteral("Target"));
  const QString definition =
      Window(QStringLiteral("Refs"), QStringLiteral("refs"), QStringLiteral("  object Part1: TKindsPart\n  end"),
             {QStringLiteral("Part1.Buddy")});
  {
    auto form = Open(definition);
    Find<TKindsPart>(form.get(), "Part1")->SetBuddy(target);
    form->CloseQuery();
  }
  EXPECT_TRUE(FileText(QStringLiteral("refs.ini")).contains("Part1.Buddy=\"OtherWin.Target\"\r\n"))
      << FileText(QStringLiteral("refs.ini")).toStdString();
  {
    auto form = Open(definition);
    EXPECT_EQ(Find<TKindsPart>(form.get(), "Part1")->Buddy(), target);
  }
  delete other;
  auto form = Open(definition);
  EXPECT_EQ(Find<TKindsPart>(form.get(), "Part1")->Buddy(), nullptr) << "a window that is gone sets nothing";
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverFileTest, UnresolvedAndDisabledLinesLoseTheirKeysWhileLoadOnlyLinesKeepThem) {
  settingstest::WriteFile(dir.filePath(QStringLiteral("keys.ini")),
                          "[Keys.rsPropSaver1]\r\nGone.Width=1\r\nOff=2\r\nReadOnly=3\r\nVoid=4\r\n"
                          "Part1.Caption=\"x\"\r\n");
  auto form = Open(Window(QStringLiteral("Keys"), QStringLiteral("keys"),
                          QStringLiteral("  object Part1: TKindsPart\n    Number = 5\n  end"),
                          {QStringLiteral("Gone.Width"), QStringLiteral("Part1.Number,\"0\",\"Off\",DPD"),
                           QStringLiteral("Part1.Number,\"0\",\"ReadOnly\",EPR"),
                           QStringLiteral("Part1.Number,\"0\",\"Void\",EVD"), QStringLiteral("Part1.Caption")}));
  EXPECT_EQ(Find<TKindsPart>(form.get(), "Part1")->Number(), 3) << "the load-only line loads";
  form->CloseQuery();
  form.reset();
  const QByteArray text = FileText(QStringLiteral("keys.ini"));
  EXPECT_FALSE(text.contains("Gone.Width")) << text.toStdString();
  EXPECT_FALSE(text.contains("Off="));
  EXPECT_FALSE(text.contains("Void="));
  EXPECT_TRUE(text.contains("ReadOnly=3\r\n"));
  EXPECT_TRUE(text.contains("Part1.Caption=\"x\"\r\n"));
}

TEST_F(PropSaverFileTest, WithoutStoreDefValuesAValueEqualToItsDefaultIsNotKept) {
  const QString definition =
      Window(
          QStringLiteral("Defs"), QStringLiteral("defs"),
          QStringLiteral("  object Part1: TKindsPart\n    Caption = 'ABC'\n  end\n  object Part2: TKindsPart\n  end"),
          {QStringLiteral("Part1.Caption,\"abc\",EPD"), QStringLiteral("Part1.Number,\"0\",EPD"),
           QStringLiteral("Part2.Caption")})
          .replace(QStringLiteral("    WhenSave = wsOnClose"),
                   QStringLiteral("    WhenSave = wsOnClose\n    Options = []"));
  {
    auto form = Open(definition);
    Find<TKindsPart>(form.get(), "Part1")->SetNumber(9);
    form->CloseQuery();
  }
  const QByteArray text = FileText(QStringLiteral("defs.ini"));
  EXPECT_EQ(text.toStdString(), "[Defs.rsPropSaver1]\r\nPart1.Number=9\r\nPart2.Caption=\r\n\r\n")
      << "the caption equals its default (case ignored); an empty caption without default is kept";
}

}  // namespace
