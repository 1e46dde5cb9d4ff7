// The organisation list of the main window driven through its controls: rows from the
// store on every activation, "Radera" with its question, and what "Lägg till..." and
// "Redigera..." hand the organisation editor.
#include "window_guitest.h"
#include "editor/widgets/tfltklinik.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTimer>

#include "app/core/organisation_list.h"

#include <QListWidget>
#include <QWindow>

#include <optional>

using namespace windowtest;

namespace {

void storeOrganisation(int slot, const QString &number, const QString &certificate,
                       const QString &dataProvider = {}, const QString &checkPasis = {})
{
    const QString key = QStringLiteral("Organisation\\OrgNr%1").arg(slot);
    store(key, QStringLiteral("OrganisationsNr"), number);
    if (!certificate.isEmpty())
        store(key + QStringLiteral("\\Certifikat"), QStringLiteral("DefaultVardoCertificate"), certificate);
    if (!dataProvider.isEmpty())
        store(key + QStringLiteral("\\DataProvider"), QStringLiteral("DefaultDataProvider"), dataProvider);
    if (!checkPasis.isEmpty())
        store(key, QStringLiteral("CheckPasis"), checkPasis);
}

QString storedOrganisation(int slot, const QString &subKey, const QString &name)
{
    return stored(QStringLiteral("Organisation\\OrgNr%1").arg(slot) + subKey, name);
}

struct Row
{
    QString text;
    int slot = 0;
    bool operator==(const Row &) const = default;
};

void PrintTo(const Row &row, std::ostream *out)
{
    *out << '"' << row.text.toStdString() << "\" slot " << row.slot;
}

// What the editor was asked to show.
struct EditorCall
{
    int slot = 0;
    std::optional<app::OrganisationEditorValues> values;
};

class OrganisationsTest : public WindowTest
{
protected:
    QListWidget *list() { return control<QListWidget>("ListBox1"); }

    QList<Row> rows()
    {
        QList<Row> shown;
        for (int i = 0; i < list()->count(); ++i)
            shown.append({list()->item(i)->text(), list()->item(i)->data(Qt::UserRole).toInt()});
        return shown;
    }

    // Activates the main window as a user would, coming from another window of the program.
    void activate()
    {
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == other.windowHandle(); }));
        other.close();
        window().show();
        window().activateWindow();
        ASSERT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == window().windowHandle(); }));
    }

    // Records the editor's calls and answers "saved" when told to.
    void watchEditor(bool saves)
    {
        window().organisations().showEditor = [this, saves](int slot, const std::optional<app::OrganisationEditorValues> &values) {
            editorCalls.append({slot, values});
            return saves;
        };
    }

    QList<EditorCall> editorCalls;
};

} // namespace

TEST_F(OrganisationsTest, RowsComeFromTheStoreOnEveryActivation)
{
    storeOrganisation(3, QStringLiteral("5569876543"), {});
    storeOrganisation(1, QStringLiteral("5561234567"), QStringLiteral("Vårdcentralen Ö"));
    activate();
    // Filled while the window is still locked.
    EXPECT_TRUE(window().isLocked());
    EXPECT_EQ(rows(), (QList<Row>{{QString::fromUtf8("5561234567 - Vårdcentralen Ö"), 1}, {"5569876543 - ", 3}}));
    EXPECT_EQ(list()->currentRow(), 0);
    EXPECT_TRUE(list()->item(0)->isSelected());

    // What another program wrote shows at the next activation.
    storeOrganisation(2, QStringLiteral("   "), {});
    activate();
    EXPECT_EQ(rows(), (QList<Row>{{QString::fromUtf8("5561234567 - Vårdcentralen Ö"), 1}, {"    - ", 2}, {"5569876543 - ", 3}}));
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_F(OrganisationsTest, RaderaAsksAndDeletesTheSelectedSlotOnlyOnYes)
{
    storeOrganisation(1, QStringLiteral("111"), QStringLiteral("A"));
    storeOrganisation(2, QStringLiteral("222 - x"), QStringLiteral("B"), QStringLiteral("/srv/b.udl"), QStringLiteral("1"));
    activate();
    unlock();
    list()->setCurrentRow(1);

    presenter.answer(platform::BoxNo);
    click("Button1");
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].kind, platform::BoxKind::Confirmation);
    EXPECT_EQ(presenter.boxes()[0].text, QStringLiteral("Radera organisationen 222?"));
    EXPECT_EQ(rows().size(), 2);
    EXPECT_EQ(storedOrganisation(2, {}, "OrganisationsNr"), "222 - x");
    EXPECT_EQ(list()->currentRow(), 1);

    presenter.answer(platform::BoxYes);
    click("Button1");
    EXPECT_EQ(presenter.boxes().size(), 2);
    EXPECT_EQ(rows(), (QList<Row>{{"111 - A", 1}}));
    EXPECT_EQ(list()->currentRow(), 0);
    // The slot goes with its values and both sub-keys; slot 1 stays.
    EXPECT_EQ(storedOrganisation(2, {}, "OrganisationsNr"), "");
    EXPECT_EQ(storedOrganisation(2, {}, "CheckPasis"), "");
    EXPECT_EQ(storedOrganisation(2, "\\Certifikat", "DefaultVardoCertificate"), "");
    EXPECT_EQ(storedOrganisation(2, "\\DataProvider", "DefaultDataProvider"), "");
    EXPECT_EQ(storedOrganisation(1, "\\Certifikat", "DefaultVardoCertificate"), "A");

    // The last one can go too; then there is nothing left to ask about.
    presenter.answer(platform::BoxYes);
    click("Button1");
    EXPECT_TRUE(rows().isEmpty());
    click("Button1");
    click("editbutton");
    EXPECT_EQ(presenter.boxes().size(), 3);
}

