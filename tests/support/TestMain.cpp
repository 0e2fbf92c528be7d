// Test entry point: one QApplication on the offscreen platform for every test,
// or a helper mode that a test starts in a child process.
#include "TestHelper.h"

#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

#include <unistd.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // A single-instance name of the test run's own, inherited by the copies of
  // the program the tests start: never the user's running Notarium.
  if (qEnvironmentVariableIsEmpty("NOTARIUM_INSTANCE"))
    qputenv("NOTARIUM_INSTANCE", "test-" + QByteArray::number(static_cast<qlonglong>(::getpid())));
  QApplication app(argc, argv);
  if (int code = 0; RunTestHelper(argc, argv, code)) return code;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
