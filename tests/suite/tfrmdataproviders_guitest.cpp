#include "suite/widgets/tfrmdataproviders.h"

#include "platform/testing/recording_presenter.h"
#include "platform/testing/scripted_prompter.h"
#include "platform/widgets/visual_style.h"
#include "recording_editor.h"
#include "suite/data_link_file.h"
#include "suite/dialogs.h"
#include "suite/paths.h"
#include "suite/registry.h"
#include "suite/widgets/data_provider_rows.h"
#include "suite/widgets/select_data_provider.h"
#include "test_env.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString RowCheckText = QStringLiteral("Välj en DataProvider först!");
const QColor Green(0, 128, 0);

class DataProvidersDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite::InitPaths({"vardo-admin"});
        links = suite::DataLinkPath();
        ASSERT_TRUE(QDir().mkpath(links));
    }

    void addLink(const QString &name, const QString &provider = "SQLite;Data Source=/x.db")
    {
        suite::WriteDataLinkFile(links + name, "Provider=" + provider);
    }

    static void setDefault(const QString &value)
    {
        suite::WriteSuiteSetting("DataProvider", "DefaultDataProvider", value);
    }

    // A dialog as SelectDataProvider shows it, activated once.
    std::unique_ptr<suite::TfrmDataProviders> shownDialog()
    {
        auto dialog = std::make_unique<suite::TfrmDataProviders>();
        dialog->IniTextPosision = "DefaultDataProvider";
        dialog->show();
        QApplication::processEvents();
        return dialog;
    }

    static QStringList rowsOf(const QListWidget &list)
    {
        QStringList rows;
        for (int i = 0; i < list.count(); ++i)
            rows << list.item(i)->text();
        return rows;
    }

    // How many pixels of a colour the painted row shows.
    static int pixelsOf(suite::TfrmDataProviders &dialog, int row, const QColor &colour)
    {
        QListWidget &list = *dialog.ListBox1;
        const QImage image = list.viewport()->grab().toImage();
        const QRect rect = list.visualItemRect(list.item(row)).intersected(image.rect());
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                count += image.pixelColor(x, y) == colour;
        return count;
    }

    QString links;
    platform::testing::RecordingPresenter presenter;
    platform::testing::ScriptedPrompter prompter;
    testenv::RecordingEditor editor;
};

