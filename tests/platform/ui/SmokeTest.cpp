#include "Forms.h"
#include "TestModalHost.h"

#include <gtest/gtest.h>

TEST(UiSmoke, NoticeGoesThroughTheHost) {
  TestModalHost host;
  ShowMessage(QStringLiteral("hello"));
  ASSERT_EQ(host.Shown().size(), 1u);
}
