#include "Messages.h"

#include <array>

namespace {

struct TMessage {
  const char16_t* serbian;
  const char16_t* english;
};

// The texts exactly as the windows show them, spelling and blanks included.
constexpr std::array<TMessage, 15> kMessages{{
    {u"Odaberite kategoriju", u"Select a category"},
    {u"Potvrda", u"Confirm"},
    {u"Označiti kao favorita?", u"Mark as favorite?"},
    {u"UPOZORENJE!\nAko obrišete kategoriju , izbrisaće se i svi zapisi koji pripadaju ovoj kategoriji.\n"
     u"Nastaviti sa brisanjem?",
     u"WARNING!\nIf you delete this category , all records that belong to this category will also be deleted.\n"
     u"Procede with deleting?"},
    {u"Unijeti novi zapis?", u"Save record?"},
    {u"Zavrseno", u"Done"},
    {u"Uspiješno ste unijeli novi zapis", u"Record saved successfully"},
    {u"Izbrisati zapis?", u"Delete record?"},
    {u"Novo ime", u"New name"},
    {u"Unesite novo ime", u"Enter new name"},
    {u"Novi naslov", u"New title"},
    {u"Unesite novi naslov za zapis", u"Enter new title"},
    {u"Morate odabrati kategoriju i unijeti naslov!", u"You must choose category and enter title!"},
    {u"Izbrisati iz favorita?", u"remove from favorites?"},
    {u"Sačuvati izmjene?", u"save changes?"},
}};

}  // namespace

QString MessageText(int number, int language) {
  if (number < 1 || number > static_cast<int>(kMessages.size())) return {};
  const TMessage& m = kMessages[number - 1];
  switch (language) {
    case 1: return QString::fromUtf16(m.serbian);
    case 2: return QString::fromUtf16(m.english);
    default: return {};
  }
}