TEST_F(DataProvidersDialog, BuildsTheNamedControls)
{
    suite::TfrmDataProviders dialog;
    EXPECT_EQ(dialog.windowTitle(), "DataProviders");
    EXPECT_EQ(dialog.GroupBox1->title(), "DataProviders");
    const struct
    {
        QPushButton *button;
        const char *name;
        const char *caption;
    } buttons[] = {
        {dialog.BitBtn4, "BitBtn4", "Lägg till..."}, {dialog.BitBtn5, "BitBtn5", "Redigera..."},
        {dialog.BitBtn3, "BitBtn3", "Välj som standard"}, {dialog.BitBtn6, "BitBtn6", "Radera"},
        {dialog.BitBtn1, "BitBtn1", "OK"}, {dialog.BitBtn2, "BitBtn2", "Avbryt"},
    };
    for (const auto &b : buttons) {
        EXPECT_EQ(b.button->objectName(), b.name);
        EXPECT_EQ(b.button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(dialog.findChild<QPushButton *>(b.name), b.button);
    }
    EXPECT_TRUE(dialog.BitBtn1->isDefault());
    EXPECT_EQ(dialog.Label1->text(), "Befintliga DataProviders");
    EXPECT_EQ(dialog.findChild<QListWidget *>("ListBox1"), dialog.ListBox1);
    EXPECT_EQ(dialog.ListBox1->font().pixelSize(), 13);
}

TEST_F(DataProvidersDialog, AnEmptyFolderAnswersEveryRowButtonWithTheInformation)
{
    auto dialog = shownDialog();
    EXPECT_EQ(dialog->ListBox1->count(), 0);
    for (QPushButton *button : {dialog->BitBtn1, dialog->BitBtn3, dialog->BitBtn5, dialog->BitBtn6}) {
        presenter.clear();
        dialog->BitBtn4->setFocus();
        button->click();
        ASSERT_EQ(presenter.boxes().size(), 1) << qPrintable(button->objectName());
        EXPECT_EQ(presenter.boxes().at(0).text, RowCheckText);
        EXPECT_EQ(presenter.boxes().at(0).kind, platform::BoxKind::Information);
        EXPECT_EQ(dialog->focusWidget(), dialog->ListBox1) << qPrintable(button->objectName());
        EXPECT_TRUE(dialog->isVisible());
    }
    presenter.clear();
    dialog->BitBtn4->click(); // the prompt is cancelled
    EXPECT_EQ(prompter.prompts().size(), 1);
    EXPECT_TRUE(presenter.boxes().isEmpty());
    dialog->BitBtn2->click();
    EXPECT_EQ(dialog->result(), suite::ResultCancel);
    EXPECT_TRUE(presenter.boxes().isEmpty());
    EXPECT_FALSE(editor.opened(200));
}

TEST_F(DataProvidersDialog, ListsTheFolderAndSelectsTheDefault)
{
    for (const char *name : {"b.udl", "A.udl", "c.UDL"})
        addLink(name);
    testenv::writeFile(links + "readme.txt", "");
    setDefault("B.UDL");
    auto dialog = shownDialog();
    EXPECT_EQ(rowsOf(*dialog->ListBox1), QStringList({"A.udl", "b.udl", "c.UDL"}));
    EXPECT_EQ(dialog->ListBox1->currentRow(), 1);
    EXPECT_EQ(dialog->providers().selectedName(), "b.udl");
    EXPECT_GT(pixelsOf(*dialog, 1, Green), 0);
    EXPECT_EQ(pixelsOf(*dialog, 0, Green), 0);
}

TEST_F(DataProvidersDialog, ADefaultThatNamesNoFileMarksAndSelectsNothing)
{
    addLink("a.udl");
    addLink("b.udl");
    setDefault("gone.udl");
    auto dialog = shownDialog();
    EXPECT_EQ(dialog->ListBox1->currentRow(), -1);
    EXPECT_TRUE(dialog->ListBox1->selectedItems().isEmpty());
    for (int row = 0; row < 2; ++row) {
        EXPECT_FALSE(dialog->providers().isDefaultRow(row));
        EXPECT_EQ(pixelsOf(*dialog, row, Green), 0);
    }
}

TEST_F(DataProvidersDialog, ADefaultStoredAsAFullPathMarksItsRow)
{
    addLink("a.udl");
    addLink("Praktik.udl");
    setDefault("/srv/elsewhere/PRAKTIK.udl");
    auto dialog = shownDialog();
    EXPECT_EQ(dialog->providers().selectedName(), "Praktik.udl");
    EXPECT_TRUE(dialog->providers().isDefaultRow(1));
    EXPECT_FALSE(dialog->providers().isDefaultRow(0));
}

TEST_F(DataProvidersDialog, ChoosingTheDefaultMarksTheNewRowAtOnceAndTheOldOneNoLonger)
{
    addLink("a.udl");
    addLink("b.udl");
    setDefault("a.udl");
    auto dialog = shownDialog();
    ASSERT_GT(pixelsOf(*dialog, 0, Green), 0);
    dialog->ListBox1->setCurrentRow(1);
    dialog->BitBtn3->click();
    EXPECT_EQ(suite::ReadSuiteSetting("DataProvider", "DefaultDataProvider"), "b.udl");
    EXPECT_EQ(pixelsOf(*dialog, 0, Green), 0);
    EXPECT_GT(pixelsOf(*dialog, 1, Green), 0);
    EXPECT_EQ(dialog->ListBox1->currentRow(), 1) << "choosing the default does not rebuild the list";
}

TEST(DataProviderRows, ColoursOfTheRows)
{
    QPalette palette;
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    const struct
    {
        bool isDefault, selected;
        QColor text, background;
    } cases[] = {
        {true, true, QColor(0, 128, 0), QColor(192, 192, 192)},
        {true, false, QColor(0, 128, 0), QColor(255, 255, 255)},
        {false, true, Qt::white, QColor(192, 192, 192)},
        {false, false, Qt::black, QColor(255, 255, 255)},
    };
    for (const auto &c : cases) {
        const suite::RowColours colours = suite::rowColours(c.isDefault, c.selected, palette);
        EXPECT_EQ(colours.text, c.text) << c.isDefault << c.selected;
        EXPECT_EQ(colours.background, c.background) << c.isDefault << c.selected;
    }
}

TEST_F(DataProvidersDialog, SelectedRowsAreSilverAndOthersWhite)
{
    addLink("a.udl");
    addLink("b.udl");
    auto dialog = shownDialog();
    dialog->ListBox1->setCurrentRow(0);
    EXPECT_GT(pixelsOf(*dialog, 0, QColor(192, 192, 192)), 100);
    EXPECT_EQ(pixelsOf(*dialog, 1, QColor(192, 192, 192)), 0);
    EXPECT_GT(pixelsOf(*dialog, 1, QColor(255, 255, 255)), 100);
    EXPECT_EQ(dialog->ListBox1->visualItemRect(dialog->ListBox1->item(0)).height(), 17);
}

TEST_F(DataProvidersDialog, AnEmptyNameMakesTheFileDotUdlAndOpensIt)
{
    auto dialog = shownDialog();
    prompter.answer(QString());
    dialog->BitBtn4->click();
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.prompts().at(0).caption, "Ny DataProvider");
    EXPECT_EQ(prompter.prompts().at(0).label, "DataProviderns namn:");
    EXPECT_EQ(prompter.prompts().at(0).initialText, "");
    const QFileInfo made(links + ".udl");
    ASSERT_TRUE(made.isFile());
    EXPECT_EQ(made.size(), 0);
    EXPECT_EQ(rowsOf(*dialog->ListBox1), QStringList{".udl"});
    EXPECT_EQ(dialog->ListBox1->currentRow(), 0);
    const auto opened = editor.opened();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->file, links + ".udl");
    EXPECT_EQ(opened->workingDirectory + "/", QFileInfo(links).canonicalFilePath() + "/");
}

