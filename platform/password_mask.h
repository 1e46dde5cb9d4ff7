#pragma once
// Passwords in connection strings, for every text a program shows, prints or logs.
//
// The scan reads OLE DB strings ("Password=x;...", values quoted with " or ' and doubled
// quotes inside) and the ODBC strings they carry ("PWD={se;cr}}et}", braces with "}}"
// standing for one "}"), also inside a quoted "Extended Properties" value. A key counts
// as a password when its name is "PWD" or ends in "Password" ("Jet OLEDB:Database
// Password"), letter case aside. It never fails: a string that does not parse (cut at
// 255 characters, an unterminated quote or brace) hides everything from the first
// password on, and a part without "=" is hidden too (it can be the tail of a password
// that held an unquoted ";").
#include <QString>

namespace platform {

inline constexpr char16_t MaskedPassword[] = u"********";

// The string with every password value replaced by MaskedPassword; all else as written.
QString maskPasswords(const QString &connectionString);

// A free text (a driver's message that may echo its connection string) with the value of
// every "PWD=" and "...Password=" hidden: quoted or braced to its closing character (to
// the end when it never closes), else to the next ";" or blank.
QString maskPasswordsInMessage(const QString &text);

// Whether any password key of the string has a value that is not empty.
bool holdsPassword(const QString &connectionString);

} // namespace platform
