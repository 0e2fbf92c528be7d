// The window events the saver hooks: the window's own handlers are kept and
// chained, a vetoed close saves nothing, errors are shown and the window
// goes on, and a saver that goes away leaves no hook behind.
#include "PropSaverTestSupport.h"

#include "Placement.h"

using namespace saver;
using namespace uitest;

namespace {

const QString kBody = QStringLiteral(R"(  object Panel7: TPanel
    Width = 150
  end
  object Part1: TKindsPart
    Number = 5
  end)");

class PropSaverHookTest : public SaverTest {
protected:
  // A window whose own close query answers `allow` and records itself.
  std::unique_ptr<TForm> BuildWindow(const QString& saverExtra = QString(), const QString& formExtra = QString(),
                                     const QStringList& lines = {QStringLiteral("Panel7.Width")}) {
    return BuildForm(
        SaverWindow(kBody, lines, saverExtra,
                    QStringLiteral("  OnCreate = FormCreate\n  OnCloseQuery = FormCloseQuery\n") + formExtra),
        [this](THandlerTable& t) {
          handlers.Notify(t, "FormCreate", [this](TObject*) { events.push_back(QStringLiteral("FormCreate")); });
          handlers.CloseQuery(t, "FormCloseQuery", [this](TObject* sender, bool& canClose) {
            events.push_back(QStringLiteral("FormCloseQuery"));
            // What the saver stores is what the window's own handler left.
            auto* form = qobject_cast<TForm*>(sender);
            if (widthOnQuery)
              qobject_cast<TPanel*>(form->FindComponent(QStringLiteral("Panel7")))->SetWidth(widthOnQuery);
            canClose = allow;
          });
          handlers.Notify(t, "FormHide", [this](TObject*) { events.push_back(QStringLiteral("FormHide")); });
          handlers.Notify(t, "FormShow", [this](TObject*) { events.push_back(QStringLiteral("FormShow")); });
          handlers.Notify(t, "FormDestroy", [this](TObject*) { events.push_back(QStringLiteral("FormDestroy")); });
          handlers.Notify(t, "SaverAfterSave", [this](TObject*) { events.push_back(QStringLiteral("saved")); });
        });
  }
  bool allow = true;
  int widthOnQuery = 0;
};

TEST_F(PropSaverHookTest, AVetoedCloseSavesNothingAndEachAllowedQuerySaves) {
  auto form = BuildWindow(QStringLiteral("    OnAfterSave = SaverAfterSave"));
  events.clear();
  allow = false;
  form->Close();
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormCloseQuery")});
  EXPECT_TRUE(SectionKeys(*form, true).isEmpty()) << SectionKeys(*form, true).join(QLatin1Char(' ')).toStdString();

  allow = true;
  widthOnQuery = 177;
  events.clear();
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("FormCloseQuery"), QStringLiteral("saved")}))
      << "the window's own handler runs first";
  EXPECT_EQ(SectionKeys(*form), QStringList{QStringLiteral("Panel7.Width=integer:177")});

  widthOnQuery = 188;
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_EQ(SectionKeys(*form), QStringList{QStringLiteral("Panel7.Width=integer:188")})
      << "a second query saves again";
  EXPECT_EQ(std::count(events.begin(), events.end(), QStringLiteral("saved")), 2);
  EXPECT_TRUE(SectionKeys(*form, true).join(QLatin1Char(' ')).contains(QLatin1String("FormPlacement=text:0,1,")));
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverHookTest, HandlersTheDefinitionAssignsAfterTheSaverAreChainedToo) {
  Seed(QStringLiteral("Panel7.Width"), Int(180));
  const QString definition = QStringLiteral(R"(object TestWindow: TForm
  object Panel7: TPanel
    Width = 150
  end
  object rsStorage1: TrsStorage
    Active = True
    StorageData = rsData1
  end
  object rsData1: TScriptedData
  end
  object rsPropSaver1: TrsPropSaver
    Storage = rsStorage1
    RootSection = 'TestWindow.rsPropSaver1'
    Properties = ('Panel7.Width')
    WhenLoad = wlOnCreate
    WhenSave = wsOnClose
  end
  OnCreate = FormCreate
  OnCloseQuery = FormCloseQuery
end)");
  int widthSeen = 0;
  auto form = BuildForm(definition, [&](THandlerTable& t) {
    handlers.Notify(t, "FormCreate", [&](TObject* sender) {
      events.push_back(QStringLiteral("FormCreate"));
      widthSeen = Find<TPanel>(qobject_cast<TForm*>(sender), "Panel7")->Width();
    });
    handlers.CloseQuery(t, "FormCloseQuery", [&](TObject*, bool& canClose) {
      events.push_back(QStringLiteral("FormCloseQuery"));
      canClose = allow;
    });
  });
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormCreate")});
  EXPECT_EQ(widthSeen, 180) << "loaded before the window's own creation handler";
  Find<TPanel>(form.get(), "Panel7")->SetWidth(190);
  allow = false;
  EXPECT_FALSE(form->CloseQuery());
  EXPECT_EQ(events.back(), QStringLiteral("FormCloseQuery"));
  EXPECT_EQ(SectionKeys(*form, true), QStringList{QStringLiteral("Panel7.Width=integer:180")})
      << "vetoed: nothing saved";
  allow = true;
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_EQ(SectionKeys(*form), QStringList{QStringLiteral("Panel7.Width=integer:190")});
}

