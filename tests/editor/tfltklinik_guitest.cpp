// The organisation editor driven through its controls against real practice databases.
#include "editor/widgets/tfltklinik.h"

#include "../platform/test_certificates.h"
#include "components/tdrawpanel.h"

#include "platform/testing/recording_presenter.h"
#include "suite/data_link_file.h"
#include "suite/dialogs.h"
#include "suite/paths.h"
#include "suite/registry.h"
#include "refused_writes.h"
#include "test_env.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString SlotKey = QStringLiteral("SOFTWARE\\Tellvara\\Vardo-Service\\Organisation\\OrgNr");

// A SQLite practice database with TRKLINIK(ORGNR) holding the rows given, or without
// the table when rows is nothing.
void makeSqliteDatabase(const QString &path, const std::optional<QStringList> &rows)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fixture");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery query(db);
        if (rows) {
            ASSERT_TRUE(query.exec("CREATE TABLE TRKLINIK (ORGNR VARCHAR(20), NAMN VARCHAR(40))"));
            for (const QString &row : *rows) {
                query.prepare("INSERT INTO TRKLINIK (ORGNR, NAMN) VALUES (?, 'x')");
                query.addBindValue(row);
                ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
            }
        } else {
            ASSERT_TRUE(query.exec("CREATE TABLE OTHER (A INTEGER)"));
        }
    }
    QSqlDatabase::removeDatabase("fixture");
}

class OrganisationEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite::InitPaths({QStringLiteral("vardo-admin")});
        ASSERT_TRUE(QDir().mkpath(suite::DataLinkPath()));
        qputenv("TELLVARA_TRUST_BUNDLE", ""); // only the certificates a test makes
    }

    // A data link in the data-link folder that reaches a SQLite database.
    QString sqliteDataLink(const QString &name, const std::optional<QStringList> &rows)
    {
        const QString database = testenv::root() + "/" + name + ".db";
        makeSqliteDatabase(database, rows);
        const QString link = suite::DataLinkPath() + name + ".udl";
        suite::WriteDataLinkFile(link, "Provider=SQLite;Data Source=" + database);
        return link;
    }

    editor::TFLTKlinik &dialog()
    {
        if (!m_dialog) {
            m_dialog = std::make_unique<editor::TFLTKlinik>();
            m_dialog->Edit1->setText("3");
        }
        return *m_dialog;
    }

    void open(const QString &dataLinkText)
    {
        dialog().ComboBox1->setEditText(dataLinkText);
        dialog().BitBtn1->click();
    }

    QStringList organisationEntries()
    {
        QStringList entries;
        for (int i = 0; i < dialog().OrganisationsNrComboBox->count(); ++i)
            entries.append(dialog().OrganisationsNrComboBox->itemText(i));
        return entries;
    }

    QStringList boxTexts() const
    {
        QStringList texts;
        for (const platform::MessageBox &box : presenter.boxes())
            texts.append(box.text);
        return texts;
    }

    QString stored(const QString &subKey, const QString &name)
    {
        return suite::ReadRegistryString(suite::RegistryRoot::LocalMachine, SlotKey + "3" + subKey, name);
    }

    platform::testing::RecordingPresenter presenter;
    std::unique_ptr<editor::TFLTKlinik> m_dialog;
};

TEST_F(OrganisationEditorTest, LayoutNamesAndStartState)
{
    sqliteDataLink("Beta", QStringList{"1"});
    sqliteDataLink("Alfa", QStringList{"1"});
    editor::TFLTKlinik &d = dialog();
    EXPECT_EQ(d.windowTitle(), "Lägg till/redigera Organisationer");
    EXPECT_EQ(d.size(), QSize(480, 224));
    EXPECT_EQ(d.btnSpara->text(), "Spara");
    EXPECT_EQ(d.btnSpara->toolTip(), "Sparar inmatade uppgifter till registret");
    EXPECT_EQ(d.btnCancel->text(), "Ångra");
    EXPECT_EQ(d.btnCancel->toolTip(), "Ångrar alla inmatade uppgifter");
    EXPECT_EQ(d.BitBtn1->text(), "Öppna");
    EXPECT_TRUE(d.BitBtn1->isDefault());
    EXPECT_EQ(d.GroupBox1->title(), "Organisationens egenskaper");
    EXPECT_EQ(d.CheckBox1->text(), "Använd Extern import av patienter");
    EXPECT_EQ(d.cmbLicensList->width(), 463);
    EXPECT_FALSE(d.Edit1->isEnabled());
    EXPECT_TRUE(d.Edit1->isReadOnly());
    EXPECT_FALSE(d.isConnected());
    EXPECT_EQ(d.pnlProperties->geometry(), d.Panel2->geometry());
    // The data links of the folder, by name, and no text.
    ASSERT_EQ(d.ComboBox1->count(), 2);
    EXPECT_EQ(d.ComboBox1->itemText(0), "Alfa.udl");
    EXPECT_EQ(d.ComboBox1->itemText(1), "Beta.udl");
    EXPECT_EQ(d.ComboBox1->currentText(), "");
    for (const char *name : {"DrawPanel3", "btnSpara", "btnCancel", "GroupBox1", "Panel1", "Edit1", "ComboBox1",
                             "BitBtn1", "Panel2", "OrganisationsNrComboBox", "CheckBox1", "cmbLicensList",
                             "pnlProperties"})
        EXPECT_NE(d.findChild<QWidget *>(name), nullptr) << name;
}

