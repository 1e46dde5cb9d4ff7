#pragma once
// Readable QString values in the failure messages of the dialog and translation tests.
#include <QString>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
