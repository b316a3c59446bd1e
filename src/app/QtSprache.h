#pragma once
// Qt's own texts (the standard buttons of every box, the file, print and page dialogs) in the
// program's language, from Qt's own translations (Debian: qt6-translations-l10n). The language
// files in "Lang" translate the program's windows, not these.
#include <QLocale>
#include <QString>

// The locale of a language as the registry value "Sprache" names it: its name in German, in
// English or in itself, in any letter case and with or without accents ("Englisch", "espanol",
// "Français"), or a locale code ("pt_BR"). German for the original, for the empty text
// (collecting) and for a name that is none of these.
QLocale SprachLocale(const QString &sprache);

// Installs Qt's translation for that language in place of the one installed before; false when
// Qt has none for it, and the one before stays (German from the start). Without an argument:
// German, as at the start.
bool QtUebersetzungLaden(const QString &sprache = QString());
