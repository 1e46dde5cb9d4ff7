// LocaliseForm over a small window holding one control of each kind.
#include "suite/widgets/localise_form.h"

#include "platform/codepage.h"
#include "platform/widgets/visual_style.h"
#include "suite/translate.h"
#include "test_env.h"
#include "translate_print.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace {

// A panel of the suite's kind: a widget with a caption.
class CaptionPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
public:
    using QWidget::QWidget;
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }

private:
    QString m_caption;
};

struct Form
{
    Form()
    {
        window.setWindowTitle("Formulär");
        window.setFixedSize(300, 200);
        menuItem = new QAction("Arkiv", &window);
        blankItem = new QAction(" ", &window);
        radioGroup = radioGroupOf("Loggning", {"På", ""});
        keptRadioGroup = radioGroupOf("Läge", {"Av"});
        keptRadioGroup->setProperty("Tag", suite::KeepEntriesTag);
        groupBox = new QGroupBox("Grupp", &window);
        groupBox->setToolTip("Tips");
        edit = new QLineEdit("Text", &window);
        edit->setPlaceholderText("Sök");
        label = new QLabel("Etikett", &window);
        button = new QPushButton("Knapp", &window);
        button->setToolTip(" ");
        check = new QCheckBox("Kryss", &window);
        radio = new QRadioButton("Radio", &window);
        panel = new CaptionPanel(&window);
        panel->setCaption("Panel");
        combo = new QComboBox(&window);
        combo->addItems({"Ett", ""});
        keptCombo = new QComboBox(&window);
        keptCombo->addItems({"Två"});
        keptCombo->setProperty("Tag", suite::KeepEntriesTag);
        pages = new QTabWidget(&window);
        pages->addTab(new QWidget, "Sida 1");
        pages->addTab(new QWidget, "Sida 2");
        pages->setCurrentIndex(1);
        pages->setEnabled(false);
        fontName = new QLabel("Typsnitt", &window);
        fontName->setObjectName("fontname");
        time = new QTimeEdit(&window);
        date = new QDateEdit(&window);
    }

    QGroupBox *radioGroupOf(const QString &caption, const QStringList &items)
    {
        auto *box = new QGroupBox(caption, &window);
        auto *group = new QButtonGroup(box);
        for (const QString &item : items)
            group->addButton(new QRadioButton(item, box));
        return box;
    }

    QStringList radioItems(QGroupBox *box) const
    {
        QStringList items;
        for (QRadioButton *b : box->findChildren<QRadioButton *>())
            items.append(b->text());
        return items;
    }

    QWidget window;
    QAction *menuItem, *blankItem;
    QGroupBox *radioGroup, *keptRadioGroup, *groupBox;
    QLineEdit *edit;
    QLabel *label, *fontName;
    QPushButton *button;
    QCheckBox *check;
    QRadioButton *radio;
    CaptionPanel *panel;
    QComboBox *combo, *keptCombo;
    QTabWidget *pages;
    QTimeEdit *time;
    QDateEdit *date;
};

class LocaliseForm : public ::testing::Test
{
protected:
    void TearDown() override
    {
        suite::LanguageFileActive = false;
        suite::LanguageFileName.clear();
    }

    // Every text the form holds translates to "EN " + text; the first line is a heading.
    void useEnglish()
    {
        QString content = "Språk\r\n";
        for (const char *text : {"Formulär", "Arkiv", "Loggning", "På", "Läge", "Av", "Grupp", "Tips", "Sök", "Etikett",
                                 "Knapp", "Kryss", "Radio", "Panel", "Ett", "Två", "Sida 1", "Sida 2", "Typsnitt", "Text"})
            content += QString::fromUtf8(text) + ";EN " + QString::fromUtf8(text) + "\r\n";
        const QString path = testenv::root() + "/english.lng";
        testenv::writeFile(path, platform::toAnsi(content));
        ASSERT_TRUE(suite::LoadLanguageFile(path));
        suite::LanguageFileActive = true;
    }
};

TEST_F(LocaliseForm, WithoutALanguageFileOnlyThePickersChange)
{
    Form f;
    suite::LocaliseForm(&f.window);
    EXPECT_EQ(f.window.width(), 300);
    EXPECT_EQ(f.window.windowTitle(), "Formulär");
    EXPECT_EQ(f.label->text(), "Etikett");
    EXPECT_EQ(f.combo->itemText(0), "Ett");
    EXPECT_FALSE(f.pages->isEnabled());
    EXPECT_EQ(f.time->displayFormat(), "HH:mm");
    EXPECT_EQ(f.date->displayFormat(), "yyyy-MM-dd");
}

TEST_F(LocaliseForm, TranslatesEachKindByItsRule)
{
    useEnglish();
    Form f;
    suite::LocaliseForm(&f.window);

    const struct
    {
        const char *what;
        QString actual;
        QString expected;
    } rows[] = {
        {"caption", f.window.windowTitle(), "EN Formulär"},
        {"menu item", f.menuItem->text(), "EN Arkiv"},
        {"menu item without content", f.blankItem->text(), " "},
        {"radio group caption", f.radioGroup->title(), "EN Loggning"},
        {"radio group entries, empty ones too", f.radioItems(f.radioGroup).join('|'), "EN På|"},
        {"radio group with Tag 666: caption", f.keptRadioGroup->title(), "EN Läge"},
        {"radio group with Tag 666: entries kept", f.radioItems(f.keptRadioGroup).join('|'), "Av"},
        {"group box", f.groupBox->title(), "EN Grupp"},
        {"group box hint", f.groupBox->toolTip(), "EN Tips"},
        {"edit's text hint", f.edit->placeholderText(), "EN Sök"},
        {"edit's text untouched", f.edit->text(), "Text"},
        {"label", f.label->text(), "EN Etikett"},
        {"button", f.button->text(), "EN Knapp"},
        {"hint without content", f.button->toolTip(), " "},
        {"check box", f.check->text(), "EN Kryss"},
        {"radio button", f.radio->text(), "EN Radio"},
        {"panel", f.panel->caption(), "EN Panel"},
        {"combo entries", f.combo->itemText(0) + "|" + f.combo->itemText(1), "EN Ett|"},
        {"combo with Tag 666", f.keptCombo->itemText(0), "Två"},
        {"pages", f.pages->tabText(0) + "|" + f.pages->tabText(1), "EN Sida 1|EN Sida 2"},
        {"fontname", f.fontName->text(), "Typsnitt"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.what;
    EXPECT_TRUE(f.pages->isEnabled());
    EXPECT_EQ(f.pages->currentIndex(), 0);
}

TEST_F(LocaliseForm, ACustomStyleWidensTheFormByTen)
{
    for (const char *style : {"Windows", "Fusion"}) {
        ASSERT_TRUE(platform::useVisualStyle(style));
        EXPECT_NE(platform::activeVisualStyleName(), "Windows");
        Form f;
        QWidget resizable;
        resizable.resize(250, 100);
        suite::LocaliseForm(&f.window);
        suite::LocaliseForm(&resizable);
        EXPECT_EQ(f.window.width(), 310) << style;
        EXPECT_EQ(resizable.width(), 260) << style;
    }
}

} // namespace

#include "localise_form_guitest.moc"
