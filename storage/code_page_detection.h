// A file does not say its code page. When nothing remembers it, its texts
// tell: the single-byte code page in which they read most like words.
#pragma once

#include <QStringList>

#include "storage/code_page.h"
#include "storage/database_model.h"

namespace orbo {

// The code pages of the program's languages, the ones detection chooses from.
QStringList KnownCodePages();

// Of candidates, the code page in which the texts of db (read in readIn)
// read best; readIn's own name when none reads better.
QString DetectCodePage(const Database& db, CodePage& readIn, const QStringList& candidates);

// Reads the texts of db again from the bytes readIn took them from, in
// DetectCodePage's choice, and names it as db's code page. Nothing changes
// when the password (whose bytes are the file's key) would be other bytes
// in the chosen code page.
void TakeDetectedCodePage(Database& db, CodePage& readIn, const QStringList& candidates);

}  // namespace orbo