// A dialog of fixed size: under a window manager a title and a close button only.
TEST_F(OrganisationEditorTest, TheFrameOffersClosingOnly)
{
    const Qt::WindowFlags flags = dialog().windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)) << "without it the window manager adds its own buttons";
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

// The certificate list opens wide enough for whole lines, dates and names included.
TEST_F(OrganisationEditorTest, TheCertificateListShowsWholeLines)
{
    certtest::CertificateRecipe wide = certtest::named(0x0A, "Vårdcentralen Norra Stadsdelen, klientcertifikat 2031");
    wide.serial = QByteArray::fromHex("00C3A1B2C3D4E5F60718293A4B5C6D7E8F901A2B");
    certtest::putFile("MY", "a.pem", certtest::pem(certtest::named(0x05, "Kort")) + certtest::pem(wide));
    sqliteDataLink("Praktik", QStringList{"111"});
    dialog().show();
    open("Praktik.udl");
    QComboBox *combo = dialog().cmbLicensList;
    ASSERT_EQ(combo->count(), 2);
    const QString longest = combo->itemText(1);
    ASSERT_GT(combo->fontMetrics().horizontalAdvance(longest), combo->width()) << "the line fits the box anyway";
    combo->showPopup();
    QApplication::processEvents();
    QAbstractItemView *list = combo->view();
    EXPECT_GE(list->viewport()->width(), list->fontMetrics().horizontalAdvance(longest)) << longest.toStdString();
    EXPECT_LE(list->window()->geometry().right(), list->screen()->geometry().right());
    combo->hidePopup();
}

TEST_F(OrganisationEditorTest, OppnaListsTheDistinctOrganisationNumbersAndKeepsTheTypedOne)
{
    const QString link = sqliteDataLink("Praktik", QStringList{"5561234567", "5569876543", "5561234567", " ", ""});
    dialog().OrganisationsNrComboBox->setEditText("5569876543");
    open("Praktik.udl");
    EXPECT_TRUE(boxTexts().isEmpty()) << boxTexts().join('|').toStdString();
    QStringList entries = organisationEntries();
    entries.sort();
    EXPECT_EQ(entries, QStringList({"5561234567", "5569876543"}));
    EXPECT_EQ(dialog().OrganisationsNrComboBox->currentText(), "5569876543");
    EXPECT_TRUE(dialog().isConnected());
    EXPECT_FALSE(dialog().BitBtn1->isEnabled());
    EXPECT_EQ(suite::DefaultDataProviderFile(), link);
    EXPECT_EQ(suite::DefaultConnectionString(), "Provider=SQLite;Data Source=" + testenv::root() + "/Praktik.db");

    EXPECT_TRUE(dialog().OrganisationsNrComboBox->isEnabled());

    // Changing the data link leaves the connected state; the covered fields take no keys.
    dialog().ComboBox1->lineEdit()->setText("x");
    emit dialog().ComboBox1->lineEdit()->textEdited("x");
    EXPECT_FALSE(dialog().isConnected());
    EXPECT_TRUE(dialog().BitBtn1->isEnabled());
    for (QWidget *covered : {static_cast<QWidget *>(dialog().OrganisationsNrComboBox),
                             static_cast<QWidget *>(dialog().CheckBox1), static_cast<QWidget *>(dialog().cmbLicensList)})
        EXPECT_FALSE(covered->isEnabled()) << covered->objectName().toStdString();
}

