// The fifteen bilingual texts of the windows' confirmations, notices and
// input boxes, by number. They are fixed in the program: no translation table
// reaches them.
#pragma once

#include <QString>

// Message `number` (1 to 15) in `language` (1 Serbian, 2 English); any other
// number or language gives the empty text.
QString MessageText(int number, int language);
