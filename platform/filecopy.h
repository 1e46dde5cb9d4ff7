#pragma once
// Copying byte ranges between open files, and flushing a file to the disk.
//
// Linux copies a range inside the kernel (copy_file_range), so the bytes never pass
// through user memory; where the kernel refuses (another file system on an older
// kernel, a special file) the copy falls back to reading and writing 1 MiB pieces.
// Offsets are explicit and the files' own positions are left where they were, so a
// QFile opened Unbuffered stays consistent as long as the caller seeks it afterwards.
#include <QFile>
#include <QString>

namespace platform {

// Copies `length` bytes of `from` at `fromOffset` to `to` at `toOffset`. Returns false,
// with the system's error text in *error, when a read or write fails or `from` ends
// before `length` bytes were copied.
[[nodiscard]] bool copyFileRange(QFile &from, qint64 fromOffset, QFile &to, qint64 toOffset, qint64 length,
                                 QString *error);

// Writes the file's data through to the disk (fsync).
[[nodiscard]] bool syncFile(QFile &file, QString *error);

// Asks the kernel to start writing a range of the file to the disk now, without waiting,
// so a later syncFile has less left to wait for. Only a hint: a range the kernel cannot
// start on is written by syncFile, which reports any error.
void startWriteback(QFile &file, qint64 offset, qint64 length);

} // namespace platform
