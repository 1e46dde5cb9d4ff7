#include "options.h"

namespace zlbtool {
namespace {

archive::TFileCompressionLevel levelOf(const QString &option)
{
    if (option == QLatin1String("-0"))
        return archive::fcNone;
    if (option == QLatin1String("-1"))
        return archive::fcFastest;
    if (option == QLatin1String("-9"))
        return archive::fcMaximum;
    return archive::fcDefault;
}

int threadCount(const QString &value)
{
    bool ok = false;
    const int count = value.toInt(&ok);
    if (!ok || count < 1 || count > 256)
        throw UsageError{QStringLiteral("-j needs a number of threads from 1 to 256")};
    return count;
}

bool isLevel(const QString &arg)
{
    return arg == QLatin1String("-0") || arg == QLatin1String("-1") || arg == QLatin1String("-6")
           || arg == QLatin1String("-9");
}

} // namespace

QString usage()
{
    return QStringLiteral(
        "usage:\n"
        "  zlb l ARCHIVE                          list entries: size, packed, ratio, CRC, name\n"
        "  zlb a ARCHIVE FILE|DIR... [-0|-1|-6|-9] [-r] [-p] [-j N]\n"
        "                                         add files (the archive is created when missing)\n"
        "  zlb x ARCHIVE [NAME...] [-C DIR] [-p] [--check] [-j N]\n"
        "                                         extract all entries, or the named ones\n"
        "  zlb t ARCHIVE                          test: check the archive and every entry's CRC\n"
        "  zlb u ARCHIVE FILE|DIR... [-0|-1|-6|-9] [-r] [-p] [-j N]\n"
        "                                         update the entries these files match\n"
        "  zlb d ARCHIVE NAME...                  delete entries\n"
        "  zlb mv ARCHIVE OLD NEW                 rename an entry\n"
        "options: -0 store, -1 fastest, -6 default, -9 best compression; -r recurse into\n"
        "folders; -p keep folders (when adding) or recreate them (when extracting);\n"
        "-C DIR extract into DIR; --check verify each entry's CRC when extracting;\n"
        "-j N compress N files at a time (default: one per processor; the archive is the same);\n"
        "-j 1 also extracts on one thread.\n");
}

Options parseOptions(const QStringList &args)
{
    Options options;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (isLevel(arg))
            options.level = levelOf(arg);
        else if (arg == QLatin1String("-r"))
            options.recurse = true;
        else if (arg == QLatin1String("-p"))
            options.keepFolders = true;
        else if (arg == QLatin1String("--check"))
            options.check = true;
        else if (arg == QLatin1String("-C") && i + 1 < args.size())
            options.destination = args.at(++i);
        else if (arg == QLatin1String("-j"))
            options.threads = threadCount(i + 1 < args.size() ? args.at(++i) : QString());
        else if (arg == QLatin1String("--")) {
            positional += args.mid(i + 1);
            break;
        } else if (arg.startsWith(u'-') && arg.size() > 1)
            throw UsageError{QStringLiteral("unknown option %1").arg(arg)};
        else
            positional << arg;
    }
    if (positional.size() < 2)
        throw UsageError{QStringLiteral("a command and an archive are needed")};
    options.command = positional.takeFirst();
    options.archive = positional.takeFirst();
    options.names = positional;
    return options;
}

} // namespace zlbtool
