// The message table: exact texts in both languages, held as Windows-1250
// bytes like every text of the system, and empty text outside the table.
#include "CodePage.h"
#include "Messages.h"

#include <gtest/gtest.h>

namespace {

struct MessageCase {
  int number;
  int language;
  QByteArray cp1250;  // the expected text in the system's code page
};

TEST(MessageTable, TextsAreExactInBothLanguages) {
  const MessageCase cases[] = {
      {1, 1, "Odaberite kategoriju"},
      {1, 2, "Select a category"},
      {2, 1, "Potvrda"},
      {3, 1, "Ozna\xE8iti kao favorita?"},
      {4, 1,
       "UPOZORENJE!\nAko obri\x9A"
       "ete kategoriju , izbrisa\xE6"
       "e se i svi zapisi koji pripadaju ovoj kategoriji.\nNastaviti sa brisanjem?"},
      {4, 2,
       "WARNING!\nIf you delete this category , all records that belong to this category will also be "
       "deleted.\nProcede with deleting?"},
      {6, 1, "Zavrseno"},
      {7, 1, "Uspije\x9Ano ste unijeli novi zapis"},
      {12, 2, "Enter new title"},
      {13, 2, "You must choose category and enter title!"},
      {14, 2, "remove from favorites?"},
      {15, 1, "Sa\xE8uvati izmjene?"},
      {15, 2, "save changes?"},
  };
  for (const MessageCase& c : cases) {
    const QString text = MessageText(c.number, c.language);
    EXPECT_EQ(WideToMultiByte(1250, text), c.cp1250) << "message " << c.number << " in language " << c.language;
    EXPECT_EQ(MultiByteToWide(1250, c.cp1250), text) << "message " << c.number << " round trip";
  }
}

TEST(MessageTable, EveryNumberHasBothTextsWithLineFeedsOnly) {
  for (int n = 1; n <= 15; ++n) {
    for (int language : {1, 2}) {
      const QString text = MessageText(n, language);
      EXPECT_FALSE(text.isEmpty()) << "message " << n << " in language " << language;
      EXPECT_FALSE(text.contains(QLatin1Char('\r'))) << "message " << n;
    }
  }
  EXPECT_EQ(MessageText(4, 1).count(QLatin1Char('\n')), 2);
}

TEST(MessageTable, OutsideTheTableIsEmpty) {
  const int cases[][2] = {{0, 1}, {16, 1}, {-1, 2}, {16, 2}, {1, 0}, {1, 3}, {15, -1}};
  for (const auto& c : cases) EXPECT_TRUE(MessageText(c[0], c[1]).isEmpty()) << c[0] << "/" << c[1];
}

}  // namespace
