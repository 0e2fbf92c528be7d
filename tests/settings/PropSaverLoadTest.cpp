// Loading: stored keys applied to the listed properties by kind when the
// window is created, failures shown without keeping the window from opening.
#include "PropSaverTestSupport.h"

#include "Placement.h"

using namespace saver;
using namespace uitest;

namespace {

const QString kPart = QStringLiteral(R"(  object Part1: TKindsPart
    Align = alTop
    Flag = True
    Number = 5
  end)");

// The main window as its definition opens it: maximised and centred.
const QString kMainForm =
    QStringLiteral("  Position = poDesktopCenter\n  WindowState = wsMaximized\n  OnCreate = FormCreate");

class PropSaverLoadTest : public SaverTest {};

TEST_F(PropSaverLoadTest, FontSizeIsAppliedAfterFontHeight) {
  const struct {
    const char* name;
    std::optional<int> height, size;
    int expectedSize;  // the size whose height the font must end with; 0: the stored height
    int expectedHeight;
  } rows[] = {
      {"agreeing values", -13, 10, 10, 0},
      {"size wins over a larger height", -20, 10, 10, 0},
      {"size wins over a smaller height", -13, 20, 20, 0},
      {"height alone", -16, std::nullopt, 0, -16},
      {"size alone", std::nullopt, 12, 12, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ClearSeed();
    if (r.height) Seed(QStringLiteral("Memo1.Font.Height"), Int(*r.height));
    if (r.size) Seed(QStringLiteral("Memo1.Font.Size"), Int(*r.size));
    auto form = Build(SaverWindow(kMemo, {QStringLiteral("Memo1.Font.Height"), QStringLiteral("Memo1.Font.Size")}));
    auto* memo = Find<TMemo>(form.get(), "Memo1");
    const int ppi = memo->Font()->PixelsPerInch();
    const int expected = r.expectedSize ? -MulDiv(r.expectedSize, ppi, 72) : r.expectedHeight;
    EXPECT_EQ(memo->Font()->Height(), expected);
  }
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverLoadTest, SetValuesByNameOrMask) {
  const struct {
    const char* name;
    TrsValue stored;
    TFontStyles expected;
  } rows[] = {
      {"empty brackets clear the style", Text(QStringLiteral("[]")), TFontStyles()},
      {"an empty text leaves the definition's style", Text(QString()), TFontStyles(fsBold)},
      {"a repeated member counts once", Text(QStringLiteral("[fsBold,fsBold,fsItalic]")),
       TFontStyles(fsBold | fsItalic)},
      {"without brackets", Text(QStringLiteral("fsUnderline")), TFontStyles(fsUnderline)},
      {"names ignore case", Text(QStringLiteral("[FSITALIC]")), TFontStyles(fsItalic)},
      {"an unknown member leaves the style", Text(QStringLiteral("[fsBold,fsWide]")), TFontStyles(fsBold)},
      {"an integer key is the bit mask", Int(3), TFontStyles(fsBold | fsItalic)},
      {"a mask beyond the members leaves the style", Int(64), TFontStyles(fsBold)},
      {"the empty mask", Int(0), TFontStyles()},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ClearSeed();
    Seed(QStringLiteral("Memo1.Font.Style"), r.stored);
    auto form = Build(SaverWindow(kMemo, {QStringLiteral("Memo1.Font.Style")}));
    EXPECT_EQ(Find<TMemo>(form.get(), "Memo1")->Font()->Style(), r.expected);
  }
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverLoadTest, EnumerationsByNameAndUnknownNamesKeepTheValue) {
  const struct {
    const char* name;
    const char* align;
    const char* flag;
    TAlign expectedAlign;
    bool expectedFlag;
  } rows[] = {
      {"names", "alClient", "False", alClient, false},
      {"names ignore case", "ALLEFT", "false", alLeft, false},
      {"unknown names keep the values", "alNowhere", "Maybe", alTop, true},
      {"a number is no name", "3", "0", alTop, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ClearSeed();
    Seed(QStringLiteral("Part1.Align"), Text(QString::fromUtf8(r.align)));
    Seed(QStringLiteral("Part1.Flag"), Text(QString::fromUtf8(r.flag)));
    auto form = Build(SaverWindow(kPart, {QStringLiteral("Part1.Align"), QStringLiteral("Part1.Flag")}));
    auto* part = Find<TKindsPart>(form.get(), "Part1");
    EXPECT_EQ(part->Align(), r.expectedAlign);
    EXPECT_EQ(part->Flag(), r.expectedFlag);
  }
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverLoadTest, StoredValuesAreInPlaceBeforeTheWindowsOwnCreationHandler) {
  Seed(QStringLiteral("Panel7.Width"), Int(180));
  Seed(QStringLiteral("Edit2.Text"), Int(2));  // an unquoted 2 in the file: an integer, read as text
  int widthSeen = 0;
  auto form = BuildForm(SaverWindow(kMainBody, kMainLines, QString(), kMainForm), [&](THandlerTable& t) {
    handlers.Notify(t, "FormCreate", [&](TObject* sender) {
      events.push_back(QStringLiteral("FormCreate"));
      widthSeen = qobject_cast<TForm*>(sender)->FindComponent(QStringLiteral("Panel7"))->property("Width").toInt();
    });
  });
  EXPECT_EQ(widthSeen, 180);
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormCreate")});
  EXPECT_EQ(Find<TPanel>(form.get(), "Panel3")->Width(), 160) << "a missing key leaves the definition's value";
  EXPECT_EQ(Find<TEdit>(form.get(), "Edit2")->Text(), QStringLiteral("2"));
}

TEST_F(PropSaverLoadTest, AnUnreadableValueStopsTheLoadShowsTheErrorAndTheWindowStillOpens) {
  Seed(QStringLiteral("Panel7.Width"), Text(QStringLiteral("abc")));
  Seed(QStringLiteral("Panel3.Width"), Int(233));
  Seed(QStringLiteral("Edit2.Text"), Text(QStringLiteral("2")));
  Seed(QStringLiteral("FormPlacement"), Text(QStringLiteral("0,1,-1,-1,-1,-1,10,20,510,420")));
  auto form = Build(SaverWindow(kMainBody, kMainLines, QString(), kMainForm));
  EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("'abc' is not a valid integer value")});
  EXPECT_EQ(host.ShownOf(ShownBox::Error).at(0).caption, QStringLiteral("Notarium Test"));
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormCreate")}) << "the window's own creation handler runs";
  EXPECT_EQ(Find<TPanel>(form.get(), "Panel7")->Width(), 150);
  EXPECT_EQ(Find<TPanel>(form.get(), "Panel3")->Width(), 160) << "the lines after the failing one are not applied";
  EXPECT_EQ(Find<TEdit>(form.get(), "Edit2")->Text(), QStringLiteral("1"));
  EXPECT_EQ(form->Position(), poDesktopCenter) << "nor is the placement";
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_EQ(form->BoundsRect(), QRect(40, 50, 400, 300));
  form->Show();
  Process();
  EXPECT_TRUE(IsWindowVisible(*form));
}

TEST_F(PropSaverLoadTest, UnresolvedPathsApplyNothing) {
  Seed(QStringLiteral("Panel9.Width"), Int(10));
  Seed(QStringLiteral("Panel7.Nothing"), Int(10));
  Seed(QStringLiteral("Panel7.Font.Nothing.Size"), Int(10));
  Seed(QStringLiteral("Panel3.Width"), Int(90));
  auto form =
      Build(SaverWindow(kMainBody, {QStringLiteral("Panel9.Width"), QStringLiteral("Panel7.Nothing"),
                                    QStringLiteral("Panel7.Font.Nothing.Size"), QStringLiteral("Panel3.Width")}));
  EXPECT_TRUE(host.Errors().empty());
  EXPECT_EQ(Find<TPanel>(form.get(), "Panel3")->Width(), 90);
}

TEST_F(PropSaverLoadTest, AnObjectPropertyGoesBeforeAComponentOfTheSameName) {
  // "Font" names both the window's font and a component of the window; the
  // path walks through the property.
  Seed(QStringLiteral("Font.Size"), Int(15));
  Seed(QStringLiteral("Font.Number"), Int(9));
  auto form = Build(SaverWindow(QStringLiteral("  object Font: TKindsPart\n    Number = 5\n  end"),
                                {QStringLiteral("Font.Size"), QStringLiteral("Font.Number")}));
  EXPECT_EQ(form->Font()->Size(), 15);
  EXPECT_EQ(Find<TKindsPart>(form.get(), "Font")->Number(), 5) << "the font has no Number; nothing is applied";
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverLoadTest, DefaultValuesStandInForMissingKeysAndDisabledLinesLoadNothing) {
  Seed(QStringLiteral("Number"), Int(7));
  Seed(QStringLiteral("Part1.Caption"), Text(QStringLiteral("stored")));
  auto form = Build(SaverWindow(
      kPart, {QStringLiteral("Part1.Number,\"42\",\"Number\",DPD"), QStringLiteral("Part1.Caption,fallback,EPW"),
              QStringLiteral("Part1.Ratio,2.5,EPD"), QStringLiteral("Part1.Align,\"alRight\",\"Side\",EPR")}));
  auto* part = Find<TKindsPart>(form.get(), "Part1");
  EXPECT_EQ(part->Number(), 5) << "a disabled line loads nothing";
  EXPECT_EQ(part->Caption(), QString()) << "a save-only line loads nothing";
  EXPECT_DOUBLE_EQ(part->Ratio(), 2.5) << "the default stands in for the missing key";
  EXPECT_EQ(part->Align(), alRight);
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverLoadTest, WithoutStorageNothingHappens) {
  auto form = Build(SaverWindow(kPart, {QStringLiteral("Part1.Number")}));
  TrsPropSaver* saver = Saver(*form);
  saver->SetStorage(nullptr);
  EXPECT_NO_THROW(saver->LoadProperties());
  EXPECT_NO_THROW(saver->SaveProperties());
}

// ---- placement

class PropSaverPlacementTest : public SaverTest {
protected:
  std::unique_ptr<TForm> BuildWith(const QString& placement, const QString& saverExtra = QString()) {
    Seed(QStringLiteral("FormPlacement"), Text(placement));
    return Build(SaverWindow(QString(), {}, saverExtra, kMainForm));
  }
};

TEST_F(PropSaverPlacementTest, TenNumbersRestoreTheRectangleAndTheStateAndStopTheCentring) {
  auto form = BuildWith(QStringLiteral("0,1,-1,-1,-1,-1,30,40,530,390"));
  EXPECT_TRUE(host.Errors().empty());
  EXPECT_EQ(form->Position(), poDesigned);
  EXPECT_EQ(form->WindowState(), wsNormal);
  EXPECT_EQ(form->BoundsRect(), QRect(30, 40, 500, 350));
  form->Show();
  Process();
  EXPECT_EQ(form->Window()->geometry(), QRect(30, 40, 500, 350)) << "not centred again when shown";
  EXPECT_EQ(TrsPropSaver::FormPlacementText(*form), QStringLiteral("0,1,-1,-1,-1,-1,30,40,530,390"));
}

TEST_F(PropSaverPlacementTest, ShowCommandsGiveTheWindowState) {
  const struct {
    int showCmd;
    TWindowState state;
  } rows[] = {{2, wsMinimized}, {6, wsMinimized}, {7, wsMinimized}, {3, wsMaximized},
              {1, wsNormal},    {0, wsNormal},    {5, wsNormal}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.showCmd);
    ClearSeed();
    Seed(QStringLiteral("FormPlacement"), Text(QStringLiteral("0,%1,-1,-1,-1,-1,30,40,530,390").arg(r.showCmd)));
    auto form = Build(SaverWindow(QString(), {}, QString(), kMainForm));
    EXPECT_EQ(form->WindowState(), r.state);
    if (r.showCmd == 2) {
      form->Show();
      Process();
      EXPECT_TRUE(IsIconic(*form)) << "the window opens minimised";
      EXPECT_EQ(form->NormalBounds(), QRect(30, 40, 500, 350));
    }
  }
}

