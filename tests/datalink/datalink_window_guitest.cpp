#include "datalink/ui/datalink_window.h"

#include "platform/testing/recording_presenter.h"
#include "qstring_printer.h"
#include "sqlite_file.h"
#include "suite/data_link_file.h"
#include "suite/ini_reader.h"
#include "suite/paths.h"
#include "test_env.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <utility>

#include <gtest/gtest.h>

namespace {

using datalink::DataLinkEditor;
using datalink::DataLinkWindow;
using datalink::ProviderKind;

void chooseKind(DataLinkWindow &window, ProviderKind kind)
{
    window.cbProvider->setCurrentIndex(window.cbProvider->findData(static_cast<int>(kind)));
}

// Waits, with the event loop running, until the test has reported.
QString testResult(DataLinkWindow &window)
{
    const QDeadlineTimer deadline(20000);
    while (!window.btnTest->isEnabled() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return window.lblTestResult->text();
}

class DataLinkWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = testenv::freshDir("links");
        path = folder + "/Praktik.udl";
    }

    QString folder;
    QString path;
    platform::testing::RecordingPresenter presenter;
};

TEST_F(DataLinkWindowTest, ShowsTheFieldsOfTheFileAndOnlyThoseOfItsKind)
{
    suite::WriteDataLinkFile(path, "Provider=SQLOLEDB.1;Data Source=db,1433;Initial Catalog=Vardo;User ID=sa");
    DataLinkEditor editor(path);
    DataLinkWindow window(editor);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Datalänk - Praktik.udl");
    EXPECT_EQ(window.cbProvider->currentData().toInt(), static_cast<int>(ProviderKind::SqlServer));
    EXPECT_EQ(window.edDataSource->text(), "db,1433");
    EXPECT_EQ(window.edDatabase->text(), "Vardo");
    EXPECT_EQ(window.edUser->text(), "sa");
    EXPECT_TRUE(window.cbDriver->isVisible());
    EXPECT_FALSE(window.cbDsn->isVisible());
    EXPECT_FALSE(window.btnBrowse->isVisible());

    chooseKind(window, ProviderKind::SQLite);
    EXPECT_EQ(window.lblDataSource->text(), "Databasfil:");
    EXPECT_TRUE(window.btnBrowse->isVisible());
    for (QWidget *w : {static_cast<QWidget *>(window.edDatabase), static_cast<QWidget *>(window.edUser),
                       static_cast<QWidget *>(window.edPassword), static_cast<QWidget *>(window.cbDriver)})
        EXPECT_FALSE(w->isVisible()) << qPrintable(w->objectName());
    chooseKind(window, ProviderKind::Odbc);
    EXPECT_TRUE(window.cbDsn->isVisible());
}

TEST_F(DataLinkWindowTest, OkSavesAndThePasswordOnlyWhenTicked)
{
    testenv::writeFile(path, "");
    DataLinkEditor editor(path);
    DataLinkWindow window(editor);
    window.show();
    chooseKind(window, ProviderKind::PostgreSql);
    window.edDataSource->setText("localhost:5432");
    window.edDatabase->setText("vardo");
    window.edUser->setText("vardo");
    window.edPassword->setText("hemligt");
    window.btnOk->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(suite::ConnectionStringOf(path),
              "Provider=PostgreSQL;Data Source=localhost:5432;Location=vardo;User ID=vardo;Persist Security Info=False");

    DataLinkEditor again(path);
    DataLinkWindow second(again);
    second.edPassword->setText("hemligt");
    second.chkSavePassword->setChecked(true);
    second.btnOk->click();
    EXPECT_EQ(suite::ConnectionStringOf(path),
              "Provider=PostgreSQL;Data Source=localhost:5432;Location=vardo;User ID=vardo;Persist Security Info=True;"
              "Password=hemligt");
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_F(DataLinkWindowTest, ASaveThatFailsIsShownAndTheWindowStays)
{
    testenv::writeFile(path, "");
    DataLinkEditor editor(path);
    DataLinkWindow window(editor);
    window.show();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    window.edDataSource->setText("/srv/a.db");
    window.btnOk->click();
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes().at(0).text.startsWith("Cannot save " + path + ": "))
        << qPrintable(presenter.boxes().at(0).text);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(DataLinkWindowTest, TestConnectionReportsSuccessAndTheDriversMessage)
{
    const QString database = testenv::createSqliteTrklinik(testenv::freshDir("db") + "/praktik.db", {"1"});
    testenv::writeFile(path, "");
    DataLinkEditor editor(path);
    DataLinkWindow window(editor);
    window.show();
    window.edDataSource->setText(database);
    window.btnTest->click();
    EXPECT_EQ(testResult(window), "Anslutningen fungerar.");

    const QString missing = folder + "/missing.db";
    window.edDataSource->setText(missing);
    window.btnTest->click();
    EXPECT_FALSE(window.btnTest->isEnabled()) << "a second test waits for the first";
    const QString message = testResult(window);
    EXPECT_TRUE(message.startsWith("Anslutningen misslyckades: ")) << qPrintable(message);
    EXPECT_TRUE(message.contains(missing)) << qPrintable(message);
    EXPECT_TRUE(testenv::readFile(path).isEmpty()) << "a test saves nothing";
}

TEST_F(DataLinkWindowTest, AnyChangeOfTheFieldsClearsTheTestResult)
{
    const QString database = testenv::createSqliteTrklinik(testenv::freshDir("db") + "/praktik.db", {"1"});
    testenv::writeFile(path, "");
    DataLinkEditor editor(path);
    DataLinkWindow window(editor);
    window.show();
    const std::pair<const char *, std::function<void()>> changes[] = {
        {"data source", [&] { window.edDataSource->setText(database + " "); }},
        {"database", [&] { window.edDatabase->setText("Vardo"); }},
        {"user", [&] { window.edUser->setText("sa"); }},
        {"password", [&] { window.edPassword->setText("x"); }},
        {"save password", [&] { window.chkSavePassword->toggle(); }},
        {"DSN", [&] { window.cbDsn->setCurrentText("Praktik"); }},
        {"driver", [&] { window.cbDriver->setCurrentText("FreeTDS"); }},
        {"kind", [&] { chooseKind(window, ProviderKind::PostgreSql); }},
    };
    for (const auto &[name, change] : changes) {
        chooseKind(window, ProviderKind::SQLite);
        window.edDataSource->setText(database);
        window.btnTest->click();
        ASSERT_EQ(testResult(window), "Anslutningen fungerar.") << name;
        change();
        EXPECT_EQ(window.lblTestResult->text(), "") << name;
    }
    // A result that arrives after the fields changed belongs to other fields.
    chooseKind(window, ProviderKind::SQLite);
    window.edDataSource->setText(database);
    window.btnTest->click();
    window.edDataSource->setText(folder + "/other.db");
    EXPECT_EQ(testResult(window), "");
}

} // namespace