// A combo box's list is a window of its own; closing it does not re-activate the dialog.
TEST_F(OrganisationEditorTest, PickingFromAListKeepsTheConnectedState)
{
    sqliteDataLink("Praktik", QStringList{"111", "222"});
    dialog().show();
    QApplication::processEvents();
    open("Praktik.udl");
    ASSERT_TRUE(dialog().isConnected());
    for (QComboBox *combo : {dialog().OrganisationsNrComboBox, dialog().cmbLicensList}) {
        combo->showPopup();
        QApplication::processEvents();
        combo->hidePopup();
        QApplication::processEvents();
        EXPECT_TRUE(dialog().isConnected()) << combo->objectName().toStdString();
    }
}

TEST_F(OrganisationEditorTest, AFullPathAsWhenEditingIsUsedAsItStands)
{
    const QString link = sqliteDataLink("Full", QStringList{"111"});
    open(link);
    EXPECT_EQ(organisationEntries(), QStringList{"111"});
    EXPECT_EQ(suite::DefaultDataProviderFile(), link);
}

TEST_F(OrganisationEditorTest, NoRowsLeaveOneEmptyEntryAndTheTypedText)
{
    sqliteDataLink("Tom", QStringList{" "});
    dialog().OrganisationsNrComboBox->setEditText("typed");
    open("Tom.udl");
    EXPECT_EQ(organisationEntries(), QStringList{""});
    EXPECT_EQ(dialog().OrganisationsNrComboBox->currentText(), "typed");
    EXPECT_TRUE(dialog().isConnected());
}

TEST_F(OrganisationEditorTest, AMissingTableNamesTheTableAndStillConnects)
{
    sqliteDataLink("Utan", std::nullopt);
    open("Utan.udl");
    ASSERT_EQ(presenter.boxes().size(), 1) << boxTexts().join('|').toStdString();
    const QString text = presenter.boxes().first().text;
    EXPECT_TRUE(text.startsWith("Det gick inte att öppna tabellen TRKLINIK!\r\r")) << text.toStdString();
    EXPECT_TRUE(text.contains("TRKLINIK", Qt::CaseInsensitive));
    EXPECT_GT(text.size(), QString("Det gick inte att öppna tabellen TRKLINIK!\r\r").size());
    EXPECT_TRUE(organisationEntries().isEmpty());
    EXPECT_TRUE(dialog().isConnected());
}

TEST_F(OrganisationEditorTest, ADatabaseThatCannotBeOpenedIsReportedAndTheValuesStayReplaced)
{
    const QString link = suite::DataLinkPath() + "Borta.udl";
    suite::WriteDataLinkFile(link, "Provider=SQLite;Data Source=" + testenv::root() + "/no-such.db");
    open("Borta.udl");
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes().first().text.startsWith("Det gick inte att öppna databasanslutningen!\r\r"))
        << presenter.boxes().first().text.toStdString();
    EXPECT_FALSE(QFile::exists(testenv::root() + "/no-such.db")) << "opening must never create a database";
    EXPECT_FALSE(dialog().isConnected());
    EXPECT_TRUE(dialog().BitBtn1->isEnabled());
    EXPECT_EQ(suite::DefaultDataProviderFile(), link);
    EXPECT_TRUE(suite::DefaultConnectionString().contains("no-such.db"));
}

// A data link that names no file opens the data providers dialog; here the user picks a
// row and presses OK, or cancels, which opens the previous default data link.
TEST_F(OrganisationEditorTest, AnUnknownDataLinkOpensTheDataProvidersDialog)
{
    sqliteDataLink("Vald", QStringList{"222"});
    const QString previous = sqliteDataLink("Tidigare", QStringList{"333"});
    suite::SetDefaultDataProviderFile(previous);

    const struct
    {
        bool ok;
        QString entry;
        QString name;
    } cases[] = {{true, "222", "Vald.udl"}, {false, "333", "Tidigare.udl"}};
    for (const auto &c : cases) {
        suite::SetDefaultDataProviderFile(previous);
        presenter.clear();
        m_dialog.reset();
        dialog().show();
        bool seen = false;
        QTimer::singleShot(200, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            seen = modal && modal->inherits("suite::TfrmDataProviders");
            if (!modal)
                return;
            if (c.ok) {
                if (auto *list = modal->findChild<QListWidget *>("ListBox1"))
                    list->setCurrentRow(1); // "Vald.udl"
                modal->findChild<QPushButton *>("BitBtn1")->click();
            } else {
                modal->findChild<QPushButton *>("BitBtn2")->click();
            }
        });
        open("finns-inte.udl");
        EXPECT_TRUE(seen);
        EXPECT_EQ(organisationEntries(), QStringList{c.entry}) << boxTexts().join('|').toStdString();
        EXPECT_EQ(dialog().ComboBox1->count(), 2); // the links were listed again
        EXPECT_EQ(dialog().ComboBox1->currentText(), c.name); // and the one opened is shown
        EXPECT_TRUE(dialog().isConnected());
        dialog().btnSpara->click();
        EXPECT_EQ(stored("\\DataProvider", "DefaultDataProvider"), suite::DataLinkPath() + c.name);
    }
}

