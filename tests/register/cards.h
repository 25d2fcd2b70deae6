#pragma once

#include "support/testdatabase.h"

namespace kelvo::test {

// Four cards whose sequence numbers sort differently as text and as numbers;
// "2" is discarded. In the list's own order the current ones are 1, 10, 9.
inline void insertFourCards(TestDatabase& db) {
    db.admin().execute(
        "insert into karta (pora_cislo, cislokarty, nazev, cena, datum_za, vyrazen) values"
        " (\"10\", \"I10\", \"Vrtačka\", 5000, \"2020-01-05\", \"N\"),"
        " (\"9\", \"I9\", \"Soustruh VRT\", 120000, \"2019-03-01\", \"N\"),"
        " (\"2\", \"I2\", \"Auto\", 300000.5, \"2021-06-30\", \"A\"),"
        " (\"1\", \"I1\", \"vrtule\", 900, null, \"N\")");
}

} // namespace kelvo::test
