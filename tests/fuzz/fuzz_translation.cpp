// Random blocks through the translation table reader and the lookups over
// the rows it keeps. The first bytes choose the delimiter and the language
// count; the rest is the block.
#include "Classes.h"
#include "Forms.h"
#include "lgComp.h"

#include <QApplication>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsWindowRow(const QByteArray& row, char delim) { return row.startsWith(QByteArray("TForm") + delim); }

TForm* Window() {
  static TForm* form = new TForm;
  return form;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "fuzz_translation";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // A zero byte ends a block, so it cannot be the delimiter of a table that
  // is written and read again.
  const char delim = data[0] ? static_cast<char>(data[0]) : '\x01';
  const int languages = 1 + data[1] % 4;
  const QByteArray block(reinterpret_cast<const char*>(data) + 2, static_cast<qsizetype>(size - 2));

  auto* lang = new TlgLang(Window());
  lang->SetLangDelim(static_cast<uchar>(delim));
  lang->SetNumLang(languages);
  lang->ReadOurStrProps(block);

  // Writing and reading again keeps every section's rows; only several
  // window rows in one section change places (each is put first).
  const QByteArray written = lang->WriteOurStrProps();
  delete lang;  // one translation component per window
  auto* copy = new TlgLang(Window());
  copy->SetLangDelim(static_cast<uchar>(delim));
  copy->SetNumLang(languages);
  copy->ReadOurStrProps(written);
  bool severalWindowRows = false;
  for (int t = 0; t < 11; ++t) {
    const TlgRows& rows = *copy->GetPropListByType(t);
    if (std::count_if(rows.begin(), rows.end(), [&](const QByteArray& r) { return IsWindowRow(r, delim); }) > 1)
      severalWindowRows = true;
    for (const QByteArray& row : rows) Check(!row.contains('\0'));
  }
  const QByteArray rewritten = copy->WriteOurStrProps();
  if (!severalWindowRows) Check(rewritten == written);
  Check(rewritten.size() == written.size());

  // The lookups stay inside the rows and never fail.
  for (int t = 0; t < 11; ++t) {
    const TlgRows& rows = *copy->GetPropListByType(t);
    const int n = std::min<int>(static_cast<int>(rows.size()), 64);
    for (int i = -1; i <= n; ++i) {
      const QByteArray row = rows.value(i);
      for (int k = 0; k <= languages + 1; ++k) {
        const QByteArray value = ExtractTranslation(row, delim, k);
        Check(!value.contains(delim) && value.size() <= row.size());
        Check(!copy->GetStringValue(rows, ExtractTranslation(row, delim, 0), k).contains(delim));
      }
      Check(copy->GetTextFromByIndex(rows, i, true).size() <= row.size());
      const QByteArray separators = QByteArray(".[") + delim;
      for (int w = 1; w <= 6; ++w) {
        const QByteArray word = ExtractWord(w, row, separators);
        Check(std::none_of(word.begin(), word.end(), [&](char c) { return separators.contains(c); }));
      }
    }
  }

  // Delimiter conversion there and back, through a byte no row holds.
  char spare = 0;
  for (int c = 1; c < 256 && !spare; ++c)
    if (!rewritten.contains(static_cast<char>(c)) && c != '\r' && c != '\n' && c != 0x19 && c != 0x1A &&
        static_cast<char>(c) != delim)
      spare = static_cast<char>(c);
  if (spare) {
    copy->ChangeLangDelim(delim, spare);
    copy->ChangeLangDelim(spare, delim);
    Check(copy->WriteOurStrProps() == rewritten);
  }
  copy->FillNewDialogs();
  copy->ExcludeProperties();

  // Comma text read from the block writes back to what it read.
  const QStringList items = ParseCommaText(QString::fromLatin1(block));
  Check(ParseCommaText(FormatCommaText(items)) == items);

  delete copy;
  return 0;
}