// Only a changed data link covers the organisation again: leaving the box that shows the
// link just opened (a name in its list) changes nothing, however it got there.
TEST_F(OrganisationEditorTest, LeavingTheDataLinkBoxUnchangedKeepsTheOrganisation)
{
    sqliteDataLink("Vald", QStringList{"222"});
    sqliteDataLink("Tidigare", QStringList{"333"});
    suite::SetDefaultDataProviderFile(suite::DataLinkPath() + "Tidigare.udl");
    dialog().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog()));
    const auto leaveTheBox = [this] {
        dialog().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog()));
        dialog().ComboBox1->setFocus(Qt::TabFocusReason);
        dialog().OrganisationsNrComboBox->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    };

    // Typed, unknown, so chosen through the data providers dialog (cancelled: the
    // previous link opens).
    QTimer::singleShot(200, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->findChild<QPushButton *>("BitBtn2")->click();
    });
    dialog().ComboBox1->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(dialog().ComboBox1->lineEdit(), "finns-inte");
    QTest::keyClick(dialog().ComboBox1->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(dialog().isConnected());
    ASSERT_EQ(dialog().ComboBox1->currentText(), "Tidigare.udl");
    leaveTheBox();
    EXPECT_TRUE(dialog().isConnected()) << "after the data providers dialog";

    // Typed in full and opened with Enter.
    dialog().ComboBox1->setFocus(Qt::TabFocusReason);
    dialog().ComboBox1->lineEdit()->selectAll();
    QTest::keyClicks(dialog().ComboBox1->lineEdit(), "Vald.udl");
    EXPECT_FALSE(dialog().isConnected()) << "typing is a change";
    QTest::keyClick(dialog().ComboBox1->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(dialog().isConnected());
    leaveTheBox();
    EXPECT_TRUE(dialog().isConnected()) << "after typing and Enter";

    // Picking another link from the list is a change.
    dialog().ComboBox1->setCurrentIndex(dialog().ComboBox1->findText("Tidigare.udl"));
    EXPECT_FALSE(dialog().isConnected());
}

TEST_F(OrganisationEditorTest, SparaWritesTheFourValues)
{
    const QString link = sqliteDataLink("Praktik", QStringList{"5561234567"});
    open("Praktik.udl");
    dialog().OrganisationsNrComboBox->setEditText("5561234567");
    dialog().CheckBox1->setChecked(true);
    dialog().cmbLicensList->setEditText("MY 0A1B2C - 2030-01-01, Vårdcentralen");
    dialog().btnSpara->click();
    EXPECT_EQ(dialog().result(), suite::ResultOk);
    EXPECT_EQ(stored("", "OrganisationsNr"), "5561234567");
    EXPECT_EQ(stored("", "CheckPasis"), "1");
    EXPECT_EQ(stored("\\Certifikat\\", "DefaultVardoCertificate"), "0A1B2C");
    EXPECT_EQ(stored("\\DataProvider\\", "DefaultDataProvider"), link);
}

// An account outside the store's group: the refusal is shown with how the right is had,
// the dialog stays open for another try, and the slot keeps what it held.
TEST_F(OrganisationEditorTest, ARefusedSparaIsShownAndTheDialogStaysOpen)
{
    ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, SlotKey + "3", "OrganisationsNr", "1111"));
    dialog().show();
    dialog().OrganisationsNrComboBox->setEditText("5561234567");
    const testenv::RefusedMachineWrites refused;
    refused.run([&] { dialog().btnSpara->click(); });
    ASSERT_EQ(presenter.boxes().size(), 1) << boxTexts().join('|').toStdString();
    EXPECT_EQ(presenter.boxes().first().kind, platform::BoxKind::Error);
    EXPECT_TRUE(presenter.boxes().first().text.contains(suite::MachineWriteRightsHint)) << boxTexts().join('|').toStdString();
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_NE(dialog().result(), suite::ResultOk);
    EXPECT_EQ(stored("", "OrganisationsNr"), "1111");
    EXPECT_EQ(stored("", "CheckPasis"), "");
}