TEST_F(PropSaverPlacementTest, TextsOfAnotherShapeAreIgnored) {
  for (const char* text : {"0,1,-1,-1,-1,-1,30,40,530", "0,1,-1,-1,-1,-1,30,40,530,390,7", "", "maximised"}) {
    SCOPED_TRACE(text);
    ClearSeed();
    Seed(QStringLiteral("FormPlacement"), Text(QString::fromUtf8(text)));
    auto form = Build(SaverWindow(QString(), {}, QString(), kMainForm));
    EXPECT_EQ(form->Position(), poDesktopCenter);
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(form->BoundsRect(), QRect(40, 50, 400, 300));
  }
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverPlacementTest, AFieldThatIsNoIntegerIsShownAndChangesNothing) {
  auto form = BuildWith(QStringLiteral("0,1,-1,-1,-1,-1,30,40,5x30,390"));
  EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("'5x30' is not a valid integer value")});
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormCreate")});
  EXPECT_EQ(form->Position(), poDesktopCenter);
  EXPECT_EQ(form->BoundsRect(), QRect(40, 50, 400, 300));
}

TEST_F(PropSaverPlacementTest, PlacementOptionsChooseThePartsApplied) {
  auto form = BuildWith(QStringLiteral("0,2,-1,-1,-1,-1,30,40,530,390"),
                        QStringLiteral("    FormPlacementOptions = [pfpSize]"));
  EXPECT_EQ(form->BoundsRect(), QRect(40, 50, 500, 350)) << "the position stays, the size is restored";
  EXPECT_EQ(form->WindowState(), wsMaximized) << "the state stays";

  ClearSeed();
  Seed(QStringLiteral("FormPlacement"), Text(QStringLiteral("0,1,-1,-1,-1,-1,30,40,530,390")));
  auto second =
      Build(SaverWindow(QString(), {}, QStringLiteral("    FormPlacementOptions = [pfpPlacement]"), kMainForm));
  EXPECT_EQ(second->BoundsRect(), QRect(30, 40, 400, 300)) << "the position is restored, the size stays";

  auto third = Build(SaverWindow(QString(), {}, QStringLiteral("    FormPlacementOptions = []"), kMainForm));
  EXPECT_EQ(third->BoundsRect(), QRect(40, 50, 400, 300)) << "no parts: the placement is neither stored nor restored";
  EXPECT_FALSE(Saver(*third)->Options().testFlag(poStoreFormPlacement));
}