// The real editor: "Lägg till..." opens it on the free slot, "Spara" there shows the new
// row; "Redigera..." opens it with the slot's values, and "Ångra" changes nothing.
TEST_F(OrganisationsTest, TheEditorSavesANewRowAndShowsTheSavedValues)
{
    qputenv("TELLVARA_TRUST_BUNDLE", ""); // no certificate line holds the serial typed
    storeOrganisation(1, QStringLiteral("111"), QStringLiteral("A"));
    activate();
    unlock();
    QString slotShown;
    QTimer::singleShot(300, [&] {
        auto *editor = qobject_cast<editor::TFLTKlinik *>(QApplication::activeModalWidget());
        if (!editor)
            return;
        slotShown = editor->Edit1->text();
        editor->OrganisationsNrComboBox->setEditText("555");
        editor->cmbLicensList->setEditText("MY 0B - 2030-01-01, Ny");
        editor->CheckBox1->setChecked(true);
        editor->btnSpara->click();
    });
    click("newbutton");
    EXPECT_EQ(slotShown, "2");
    EXPECT_EQ(rows(), (QList<Row>{{"111 - A", 1}, {"555 - 0B", 2}}));

    QStringList prefilled;
    QTimer::singleShot(300, [&] {
        auto *editor = qobject_cast<editor::TFLTKlinik *>(QApplication::activeModalWidget());
        if (!editor)
            return;
        prefilled = {editor->Edit1->text(), editor->OrganisationsNrComboBox->currentText(),
                     editor->cmbLicensList->currentText(), editor->CheckBox1->isChecked() ? "ticked" : "not ticked"};
        editor->OrganisationsNrComboBox->setEditText("changed");
        editor->btnCancel->click();
    });
    list()->setCurrentRow(1);
    click("editbutton");
    EXPECT_EQ(prefilled, QStringList({"2", "555", "0B", "ticked"}));
    EXPECT_EQ(rows(), (QList<Row>{{"111 - A", 1}, {"555 - 0B", 2}}));
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_F(OrganisationsTest, AddAndEditHandTheEditorItsSlotAndStartValues)
{
    storeOrganisation(1, QStringLiteral("111"), QStringLiteral("A"));
    storeOrganisation(3, QStringLiteral("333"), QStringLiteral("C"), QStringLiteral("/srv/c.udl"), QStringLiteral("1"));
    activate();
    unlock();
    watchEditor(false);
    click("newbutton");
    list()->setCurrentRow(1);
    click("editbutton");
    ASSERT_EQ(editorCalls.size(), 2);
    EXPECT_EQ(editorCalls[0].slot, 2);
    EXPECT_FALSE(editorCalls[0].values);
    EXPECT_EQ(editorCalls[1].slot, 3);
    ASSERT_TRUE(editorCalls[1].values);
    EXPECT_EQ(editorCalls[1].values->slotText, "3");
    EXPECT_EQ(editorCalls[1].values->organisationsNr, "333");
    EXPECT_EQ(editorCalls[1].values->certificate, "C");
    EXPECT_EQ(editorCalls[1].values->dataProvider, "/srv/c.udl");
    EXPECT_TRUE(editorCalls[1].values->checkPasis);

    // A save rebuilds the list; a cancel leaves it as it was.
    storeOrganisation(2, QStringLiteral("222"), QStringLiteral("B"));
    click("newbutton");
    EXPECT_EQ(rows().size(), 2);
    watchEditor(true);
    click("newbutton");
    EXPECT_EQ(editorCalls.last().slot, 4);
    EXPECT_EQ(rows(), (QList<Row>{{"111 - A", 1}, {"222 - B", 2}, {"333 - C", 3}}));
    EXPECT_TRUE(presenter.boxes().isEmpty());
}
