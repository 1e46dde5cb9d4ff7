#include "suite/dialogs.h"

#include "platform/progress_notifier.h"
#include "suite/dialogs_box.h"
#include "suite/translate.h"

#include <QCoreApplication>

#include <iterator>
#include <optional>

namespace suite {
namespace {

// The data provider's row-update conflict message, in its two languages.
constexpr char16_t EnglishConflict[] =
    u"Row cannot be located for updating. Some values may have been changed since it was last read";
constexpr char16_t SwedishConflict[] =
    u"Det gick inte att hitta raden för uppdatering. Vissa värden kan ha ändrats sedan den lästes sist";
static_assert(std::size(EnglishConflict) - 1 == 92);
static_assert(std::size(SwedishConflict) - 1 == 96);
// What followed the phrase (its full stop, the provider's details) goes with it.
constexpr qsizetype ConflictTailLength = 92;

QString applicationTitle;

QString conflictExplanation()
{
    return TranslateText(QStringLiteral("Uppgifterna kan ha ändrats av en annan användare.")) + QLatin1Char('\r')
           + TranslateText(QStringLiteral("Om möjligt, kopiera dina ändringar till klippbordet.")) + QLatin1String("\r\r")
           + TranslateText(QStringLiteral("Tryck sedan Ångra för att se de aktuella uppgifterna."));
}

// The text with the first conflict phrase (English before Swedish) replaced by the
// explanation; none when the text holds neither phrase.
std::optional<QString> rewriteConflict(QString text)
{
    const QString english = QString::fromUtf16(EnglishConflict);
    const QString swedish = QString::fromUtf16(SwedishConflict);
    qsizetype at = text.indexOf(english);
    if (at >= 0) {
        text.remove(at, english.size());
    } else {
        at = text.indexOf(swedish);
        if (at < 0)
            return std::nullopt;
        text.remove(at, swedish.size());
    }
    text.remove(at, ConflictTailLength);
    text.insert(at, conflictExplanation());
    return text;
}

// Texts are complete before the notification, so that a box raised while translating
// them gets its own notification and this one directly precedes its box.
int show(platform::BoxKind kind, const QString &text)
{
    return detail::showBox(platform::standardBox(kind, text));
}

} // namespace

int detail::showBox(const platform::MessageBox &box)
{
    DeactivateProgressApp();
    return platform::messagePresenter().present(box);
}

void ShowInfo(const QString &text)
{
    show(platform::BoxKind::Information, TranslateText(text));
}

void ShowError(const QString &text)
{
    ShowMessageText(text);
}

void ShowMessageText(const QString &text)
{
    if (const std::optional<QString> rewritten = rewriteConflict(text))
        show(platform::BoxKind::Warning, *rewritten);
    else
        show(platform::BoxKind::Information, text);
}

int AskYesNo(const QString &question)
{
    return show(platform::BoxKind::Confirmation, question);
}

void DeactivateProgressApp()
{
    platform::progressNotifier().inactivateProgressApp();
}

void ShowApplicationError(const QString &message)
{
    platform::MessageBox box = platform::standardBox(platform::BoxKind::Error, message);
    box.title = ApplicationTitle();
    detail::showBox(box);
}

void SetApplicationTitle(const QString &title)
{
    applicationTitle = title;
}

QString ApplicationTitle()
{
    return applicationTitle.isEmpty() ? QCoreApplication::applicationName() : applicationTitle;
}

} // namespace suite
