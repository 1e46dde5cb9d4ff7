#pragma once
// Every test process runs in a private root: TELLVARA_ROOT, HOME, the XDG folders and
// TMPDIR all point into one temporary folder that is removed when the process ends.
#include <QString>

namespace testenv {

// The private root of this test process (ends without "/").
QString root();

// Creates the private root and points the environment at it. Called once by test_main.
void isolate();

// A fresh, empty folder inside the private root.
QString freshDir(const QString &name);

// Folder of the built programs (vardo-service, vardoctl, ...).
QString binDir();

// Folder of the source tree, for sample files under tests/data.
QString sourceDir();

// Writes bytes to a file, creating its folders.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

} // namespace testenv
