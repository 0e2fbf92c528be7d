// The main menu on the window's menu bar: nested items, separators,
// shortcuts, choosing items by mouse or by key, and the action an item keeps.
#include "UiTestSupport.h"

#include "TypeInfo.h"

#include <QMenu>
#include <QMenuBar>

using namespace uitest;

namespace {

const char* const kMenuDefinition = R"(object F: TForm
  ClientWidth = 400
  ClientHeight = 300
  Menu = MainMenu1
  object Edit1: TEdit
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&Program'
      object Language1: TMenuItem
        Caption = 'Jezik / Language'
        ShortCut = 112
        OnClick = ItemClick
      end
      object N2: TMenuItem
        Caption = '-'
      end
      object Exit1: TMenuItem
        Caption = 'Izlaz'
        OnClick = ItemClick
      end
    end
    object Entries1: TMenuItem
      Caption = 'Zapisi'
      object New1: TMenuItem
        Caption = 'Novi unos'
        ShortCut = 116
        OnClick = ItemClick
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Categories1: TMenuItem
        Caption = 'Kategorije'
        ShortCut = 120
        OnClick = ItemClick
      end
      object More1: TMenuItem
        Caption = 'Jo'#353
        object Save1: TMenuItem
          Caption = 'Sa'#269'uvaj'
          ShortCut = 16467
          OnClick = ItemClick
        end
        object Off1: TMenuItem
          Caption = 'Isklju'#269'eno'
          Enabled = False
          ShortCut = 8304
          OnClick = ItemClick
        end
      end
    end
  end
end)";

class MenuTest : public UiTest {
protected:
  void SetUp() override {
    form = BuildForm(QString::fromUtf8(kMenuDefinition), [this](THandlerTable& t) {
      handlers.Notify(t, "ItemClick", [this](TObject* s) { chosen.push_back(static_cast<TComponent*>(s)->Name()); });
    });
    menu = Find<TMainMenu>(form.get(), "MainMenu1");
  }
  TMenuItem* Item(const char* name) { return Find<TMenuItem>(form.get(), name); }
  std::unique_ptr<TForm> form;
  TMainMenu* menu = nullptr;
  std::vector<QString> chosen;
};

