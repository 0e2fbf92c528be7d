// The one place exceptions from handlers are caught, and what reaches the
// error display.
#include "Dispatch.h"
#include "Exceptions.h"
#include "QtPrinters.h"
#include "TestModalHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct SilentError : std::exception {
  const char* what() const noexcept override { return ""; }
};

// Installs a handler for one test and puts the previous one back.
class HandlerScope {
public:
  explicit HandlerScope(TExceptionHandler handler) : FPrevious(SetExceptionHandler(std::move(handler))) {}
  ~HandlerScope() { SetExceptionHandler(std::move(FPrevious)); }

private:
  TExceptionHandler FPrevious;
};

struct Thrower {
  const char* label;
  std::function<void()> action;
  QString message;
};

std::vector<Thrower> Throwers() {
  return {
      {"EConvertError", [] { throw EConvertError(QStringLiteral("'abc' is not a number")); }, "'abc' is not a number"},
      {"Serbian text", [] { throw EListError(QStringLiteral("Traži: indeks van opsega")); },
       "Traži: indeks van opsega"},
      {"std::runtime_error", [] { throw std::runtime_error("disk full"); }, "disk full"},
      {"empty Exception", [] { throw Exception(QString()); }, ""},
      {"std::exception with empty what()", [] { throw SilentError(); }, ""},
      {"int", [] { throw 42; }, ""},
      {"const char*", [] { throw "text that is no exception"; }, ""},
  };
}

}  // namespace

TEST(Dispatch, AnExceptionReachesTheInstalledHandlerWithItsText) {
  for (const Thrower& t : Throwers()) {
    SCOPED_TRACE(t.label);
    std::vector<QString> shown;
    HandlerScope scope([&](std::exception_ptr e) { shown.push_back(ExceptionMessage(e)); });
    bool result = true;
    EXPECT_NO_THROW(result = Dispatch(t.action));
    EXPECT_FALSE(result);
    EXPECT_EQ(shown, std::vector<QString>{t.message});
  }
}

TEST(Dispatch, ASuccessfulActionReturnsTrueAndShowsNothing) {
  int handled = 0, ran = 0;
  HandlerScope scope([&](std::exception_ptr) { ++handled; });
  EXPECT_TRUE(Dispatch([&] { ++ran; }));
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(handled, 0);
}

TEST(Dispatch, NeverThrowsEvenWhenTheHandlerFailsOrIsMissing) {
  {
    HandlerScope scope([](std::exception_ptr) { throw std::runtime_error("the display failed too"); });
    EXPECT_FALSE(Dispatch([] { throw 1; }));
  }
  {
    HandlerScope scope(nullptr);
    EXPECT_FALSE(Dispatch([] { throw EConvertError(QStringLiteral("nobody listens")); }));
  }
  HandlerScope scope([](std::exception_ptr) {});
  EXPECT_FALSE(Dispatch(std::function<void()>()));  // an empty action fails like any other
}

TEST(Dispatch, AHandlerMayReplaceItselfWhileItRuns) {
  std::vector<QString> shown;
  const std::string marker(64, 'm');  // captured by value: lives in the handler
  HandlerScope scope(nullptr);
  SetExceptionHandler([&shown, marker](std::exception_ptr e) {
    SetExceptionHandler([&shown](std::exception_ptr) { shown.push_back(QStringLiteral("second")); });
    shown.push_back(QString::fromStdString(marker.substr(0, 3)) + ExceptionMessage(e));
  });
  EXPECT_FALSE(Dispatch([] { throw EConvertError(QStringLiteral(":first")); }));
  EXPECT_FALSE(Dispatch([] { throw 0; }));
  EXPECT_EQ(shown, (std::vector<QString>{"mmm:first", "second"}));
}

TEST(Dispatch, TheApplicationShowsTheTextInAnErrorBox) {
  TestModalHost host;
  Application->SetTitle(QStringLiteral("Notarium"));
  for (const Thrower& t : Throwers()) {
    SCOPED_TRACE(t.label);
    host.Clear();
    EXPECT_FALSE(Dispatch(t.action));
    const auto errors = host.ShownOf(ShownBox::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text, t.message);
    EXPECT_EQ(errors[0].caption, QStringLiteral("Notarium"));
  }
}

TEST(Dispatch, ANestedFailureIsShownOnceByTheOutermostAndEndsTheAction) {
  std::vector<QString> shown, ran;
  HandlerScope scope([&](std::exception_ptr e) { shown.push_back(ExceptionMessage(e)); });
  bool innerResult = true, laterResult = true;
  const bool outerResult = Dispatch([&] {
    innerResult = Dispatch([&] {
      ran.push_back(QStringLiteral("inner"));
      throw EConvertError(QStringLiteral("first"));
    });
    EXPECT_TRUE(shown.empty()) << "the inner level shows nothing";
    // Code that does not raise the error again: nothing more of the action runs.
    laterResult = Dispatch([&] {
      ran.push_back(QStringLiteral("later"));
      throw EConvertError(QStringLiteral("second"));
    });
  });
  EXPECT_FALSE(innerResult);
  EXPECT_FALSE(laterResult);
  EXPECT_FALSE(outerResult);
  EXPECT_EQ(ran, std::vector<QString>{QStringLiteral("inner")});
  EXPECT_EQ(shown, std::vector<QString>{QStringLiteral("first")});

  shown.clear();
  EXPECT_TRUE(Dispatch([] {})) << "the next action starts clean";
  EXPECT_TRUE(shown.empty());
}
