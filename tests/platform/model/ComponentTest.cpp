// Ownership, names, destruction order, free notification and loading state.
#include "Component.h"
#include "Exceptions.h"
#include "ModelTestClasses.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

using mt::Log;
using mt::TTestPart;

namespace {

TTestPart* MakePart(TComponent* owner, const char* name) {
  auto* part = new TTestPart(owner);
  part->SetName(QString::fromUtf8(name));
  return part;
}

QStringList Names(const TComponent& owner) {
  QStringList out;
  for (TComponent* c : owner.ComponentList()) out << c->Name();
  return out;
}

}  // namespace

TEST(Component, OwnerKeepsComponentsInCreationOrder) {
  TComponent owner;
  TTestPart* a = MakePart(&owner, "A");
  TTestPart* b = MakePart(&owner, "B");
  TTestPart* c = MakePart(&owner, "C");
  EXPECT_EQ(owner.ComponentCount(), 3);
  EXPECT_EQ(Names(owner), QStringList({"A", "B", "C"}));
  EXPECT_EQ(owner.Components(0), a);
  EXPECT_EQ(owner.Components(2), c);
  EXPECT_EQ(a->Owner(), &owner);
  EXPECT_EQ(owner.Owner(), nullptr);
  EXPECT_THROW(owner.Components(3), EListError);
  EXPECT_THROW(owner.Components(-1), EListError);

  delete b;  // a component leaves its owner when it goes
  EXPECT_EQ(Names(owner), QStringList({"A", "C"}));
  EXPECT_EQ(owner.FindComponent(QStringLiteral("B")), nullptr);
}

TEST(Component, FindComponentFoldsAsciiLettersOnly) {
  TComponent owner;
  MakePart(&owner, "Button1");
  MakePart(&owner, "Čaša");
  MakePart(&owner, "label_x");
  struct Row {
    const char* query;
    const char* found;  // nullptr: nothing
  };
  const Row rows[] = {
      {"Button1", "Button1"}, {"button1", "Button1"}, {"BUTTON1", "Button1"}, {"Button", nullptr},
      {"Button12", nullptr},  {"LABEL_X", "label_x"}, {"Čaša", "Čaša"},       {"ČAša", "Čaša"},
      {"čaša", nullptr},      {"ČAŠA", nullptr},      {"", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.query);
    TComponent* c = owner.FindComponent(QString::fromUtf8(row.query));
    if (!row.found) {
      EXPECT_EQ(c, nullptr);
    } else {
      ASSERT_NE(c, nullptr);
      EXPECT_EQ(c->Name(), QString::fromUtf8(row.found));
    }
  }
  EXPECT_TRUE(SameText(QStringLiteral("Font.Name"), QStringLiteral("FONT.name")));
  EXPECT_FALSE(SameText(QStringLiteral("Šuma"), QStringLiteral("šuma")));
}

TEST(Component, OwnerDestroysInReverseCreationOrder) {
  Log().clear();
  auto owner = std::make_unique<TTestPart>();
  owner->SetName(QStringLiteral("Owner"));
  MakePart(owner.get(), "First");
  TTestPart* second = MakePart(owner.get(), "Second");
  MakePart(second, "Inner");
  MakePart(owner.get(), "Third");
  owner.reset();
  // The owner, still whole, frees what it owns, last created first and each
  // with what it owns in turn; its own destructor runs last.
  EXPECT_EQ(Log(), (std::vector<QString>{"~Third", "~Inner", "~Second", "~First", "~Owner"}));
}

TEST(Component, SetNameRefusesANameTheOwnerAlreadyHas) {
  TComponent owner;
  TTestPart* a = MakePart(&owner, "Alpha");
  TTestPart* b = MakePart(&owner, "Beta");
  EXPECT_THROW(b->SetName(QStringLiteral("alpha")), EComponentError);
  EXPECT_EQ(b->Name(), QStringLiteral("Beta"));
  EXPECT_EQ(owner.FindComponent(QStringLiteral("Alpha")), a);

  a->SetName(QStringLiteral("ALPHA"));  // its own name in other letters
  EXPECT_EQ(a->Name(), QStringLiteral("ALPHA"));

  TComponent other;  // names are unique per owner only
  TTestPart* c = MakePart(&other, "Beta");
  EXPECT_EQ(c->Name(), QStringLiteral("Beta"));

  TTestPart* unnamed1 = new TTestPart(&owner);
  TTestPart* unnamed2 = new TTestPart(&owner);
  unnamed1->SetName(QString());
  EXPECT_NO_THROW(unnamed2->SetName(QString()));
  c->SetName(QStringLiteral("x"));
  try {
    MakePart(&other, "X");
    FAIL() << "a clash in other letters must raise";
  } catch (const EComponentError& e) {
    EXPECT_TRUE(e.Message().contains(QLatin1String("X"))) << e.Message().toStdString();
  }
}

TEST(Component, FreeNotificationMakesAReferenceForgetADestroyedComponent) {
  TComponent ownerA, ownerB;
  TTestPart* holder = MakePart(&ownerA, "Holder");
  TTestPart* target = MakePart(&ownerB, "Target");
  holder->SetBuddy(target);
  ASSERT_EQ(holder->Buddy(), target);
  delete target;
  EXPECT_EQ(holder->Buddy(), nullptr);
  EXPECT_EQ(holder->Removed, std::vector<QString>{"Target"});

  // The link goes both ways: a destroyed holder is no longer told of anything.
  TTestPart* target2 = MakePart(&ownerB, "Target2");
  holder->SetBuddy(target2);
  delete holder;
  EXPECT_NO_FATAL_FAILURE(delete target2);

  // Removing the request stops the notification.
  TTestPart* h = MakePart(&ownerA, "H");
  TTestPart* t = MakePart(&ownerB, "T");
  h->SetBuddy(t);
  h->RemoveFreeNotification(t);
  delete t;
  EXPECT_TRUE(h->Removed.empty());
}

TEST(Component, ComponentsOfOneOwnerHearOfEachOthersRemoval) {
  TComponent owner;
  TTestPart* a = MakePart(&owner, "A");
  TTestPart* b = MakePart(&owner, "B");
  a->SetBuddy(b);
  delete b;
  EXPECT_EQ(a->Buddy(), nullptr);
  EXPECT_EQ(a->Removed, std::vector<QString>{"B"});
}

TEST(Component, LoadingLastsUntilTheLoadedNotification) {
  Log().clear();
  TTestPart part;
  part.SetName(QStringLiteral("P"));
  EXPECT_FALSE(part.Loading());
  part.BeginLoading();
  EXPECT_TRUE(part.Loading());
  part.SetCaption(QStringLiteral("x"));
  part.Loaded();
  EXPECT_FALSE(part.Loading());
  part.SetNumber(1);
  EXPECT_EQ(Log(), (std::vector<QString>{"P.Caption", "loaded P", "P.Number!"}));
}

TEST(Component, PersistentAssignRefusesUnrelatedClasses) {
  TComponent a, b;
  EXPECT_THROW(a.Assign(&b), EConvertError);
  EXPECT_THROW(a.Assign(nullptr), EConvertError);
  EXPECT_EQ(TTestPart().ClassName(), QStringLiteral("TTestPart"));
}