QStringList Texts(const QList<QAction*>& actions) {
  QStringList out;
  for (QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return out;
}

TEST(ShortCutText, NamesKeysAndModifiers) {
  const std::pair<TShortCut, const char*> rows[] = {
      {0, ""},
      {112, "F1"},
      {116, "F5"},
      {120, "F9"},
      {123, "F12"},
      {0x4000 | 'S', "Ctrl+S"},
      {0x2000 | 112, "Shift+F1"},
      {0x8000 | 115, "Alt+F4"},
      {0x4000 | 0x2E, "Ctrl+Del"},
      {0x4000 | '1', "Ctrl+1"},
      {0x1B, "Esc"},
  };
  for (const auto& [shortCut, text] : rows) EXPECT_EQ(ShortCutToText(shortCut), QString::fromLatin1(text)) << shortCut;
  EXPECT_EQ(ShortCutToKeySequence(0x2000 | 0x4000 | 'N'), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
  EXPECT_EQ(ShortCutToKeySequence(0x8000 | 0x4000 | 'X'), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_X));
}

TEST_F(MenuTest, MenuBarHoldsTheNestedItemsWithSeparatorsAndShortcuts) {
  QMenuBar* bar = form->Window()->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(Texts(bar->actions()), (QStringList{QStringLiteral("&Program"), QStringLiteral("Zapisi")}));
  QMenu* program = bar->actions()[0]->menu();
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(Texts(program->actions()),
            (QStringList{QStringLiteral("Jezik / Language"), QStringLiteral("-"), QStringLiteral("Izlaz")}));
  QMenu* entries = bar->actions()[1]->menu();
  ASSERT_NE(entries, nullptr);
  EXPECT_EQ(Texts(entries->actions()), (QStringList{QStringLiteral("Novi unos"), QStringLiteral("-"),
                                                    QStringLiteral("Kategorije"), QStringLiteral("Jo\u0161")}));
  QMenu* more = entries->actions()[3]->menu();
  ASSERT_NE(more, nullptr);
  EXPECT_EQ(Texts(more->actions()), (QStringList{QStringLiteral("Sa\u010duvaj"), QStringLiteral("Isklju\u010deno")}));

  const std::pair<const char*, const char*> shortcuts[] = {{"Language1", "F1"},   {"New1", "F5"},
                                                           {"Categories1", "F9"}, {"Save1", "Ctrl+S"},
                                                           {"Off1", "Shift+F1"},  {"Exit1", ""}};
  for (const auto& [name, text] : shortcuts)
    EXPECT_EQ(Item(name)->QtAction()->shortcut().toString(QKeySequence::PortableText), QString::fromLatin1(text))
        << name;
  EXPECT_TRUE(Item("N1")->IsLine());
  EXPECT_TRUE(Item("N1")->QtAction()->isSeparator());
  EXPECT_TRUE(Item("N1")->QtAction()->text().isEmpty()) << "a separator shows a line, not a dash";
  EXPECT_FALSE(Item("Off1")->QtAction()->isEnabled());
  EXPECT_EQ(menu->FindItem(QStringLiteral("Program")), Item("File1"));
  EXPECT_EQ(Item("Save1")->Parent(), Item("More1"));
  EXPECT_EQ(Item("Save1")->Menu(), menu);
}

TEST_F(MenuTest, ChoosingAnItemRunsItsOnClickOnce) {
  Item("New1")->QtAction()->trigger();
  Item("Save1")->QtAction()->trigger();
  Item("Off1")->QtAction()->trigger();
  Item("Off1")->Click();
  EXPECT_EQ(chosen, (std::vector<QString>{QStringLiteral("New1"), QStringLiteral("Save1")}))
      << "a disabled item runs nothing";
  Item("File1")->QtAction()->trigger();
  EXPECT_EQ(chosen.size(), 2u) << "a submenu without a handler runs nothing";
}

TEST_F(MenuTest, ShortcutKeysRunTheirItemOnceWhereverTheFocusIs) {
  ShowAndActivate(*form);
  ASSERT_EQ(QApplication::activeWindow(), form->Window());
  auto* edit = Find<TEdit>(form.get(), "Edit1");
  edit->SetFocus();
  Process();
  const struct {
    int key;
    Qt::KeyboardModifiers mods;
    const char* item;
  } rows[] = {
      {Qt::Key_F1, Qt::NoModifier, "Language1"},
      {Qt::Key_F5, Qt::NoModifier, "New1"},
      {Qt::Key_F9, Qt::NoModifier, "Categories1"},
      {Qt::Key_S, Qt::ControlModifier, "Save1"},
  };
  for (const auto& r : rows) {
    chosen.clear();
    PressKey(edit->Widget(), r.key, QString(), r.mods);
    EXPECT_EQ(chosen, std::vector<QString>{QString::fromLatin1(r.item)}) << r.item << " by key, focus on the edit";
    chosen.clear();
    PressKey(form->Window(), r.key, QString(), r.mods);
    EXPECT_EQ(chosen, std::vector<QString>{QString::fromLatin1(r.item)}) << r.item << " by key sent to the window";
  }
  chosen.clear();
  PressKey(edit->Widget(), Qt::Key_F1, QString(), Qt::ShiftModifier);
  EXPECT_TRUE(chosen.empty()) << "the shortcut of a disabled item does nothing";
  EXPECT_EQ(edit->Text(), QString()) << "shortcut keys type nothing";
}

TEST_F(MenuTest, ChangedItemsReachTheMenuBar) {
  QMenuBar* bar = form->Window()->findChild<QMenuBar*>();
  auto* help = new TMenuItem(form.get());
  help->SetCaption(QStringLiteral("Info"));
  menu->Items()->Add(help);
  EXPECT_EQ(Texts(bar->actions()).back(), QStringLiteral("Info"));
  Item("New1")->SetShortCut(0x4000 | 'N');
  ShowAndActivate(*form);
  chosen.clear();
  PressKey(form->Window(), Qt::Key_N, QString(), Qt::ControlModifier);
  EXPECT_EQ(chosen, std::vector<QString>{QStringLiteral("New1")});
  chosen.clear();
  PressKey(form->Window(), Qt::Key_F5);
  EXPECT_TRUE(chosen.empty()) << "the old shortcut is gone";
  Item("Off1")->SetEnabled(true);
  Item("Off1")->QtAction()->trigger();
  EXPECT_EQ(chosen, std::vector<QString>{QStringLiteral("Off1")});
  delete help;
  EXPECT_EQ(Texts(bar->actions()), (QStringList{QStringLiteral("&Program"), QStringLiteral("Zapisi")}));
}

// A menu item and a control keep their action the same way: told when it
// goes, wherever it is owned.
TEST_F(MenuTest, AnItemForgetsItsActionWhenTheActionGoesAsAControlDoes) {
  const struct {
    const char* name;
    const char* component;
  } holders[] = {{"menu item", "Item1"}, {"button", "Button1"}};
  const struct {
    const char* name;
    std::function<TComponent*(TForm&)> owner;
  } owners[] = {
      {"owned by the window", [](TForm& f) -> TComponent* { return &f; }},
      {"owned by the application", [](TForm&) -> TComponent* { return Application; }},
      {"owned by nobody", [](TForm&) -> TComponent* { return nullptr; }},
  };
  for (const auto& holder : holders) {
    for (const auto& owner : owners) {
      SCOPED_TRACE(std::string(holder.name) + ", " + owner.name);
      auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object Button1: TButton
  end
  object Menu1: TMainMenu
    object Item1: TMenuItem
      Caption = 'Sa'#269'uvaj'
    end
  end
end)"));
      TComponent* component = form->FindComponent(QString::fromLatin1(holder.component));
      ASSERT_NE(component, nullptr);
      const TPropInfo action = GetPropInfo(component, QStringLiteral("Action"));
      auto* act = new TComponent(owner.owner(*form));
      SetObjectProp(component, action, act);
      ASSERT_EQ(GetObjectProp(component, action), act);
      delete act;
      EXPECT_EQ(GetObjectProp(component, action), nullptr);
    }
  }
}

}  // namespace