TEST_F(PropSaverPlacementTest, OptionsAndPlacementOptionsFollowEachOther) {
  TrsPropSaver saver;
  EXPECT_EQ(saver.Options(), TrsPropSaverOptions(poStoreFormPlacement | poStoreDefValues));
  EXPECT_EQ(saver.FormPlacementOptions(), TrsPropSaverFormPlacements(pfpPlacement | pfpSize | pfpState));
  saver.SetOptions(poStoreDefValues);
  EXPECT_EQ(saver.FormPlacementOptions(), TrsPropSaverFormPlacements());
  saver.SetFormPlacementOptions(pfpState);
  EXPECT_EQ(saver.Options(), TrsPropSaverOptions(poStoreFormPlacement | poStoreDefValues));
  EXPECT_EQ(saver.FormPlacementOptions(), TrsPropSaverFormPlacements(pfpState));
  saver.SetFormPlacementOptions({});
  EXPECT_EQ(saver.Options(), TrsPropSaverOptions(poStoreDefValues));
  saver.SetOptions(poStoreFormPlacement);
  EXPECT_EQ(saver.FormPlacementOptions(), TrsPropSaverFormPlacements(pfpPlacement | pfpSize | pfpState));
}

TEST_F(PropSaverPlacementTest, DamagedNumbersStillGiveAWindow) {
  auto form = BuildWith(QStringLiteral("0,1,-1,-1,-1,-1,2147483647,-2147483648,-2147483648,2147483647"));
  EXPECT_TRUE(host.Errors().empty());
  EXPECT_GE(form->Width(), 0);
  EXPECT_GE(form->Height(), 0);
  form->Show();
  Process();
  EXPECT_TRUE(IsWindowVisible(*form));
}

}  // namespace
