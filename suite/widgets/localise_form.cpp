#include "suite/widgets/localise_form.h"

#include "platform/widgets/visual_style.h"
#include "suite/translate.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSet>
#include <QTabWidget>
#include <QTimeEdit>

namespace suite {
namespace {

// A text has content when it sorts after a single blank: "", " " and texts that begin
// with a control character have none.
bool hasContent(const QString &text)
{
    return QString::compare(text, QStringLiteral(" "), Qt::CaseSensitive) > 0;
}

QString translated(const QString &text)
{
    return TranslateText(text);
}

QString translatedIfContent(const QString &text)
{
    return hasContent(text) ? TranslateText(text) : text;
}

bool keepsEntries(const QObject *object)
{
    return object->property("Tag").toInt() == KeepEntriesTag;
}

void widenForCustomStyle(QWidget *form)
{
    if (platform::activeVisualStyleName() == QLatin1String("Windows"))
        return;
    // The layout sets the least width first; the 10 pixels come on top of what it leaves.
    if (QLayout *layout = form->layout())
        layout->activate();
    const int width = form->width() + 10;
    if (form->minimumWidth() == form->maximumWidth())
        form->setFixedWidth(width);
    else
        form->resize(width, form->height());
}

void setPickerFormats(QWidget *form)
{
    for (QDateTimeEdit *picker : form->findChildren<QDateTimeEdit *>()) {
        const bool picksTime = qobject_cast<QTimeEdit *>(picker)
                               || !(picker->displayedSections() & QDateTimeEdit::DateSections_Mask);
        picker->setDisplayFormat(picksTime ? QStringLiteral("HH:mm") : QStringLiteral("yyyy-MM-dd"));
    }
}

QButtonGroup *radioButtonsOf(const QGroupBox *box)
{
    for (QButtonGroup *group : box->findChildren<QButtonGroup *>(Qt::FindDirectChildrenOnly)) {
        if (group->exclusive())
            return group;
    }
    return nullptr;
}

void translateCaptionAndHint(QWidget *widget, const QString &caption, void (*setCaption)(QWidget *, const QString &))
{
    setCaption(widget, translatedIfContent(caption));
    widget->setToolTip(translatedIfContent(widget->toolTip()));
}

// Rows of the table, each for one kind; the first that fits a control is applied.
bool translateMenuItem(QObject *object)
{
    auto *action = qobject_cast<QAction *>(object);
    if (!action)
        return false;
    action->setText(translatedIfContent(action->text()));
    return true;
}

bool translateRadioGroup(QObject *object, QSet<QObject *> &handled)
{
    auto *box = qobject_cast<QGroupBox *>(object);
    QButtonGroup *buttons = box ? radioButtonsOf(box) : nullptr;
    if (!buttons)
        return false;
    translateCaptionAndHint(box, box->title(), [](QWidget *w, const QString &t) { static_cast<QGroupBox *>(w)->setTitle(t); });
    for (QAbstractButton *button : buttons->buttons()) {
        handled.insert(button); // its text is an entry of the group, not a control's caption
        if (!keepsEntries(box))
            button->setText(translated(button->text()));
    }
    return true;
}

bool translateGroupBox(QObject *object)
{
    auto *box = qobject_cast<QGroupBox *>(object);
    if (!box)
        return false;
    translateCaptionAndHint(box, box->title(), [](QWidget *w, const QString &t) { static_cast<QGroupBox *>(w)->setTitle(t); });
    return true;
}

bool translateEditHint(QObject *object)
{
    auto *edit = qobject_cast<QLineEdit *>(object);
    if (!edit)
        return false;
    edit->setPlaceholderText(translatedIfContent(edit->placeholderText()));
    return true;
}

bool translateCaptioned(QObject *object)
{
    if (auto *label = qobject_cast<QLabel *>(object)) {
        translateCaptionAndHint(label, label->text(), [](QWidget *w, const QString &t) { static_cast<QLabel *>(w)->setText(t); });
        return true;
    }
    if (auto *button = qobject_cast<QAbstractButton *>(object)) {
        translateCaptionAndHint(button, button->text(),
                                [](QWidget *w, const QString &t) { static_cast<QAbstractButton *>(w)->setText(t); });
        return true;
    }
    auto *panel = qobject_cast<QWidget *>(object);
    if (!panel || panel->metaObject()->indexOfProperty("Caption") < 0)
        return false;
    translateCaptionAndHint(panel, panel->property("Caption").toString(),
                            [](QWidget *w, const QString &t) { w->setProperty("Caption", t); });
    return true;
}

bool translateComboEntries(QObject *object)
{
    auto *combo = qobject_cast<QComboBox *>(object);
    if (!combo)
        return false;
    if (!keepsEntries(combo)) {
        for (int i = 0; i < combo->count(); ++i)
            combo->setItemText(i, translated(combo->itemText(i)));
    }
    return true;
}

bool translatePages(QObject *object)
{
    auto *pages = qobject_cast<QTabWidget *>(object);
    if (!pages)
        return false;
    pages->setEnabled(false);
    for (int i = 0; i < pages->count(); ++i) {
        pages->setTabText(i, translated(pages->tabText(i)));
        pages->setTabToolTip(i, translated(pages->tabToolTip(i)));
    }
    pages->setCurrentIndex(1);
    pages->setCurrentIndex(0);
    pages->setEnabled(true);
    return true;
}

void translateControl(QObject *object, QSet<QObject *> &handled)
{
    if (object->objectName() == QLatin1String("fontname") || handled.contains(object))
        return;
    translateMenuItem(object) || translateRadioGroup(object, handled) || translateGroupBox(object)
        || translateEditHint(object) || translateCaptioned(object) || translateComboEntries(object)
        || translatePages(object);
}

} // namespace

void LocaliseForm(QWidget *form)
{
    widenForCustomStyle(form);
    setPickerFormats(form);
    if (!LanguageFileActive)
        return;
    form->setWindowTitle(translated(form->windowTitle()));
    QSet<QObject *> handled;
    for (QObject *object : form->findChildren<QObject *>())
        translateControl(object, handled);
}

} // namespace suite