TEST_F(DataProvidersDialog, AddingMakesTheFolderWhenItIsMissing)
{
    ASSERT_TRUE(QDir(links).removeRecursively());
    auto dialog = shownDialog();
    prompter.answer("Ny praktik");
    dialog->BitBtn4->click();
    EXPECT_TRUE(QFileInfo(links + "Ny praktik.udl").isFile());
    EXPECT_EQ(dialog->providers().selectedName(), "Ny praktik.udl");
    ASSERT_TRUE(editor.opened());
}

TEST_F(DataProvidersDialog, AddingTheNameOfAnExistingDataLinkOpensItUnchanged)
{
    addLink("Praktik.udl", "SQLite;Data Source=/srv/praktik.db");
    const QByteArray before = testenv::readFile(links + "Praktik.udl");
    auto dialog = shownDialog();
    prompter.answer("praktik");
    dialog->BitBtn4->click();
    // The folder compares names by case: "praktik.udl" is a new file beside "Praktik.udl".
    EXPECT_EQ(testenv::readFile(links + "Praktik.udl"), before);
    ASSERT_TRUE(editor.opened());
    prompter.answer("Praktik");
    dialog->BitBtn4->click();
    EXPECT_EQ(testenv::readFile(links + "Praktik.udl"), before);
    const auto opened = editor.opened();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->file, links + "Praktik.udl");
    EXPECT_EQ(dialog->providers().selectedName(), "Praktik.udl");
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_F(DataProvidersDialog, NamesThatWouldLeaveTheFolderAreRefused)
{
    auto dialog = shownDialog();
    for (const QString &name : {QString("../escape"), QString("a/b"), QString("."), QString(".."),
                                QString("nul") + QChar(0) + "x"}) {
        presenter.clear();
        prompter.answer(name);
        dialog->BitBtn4->click();
        ASSERT_EQ(presenter.boxes().size(), 1) << qPrintable(name);
        EXPECT_TRUE(presenter.boxes().at(0).text.contains("\"/\"")) << qPrintable(presenter.boxes().at(0).text);
    }
    EXPECT_TRUE(QDir(links).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(links).dir().filePath("escape.udl")));
    EXPECT_FALSE(editor.opened(200));
}

