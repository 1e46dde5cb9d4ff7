#include "platform/widgets/visual_style.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace platform {
namespace {

QString &chosenStyle()
{
    static QString key;
    return key;
}

QString styleFromOutside()
{
    const QString fromEnvironment = qEnvironmentVariable("QT_STYLE_OVERRIDE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if ((argument == QLatin1String("-style") || argument == QLatin1String("--style")) && i + 1 < arguments.size())
            return arguments.at(i + 1);
        for (const QLatin1String prefix : {QLatin1String("-style="), QLatin1String("--style=")}) {
            if (argument.startsWith(prefix))
                return argument.mid(prefix.size());
        }
    }
    return {};
}

} // namespace

QString activeVisualStyleName()
{
    if (chosenStyle().isEmpty() && styleFromOutside().isEmpty())
        return QStringLiteral("Windows");
    return QApplication::style()->name();
}

bool useVisualStyle(const QString &key)
{
    QStyle *style = QStyleFactory::create(key);
    if (!style)
        return false;
    QApplication::setStyle(style);
    chosenStyle() = key;
    return true;
}

} // namespace platform
