#include "Component.h"

#include <gtest/gtest.h>

TEST(ModelSmoke, OwnerFindsComponent) {
  TComponent owner;
  auto* c = new TComponent(&owner);
  c->SetName(QStringLiteral("Button1"));
  EXPECT_EQ(owner.FindComponent(QStringLiteral("button1")), c);
}