TEST_F(DataProvidersDialog, ANameTooLongToSaveIsRefusedWithTheReason)
{
    auto dialog = shownDialog();
    // 252 bytes: NAME.udl would pass the 255 bytes of a file name.
    prompter.answer(QString(126, u'å'));
    dialog->BitBtn4->click();
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes().at(0).text.contains("för långt")) << qPrintable(presenter.boxes().at(0).text);
    EXPECT_TRUE(QDir(links).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_FALSE(editor.opened(200));
}

TEST_F(DataProvidersDialog, AFileThatCannotBeMadeIsReportedAndNotOpened)
{
    ASSERT_TRUE(QDir(links).removeRecursively());
    testenv::writeFile(links.chopped(1), "a file where the folder belongs");
    auto dialog = shownDialog();
    prompter.answer("ny");
    dialog->BitBtn4->click();
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes().at(0).text.startsWith("Det gick inte att skapa DataProvider-filen "))
        << qPrintable(presenter.boxes().at(0).text);
    EXPECT_FALSE(editor.opened(200));
}

TEST_F(DataProvidersDialog, EditOpensTheSelectedFileAndSoDoesADoubleClick)
{
    addLink("a.udl");
    addLink("b.udl");
    auto dialog = shownDialog();
    dialog->ListBox1->setCurrentRow(1);
    dialog->BitBtn5->click();
    auto opened = editor.opened();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->file, links + "b.udl");
    dialog->ListBox1->setCurrentRow(0);
    emit dialog->ListBox1->itemDoubleClicked(dialog->ListBox1->item(0));
    opened = editor.opened();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->file, links + "a.udl");
    EXPECT_EQ(dialog->ListBox1->count(), 2);
}

TEST_F(DataProvidersDialog, DeleteAsksAndDeletesOnlyOnYes)
{
    addLink("a.udl");
    addLink("b.udl");
    auto dialog = shownDialog();
    dialog->ListBox1->setCurrentRow(1);
    presenter.answer(suite::ResultNo);
    dialog->BitBtn6->click();
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes().at(0).kind, platform::BoxKind::Confirmation);
    EXPECT_EQ(presenter.boxes().at(0).text, "Radera DataProvider-filen b.udl");
    EXPECT_TRUE(QFileInfo::exists(links + "b.udl"));
    EXPECT_EQ(dialog->ListBox1->currentRow(), 1);

    presenter.answer(suite::ResultYes);
    dialog->BitBtn6->click();
    EXPECT_FALSE(QFileInfo::exists(links + "b.udl"));
    EXPECT_EQ(rowsOf(*dialog->ListBox1), QStringList{"a.udl"});
    EXPECT_EQ(dialog->ListBox1->currentRow(), -1);
}

// Clicks a button of the modal dialog once it runs.
void clickInModalDialog(const char *buttonName, const std::function<void(suite::TfrmDataProviders &)> &before = {})
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<suite::TfrmDataProviders *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        if (before)
            before(*dialog);
        dialog->findChild<QPushButton *>(buttonName)->click();
    });
}