TEST_F(OrganisationEditorTest, SparaTakesTheSerialOutOfTheCertificateText)
{
    const struct
    {
        const char *text;
        const char *serial;
    } cases[] = {
        {"ROOT 0081 - 2031-12-31, Rot - CA", "0081"},     // a catalogue line
        {"0A1B2C", "0A1B2C"},                            // no blank: as it stands
        {"MY   0A1B2C   ", "0A1B2C"},                    // a blank but no " - "
    };
    for (const auto &c : cases) {
        m_dialog.reset();
        dialog().cmbLicensList->setEditText(QString::fromUtf8(c.text));
        dialog().btnSpara->click();
        EXPECT_EQ(stored("\\Certifikat", "DefaultVardoCertificate"), c.serial) << c.text;
    }
    // Without "Öppna" and with no default configured: an empty number, the flag, no data link.
    EXPECT_EQ(stored("", "OrganisationsNr"), "");
    EXPECT_EQ(stored("", "CheckPasis"), "0");
    EXPECT_EQ(stored("\\DataProvider", "DefaultDataProvider"), "");
}

// "Spara" stores the data link the box shows, never the one opened last elsewhere in the
// program (here by another dialog).
TEST_F(OrganisationEditorTest, SparaStoresTheDataLinkTheBoxShows)
{
    const QString own = sqliteDataLink("Egen", QStringList{"111"});
    const QString elsewhere = sqliteDataLink("Annan", QStringList{"222"});
    const QString configured = sqliteDataLink("Standard", QStringList{"333"});
    suite::WriteSuiteSetting("DataProvider", "DefaultDataProvider", "Standard.udl");
    const struct
    {
        QString shown;
        QString stored;
    } cases[] = {
        {own, own},                               // editing, not reopened: the slot's own
        {"Egen.udl", own},                        // a name in the data-link folder
        {"/borta/Borta.udl", "/borta/Borta.udl"}, // a slot's own link that has gone
        {"", configured},                         // adding without a choice: the configured default
    };
    for (const auto &c : cases) {
        suite::SetDefaultDataProviderFile(elsewhere);
        m_dialog.reset();
        dialog().ComboBox1->setEditText(c.shown);
        dialog().btnSpara->click();
        EXPECT_EQ(stored("\\DataProvider", "DefaultDataProvider"), c.stored) << c.shown.toStdString();
    }
    // Opened in this dialog, then saved: the one opened, whatever was opened before.
    suite::SetDefaultDataProviderFile(elsewhere);
    m_dialog.reset();
    open("Egen.udl");
    ASSERT_TRUE(dialog().isConnected());
    dialog().btnSpara->click();
    EXPECT_EQ(stored("\\DataProvider", "DefaultDataProvider"), own);
}

// Enter on a focused push button presses that button; from a box it reaches the default
// button, "Öppna".
TEST_F(OrganisationEditorTest, EnterPressesTheFocusedButtonOrElseOppna)
{
    sqliteDataLink("Praktik", QStringList{"5561234567"});
    const auto shown = [this] {
        m_dialog.reset();
        dialog().show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog()));
        dialog().ComboBox1->setEditText("Praktik.udl");
    };
    const auto enterOn = [](QWidget *widget, Qt::Key key) {
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), key);
    };

    shown();
    enterOn(dialog().ComboBox1, Qt::Key_Return);
    ASSERT_TRUE(dialog().isConnected()) << "Enter in the data-link box opens it";
    dialog().OrganisationsNrComboBox->setEditText("5561234567");
    enterOn(dialog().OrganisationsNrComboBox, Qt::Key_Return); // the default button is disabled now
    EXPECT_TRUE(dialog().isVisible());
    enterOn(dialog().btnSpara, Qt::Key_Return);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(dialog().result(), suite::ResultOk);
    EXPECT_EQ(stored("", "OrganisationsNr"), "5561234567");

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        shown();
        enterOn(dialog().btnCancel, key);
        EXPECT_FALSE(dialog().isConnected()) << "Enter on Ångra opened the data link";
        EXPECT_FALSE(dialog().isVisible());
        EXPECT_EQ(dialog().result(), suite::ResultCancel);
    }

    // Back in a box after a button had the focus, Enter reaches "Öppna" again.
    shown();
    enterOn(dialog().btnCancel, Qt::Key_Tab);
    enterOn(dialog().ComboBox1, Qt::Key_Return);
    EXPECT_TRUE(dialog().isConnected());
    EXPECT_TRUE(dialog().isVisible());
}

TEST_F(OrganisationEditorTest, AngraAndEscapeCancel)
{
    dialog().show();
    dialog().btnCancel->click();
    EXPECT_EQ(dialog().result(), suite::ResultCancel);
    m_dialog.reset();
    dialog().show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog(), &escape);
    EXPECT_EQ(dialog().result(), suite::ResultCancel);
    EXPECT_EQ(stored("", "OrganisationsNr"), "");
}

} // namespace
