#pragma once
// The pseudo translation that shows which texts reach the user through a
// catalogue: every letter becomes an accented look-alike and the text is
// bracketed, "Save Setting" -> "[Śáṽé Śéţţíñĝ]". What must stay as written
// stays: %1-style arguments, HTML tags and entities, a file pattern ending a
// file-dialog filter ("(*.bin)", outside the brackets so the dialog still
// finds it) and the ";;" between filters.

#include <QString>

namespace pseudo {

QString translate(const QString &source);

// Whether a text as shown came through translate(): it has a bracketed part
// and no ASCII letter outside the kept parts (digits, such as a version
// read from the wheel, may stand beside it).
bool isTranslated(const QString &shown);

} // namespace pseudo