TEST_F(DataProvidersDialog, OkEmptiesTheConnectionStringAndSelectReturnsTheRow)
{
    addLink("a.udl");
    addLink("b.udl");
    suite::SetDefaultDataProviderFile(links + "a.udl");
    suite::SetDefaultConnectionString("Provider=SQLite;Data Source=/x.db");
    clickInModalDialog("BitBtn1", [](suite::TfrmDataProviders &dialog) {
        EXPECT_EQ(dialog.IniTextPosision, "DefaultDataProvider");
        dialog.ListBox1->setCurrentRow(1);
    });
    EXPECT_EQ(suite::SelectDataProvider("DefaultDataProvider"), "b.udl");
    EXPECT_EQ(suite::DefaultConnectionString(), "");
}

TEST_F(DataProvidersDialog, CancelReturnsThePreviousFileNameAndChangesNothing)
{
    addLink("a.udl");
    addLink("b.udl");
    suite::SetDefaultDataProviderFile(links + "a.udl");
    suite::SetDefaultConnectionString("Provider=SQLite;Data Source=/x.db");
    clickInModalDialog("BitBtn2", [](suite::TfrmDataProviders &dialog) { dialog.ListBox1->setCurrentRow(1); });
    EXPECT_EQ(suite::SelectDataProvider("DefaultDataProvider"), "a.udl");
    EXPECT_EQ(suite::DefaultConnectionString(), "Provider=SQLite;Data Source=/x.db");
}

TEST_F(DataProvidersDialog, OkWithoutARowKeepsTheDialogOpen)
{
    suite::SetDefaultDataProviderFile(links + "ERROR");
    clickInModalDialog("BitBtn1", [](suite::TfrmDataProviders &dialog) {
        QTimer::singleShot(0, &dialog, [&dialog] {
            EXPECT_TRUE(dialog.isVisible());
            dialog.reject();
        });
    });
    EXPECT_EQ(suite::SelectDataProvider("DefaultDataProvider"), "ERROR");
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes().at(0).text, RowCheckText);
}

// Enter on a focused push button presses that button; from the list it reaches "OK".
TEST_F(DataProvidersDialog, EnterPressesTheFocusedButtonOrElseOk)
{
    addLink("a.udl");
    setDefault("a.udl");
    for (const bool onCancel : {true, false}) {
        auto dialog = shownDialog();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QWidget *focus = onCancel ? static_cast<QWidget *>(dialog->BitBtn2) : dialog->ListBox1;
        focus->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), onCancel ? suite::ResultCancel : suite::ResultOk) << onCancel;
    }
}

// The list is narrow: each row shows its whole name as a tooltip.
TEST_F(DataProvidersDialog, EveryRowShowsItsWholeNameAsATooltip)
{
    const QString longName = "Praktikdatabasen för Vårdcentralen Norra Stadsdelen (ODBC).udl";
    addLink(longName);
    addLink("a.udl");
    auto dialog = shownDialog();
    QListWidget &list = *dialog->ListBox1;
    ASSERT_EQ(rowsOf(list), QStringList({"a.udl", longName}));
    ASSERT_GT(list.fontMetrics().horizontalAdvance(longName), list.viewport()->width()) << "the name fits anyway";
    for (int row = 0; row < list.count(); ++row)
        EXPECT_EQ(list.model()->index(row, 0).data(Qt::ToolTipRole).toString(), rowsOf(list).at(row));
}

// Under a custom style the dialog gets 10 pixels more than the width its layout needs.
TEST_F(DataProvidersDialog, ACustomStyleWidensTheLaidOutDialogByTen)
{
    ASSERT_TRUE(platform::useVisualStyle("Fusion"));
    auto dialog = shownDialog();
    const int laidOut = std::max(209, dialog->layout()->totalMinimumSize().width());
    ASSERT_GT(laidOut, 209 + 10) << "the layout no longer decides the width";
    EXPECT_EQ(dialog->width(), laidOut + 10);
}

} // namespace
