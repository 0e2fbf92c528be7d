// Feeds arbitrary bytes to the settings file reader, then writes the tree and
// reads it again. Whatever a settings file holds, reading it either fills the
// tree or stops with a conversion error; what the writer produces always
// reads back to the same keys and values.
#include "rsCodePage.h"
#include "rsIniData.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

namespace {

[[noreturn]] void Fail(const char* what, const QByteArray& first, const QByteArray& second = QByteArray()) {
  std::fprintf(stderr, "fuzz_ini: %s\n--- first ---\n%s\n--- second ---\n%s\n", what, first.toHex(' ').constData(),
               second.toHex(' ').constData());
  std::abort();
}

// Keys sorted by section and name, sections by parent and name, every key in
// a section that exists.
void CheckTree(const TrsStorage& storage, const QByteArray& input) {
  for (int i = 1; i < storage.KeyCount(); ++i) {
    const TrsKeyItem& a = storage.Keys(i - 1);
    const TrsKeyItem& b = storage.Keys(i);
    if (!(a.SectionId < b.SectionId || (a.SectionId == b.SectionId && CompareNames(a.Name, b.Name) < 0)))
      Fail("keys out of order", input);
  }
  for (int i = 1; i < storage.SectionCount(); ++i) {
    const TrsSection& a = storage.Sections(i - 1);
    const TrsSection& b = storage.Sections(i);
    if (!(a.ParentId < b.ParentId || (a.ParentId == b.ParentId && CompareNames(a.Name, b.Name) < 0)))
      Fail("sections out of order", input);
  }
  for (int i = 0; i < storage.KeyCount(); ++i) {
    const int id = storage.Keys(i).SectionId;
    bool found = id == 0;
    for (int s = 0; s < storage.SectionCount() && !found; ++s) found = storage.Sections(s).Id == id;
    if (!found) Fail("key in a missing section", input);
  }
}

// A text that begins and ends with a double quote and holds no control
// character is written as it stands and so loses one pair of quotes when it
// is read again (escaped texts keep theirs).
TrsValue ReadBackValue(const TrsValue& value) {
  TrsValue v = value;
  if (v.Kind != vkText || v.Text.size() < 2 || !v.Text.startsWith(QLatin1Char('"')) ||
      !v.Text.endsWith(QLatin1Char('"')))
    return v;
  for (QChar c : v.Text)
    if (c.unicode() < 32) return v;
  v.Text = v.Text.mid(1, v.Text.size() - 2);
  return v;
}

// Every key by its full path, with its value as the writer puts it. Values
// the text form cannot carry exactly (floats beyond 15 digits, milliseconds
// of a locale date) compare by their written form.
std::map<QString, QByteArray> Keys(const TrsStorage& storage, const TrsIniData& ini, bool firstRead) {
  std::map<QString, QByteArray> keys;
  for (int i = 0; i < storage.KeyCount(); ++i) {
    const TrsKeyItem& k = storage.Keys(i);
    keys[storage.SectionPath(k.SectionId) + QLatin1Char('\\') + k.Name] =
        ini.FormatValue(firstRead ? ReadBackValue(k.Value) : k.Value);
  }
  return keys;
}

std::set<QString> Sections(const TrsStorage& storage) {
  std::set<QString> paths;
  for (int i = 0; i < storage.SectionCount(); ++i) paths.insert(storage.SectionPath(storage.Sections(i).Id));
  return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  TrsIniData ini;
  // The last byte picks the writer's options, so both date forms and both
  // binary forms are written.
  const int flags = size > 0 ? data[size - 1] : 0;
  ini.SetFixedDateTimeFormat(flags & 1);
  if (flags & 2) ini.SetCompactOptions(coHexStr);

  TrsStorage storage;
  if (flags & 4) storage.SetOptions(soSaveOnClose | soSaveEmptySection);
  try {
    ini.ParseStream(storage, input);
  } catch (const EConvertError&) {
    // A malformed typed value stops the load; the keys before it stay.
  }
  CheckTree(storage, input);

  const QByteArray first = ini.FormatStream(storage);
  TrsStorage back;
  back.SetOptions(storage.Options());
  try {
    ini.ParseStream(back, first);
  } catch (const Exception& e) {
    Fail(qPrintable(QStringLiteral("written text does not read back: ") + e.Message()), input, first);
  }
  CheckTree(back, first);
  if (Keys(back, ini, false) != Keys(storage, ini, true)) Fail("keys changed", input, first);
  if (storage.Options().testFlag(soSaveEmptySection) && Sections(back) != Sections(storage))
    Fail("sections changed", input, first);
  return 0;
}