TEST_F(PropSaverHookTest, AnInactiveSaverOnlyChainsTheWindowsHandlers) {
  Seed(QStringLiteral("Panel7.Width"), Int(99));
  auto form = BuildWindow(QStringLiteral("    Active = False"));
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormCreate")});
  EXPECT_EQ(Find<TPanel>(form.get(), "Panel7")->Width(), 150);
  widthOnQuery = 120;
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_EQ(SectionKeys(*form, true), QStringList{QStringLiteral("Panel7.Width=integer:99")}) << "nothing saved";
}

TEST_F(PropSaverHookTest, ChoosingOtherEventsGivesTheOldOnesTheirHandlersBack) {
  auto form = BuildWindow(QString(), QStringLiteral("  OnHide = FormHide\n  OnShow = FormShow\n"));
  TrsPropSaver* saver = Saver(*form);
  ASSERT_NE(saver, nullptr);

  saver->SetWhenSave(wsOnHide);
  EXPECT_EQ(form->OnCloseQuery().Name, QStringLiteral("FormCloseQuery"));
  events.clear();
  widthOnQuery = 130;
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormCloseQuery")});
  EXPECT_TRUE(SectionKeys(*form).isEmpty()) << "the close query no longer saves";

  form->OnHide()(form.get());
  EXPECT_EQ(events.back(), QStringLiteral("FormHide"));
  EXPECT_EQ(SectionKeys(*form), QStringList{QStringLiteral("Panel7.Width=integer:130")}) << "hiding saves";

  // Loading moves from creation to showing.
  Storage(*form)->FindKey(QStringLiteral("Panel7.Width"), true)->Value = Int(140);
  saver->SetWhenLoad(wlOnShow);
  events.clear();
  form->OnCreate()(form.get());
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormCreate")});
  EXPECT_EQ(Find<TPanel>(form.get(), "Panel7")->Width(), 130) << "creation no longer loads";
  form->OnShow()(form.get());
  EXPECT_EQ(Find<TPanel>(form.get(), "Panel7")->Width(), 140);
  EXPECT_EQ(events.back(), QStringLiteral("FormShow"));

  saver->SetWhenLoad(wlManual);
  saver->SetWhenSave(wsManual);
  EXPECT_EQ(form->OnShow().Name, QStringLiteral("FormShow"));
  EXPECT_EQ(form->OnHide().Name, QStringLiteral("FormHide"));
  Storage(*form)->FindKey(QStringLiteral("Panel7.Width"), true)->Value = Int(141);
  events.clear();
  form->OnShow()(form.get());
  form->OnHide()(form.get());
  EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("FormShow"), QStringLiteral("FormHide")}));
  EXPECT_EQ(Find<TPanel>(form.get(), "Panel7")->Width(), 140) << "manual: no hook loads";
}

TEST_F(PropSaverHookTest, EventsWithoutOwnHandlersAreHookedAndLeftEmptyAgain) {
  auto form = BuildForm(SaverWindow(kBody, {QStringLiteral("Panel7.Width")}));
  EXPECT_TRUE(static_cast<bool>(form->OnCreate()));
  EXPECT_TRUE(static_cast<bool>(form->OnCloseQuery()));
  delete Saver(*form);
  EXPECT_FALSE(static_cast<bool>(form->OnCreate()));
  EXPECT_FALSE(static_cast<bool>(form->OnCloseQuery()));
  form->Close();
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PropSaverHookTest, ADestroyedSaverPutsTheWindowsHandlersBack) {
  auto form = BuildWindow();
  delete Saver(*form);
  events.clear();
  widthOnQuery = 111;
  EXPECT_TRUE(form->CloseQuery());
  form->OnCreate()(form.get());
  EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("FormCloseQuery"), QStringLiteral("FormCreate")}));
  EXPECT_TRUE(SectionKeys(*form).isEmpty());
}

TEST_F(PropSaverHookTest, AHookBuriedUnderAnotherHandlerOutlivesItsSaverHarmlessly) {
  auto form = BuildWindow();
  // Someone chains over the saver's hook; the saver cannot take itself out.
  const TCloseQueryEvent below = form->OnCloseQuery();
  TCloseQueryEvent over = below;
  over.Fn = [below](TObject* sender, bool& canClose) { below(sender, canClose); };
  form->SetOnCloseQuery(over);
  delete Saver(*form);
  events.clear();
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormCloseQuery")}) << "the window's handler still runs";
  EXPECT_TRUE(SectionKeys(*form).isEmpty());
}

TEST_F(PropSaverHookTest, AnErrorWhileSavingIsShownAndTheCloseGoesOn) {
  auto form =
      BuildWindow(QString(), QString(),
                  {QStringLiteral("Part1.Number"), QStringLiteral("Part1.Failing"), QStringLiteral("Panel7.Width")});
  Find<TKindsPart>(form.get(), "Part1")->FailOnAccess = true;
  form->Show();
  Process();
  form->Close();
  Process();
  EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("Failing cannot be read")});
  EXPECT_FALSE(IsWindowVisible(*form)) << "the window closed";
  EXPECT_EQ(SectionKeys(*form, true), QStringList{QStringLiteral("Part1.Number=integer:5")})
      << "what was stored before the error stays, nothing after it";
}

TEST_F(PropSaverHookTest, DestructionHookSavesBeforeTheStorageWritesOnce) {
  {
    auto form =
        BuildWindow(QStringLiteral("    WhenSave = wsOnDestroy"), QStringLiteral("  OnDestroy = FormDestroy\n"));
    Find<TPanel>(form.get(), "Panel7")->SetWidth(166);
    events.clear();
  }
  EXPECT_EQ(events, std::vector<QString>{QStringLiteral("FormDestroy")});
  ASSERT_EQ(TScriptedData::Saves().size(), 1u) << "the tree is written once, when the window goes";
  const QStringList written = TScriptedData::Saves().front();
  EXPECT_TRUE(written.contains(QStringLiteral("Panel7.Width=integer:166")))
      << written.join(QLatin1Char(' ')).toStdString();
}

TEST_F(PropSaverHookTest, TheStorageWritesOnceAtDestructionWhateverTheOrder) {
  // The saver before the storage in the definition: it goes last.
  const QString definition = QStringLiteral(R"(object TestWindow: TForm
  object Panel7: TPanel
    Width = 150
  end
  object rsPropSaver1: TrsPropSaver
    Storage = rsStorage1
    RootSection = 'TestWindow.rsPropSaver1'
    Properties = ('Panel7.Width')
    WhenLoad = wlOnCreate
    WhenSave = wsOnClose
  end
  object rsStorage1: TrsStorage
    Active = True
    StorageData = rsData1
  end
  object rsData1: TScriptedData
  end
end)");
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    TScriptedData::Saves().clear();
    auto form = BuildForm(round == 0 ? definition : SaverWindow(kBody, {QStringLiteral("Panel7.Width")}));
    EXPECT_TRUE(form->CloseQuery());
    EXPECT_TRUE(TScriptedData::Saves().empty()) << "closing writes only the tree in memory";
    form.reset();
    ASSERT_EQ(TScriptedData::Saves().size(), 1u);
    EXPECT_TRUE(TScriptedData::Saves().front().contains(QStringLiteral("Panel7.Width=integer:150")));
  }
  EXPECT_TRUE(host.Errors().empty());
}

}  // namespace
