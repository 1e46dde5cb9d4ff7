#include "editor/widgets/tfltklinik.h"

#include "suite/event_handler.h"
#include "components/activationwatch.h"
#include "components/tdrawpanel.h"
#include "components/widgetnames.h"
#include "editor/certificate_catalogue.h"
#include "editor/fill_combo_from_query.h"
#include "editor/open_data_link.h"
#include "editor/organisation_save.h"
#include "editor/trklinik_query.h"
#include "platform/error.h"
#include "suite/data_link_list.h"
#include "suite/dialogs.h"
#include "suite/paths.h"
#include "suite/translate.h"
#include "suite/widgets/select_data_provider.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QWindow>

namespace editor {
namespace {

using components::named;

constexpr QSize ClientSize(480, 224);
constexpr int BottomBarHeight = 26;
constexpr int ConnectionStripHeight = 66;
const QRect GroupBoxArea(0, 0, 480, 198);
const QRect OrganisationPanelArea(2, 15 + ConnectionStripHeight, 476, 198 - 17 - ConnectionStripHeight);


QLabel *labelAt(const char *name, const QString &text, QWidget *parent, int x, int y)
{
    auto *label = named<QLabel>(name, parent, text);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QComboBox *editableCombo(const char *name, QWidget *parent, const QRect &geometry)
{
    auto *combo = named<QComboBox>(name, parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert); // Enter opens or saves, it never adds entries
    combo->setGeometry(geometry);
    return combo;
}

QPushButton *buttonWithPicture(const char *name, const QString &text, QStyle::StandardPixmap picture,
                               QWidget *parent, const QRect &geometry)
{
    auto *button = named<QPushButton>(name, parent, text);
    button->setIcon(parent->style()->standardIcon(picture));
    // Enter on a focused button presses it; elsewhere Enter reaches the default button.
    button->setAutoDefault(true);
    button->setGeometry(geometry);
    return button;
}

components::TDrawPanel *plainPanel(const char *name, QWidget *parent, const QRect &geometry)
{
    auto *panel = named<components::TDrawPanel>(name, parent);
    panel->setGeometry(geometry);
    return panel;
}

// The drop-down list as wide as its longest entry, however narrow the box: a certificate
// line cut in the middle hides its date.
void widenListToLongestEntry(QComboBox *combo)
{
    QAbstractItemView *list = combo->view();
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + scrollBar);
}

// Empties an editable combo box, list and text; adding entries then selects none.
void emptyCombo(QComboBox *combo)
{
    combo->clear();
    combo->setCurrentIndex(-1);
    combo->clearEditText();
}

} // namespace

TFLTKlinik::TFLTKlinik(QWidget *parent)
    : QDialog(parent)
    , ADOQTrklinik(Database1)
{
    setObjectName(QStringLiteral("FLTKlinik"));
    // A dialog of fixed size: a title and a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Lägg till/redigera Organisationer"));
    setFont(components::suiteWindowFont());
    setFixedSize(ClientSize);
    setModal(true);
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
    buildBottomBar();
    buildConnectionStrip();
    buildOrganisationPanel();
    coverOrganisation();
    ADOQTrklinik.setText(QString::fromUtf16(TrklinikQueryText));
    wireEvents();
    components::watchActivation(this, [this] { suite::runEventHandler([this] { FormActivate(); }); });
    suite::runEventHandler([this] { FormCreate(); });
}

TFLTKlinik::~TFLTKlinik() = default;

void TFLTKlinik::buildBottomBar()
{
    DrawPanel3 = plainPanel("DrawPanel3", this, QRect(0, ClientSize.height() - BottomBarHeight, ClientSize.width(), BottomBarHeight));
    DrawPanel3->setGradientColorStart(8454016);
    DrawPanel3->setGradientColorEnd(8421631);
    DrawPanel3->setGradientDirection(components::TDrawPanel::gdHorizontal);
    btnSpara = buttonWithPicture("btnSpara", QStringLiteral("Spara"), QStyle::SP_DialogSaveButton, DrawPanel3,
                                 QRect(2, 1, 90, 24));
    btnSpara->setToolTip(QStringLiteral("Sparar inmatade uppgifter till registret"));
    btnCancel = buttonWithPicture("btnCancel", QStringLiteral("Ångra"), QStyle::SP_DialogCancelButton, DrawPanel3,
                                  QRect(ClientSize.width() - 92, 1, 90, 24));
    btnCancel->setToolTip(QStringLiteral("Ångrar alla inmatade uppgifter"));
}

void TFLTKlinik::buildConnectionStrip()
{
    GroupBox1 = named<QGroupBox>("GroupBox1", this, QStringLiteral("Organisationens egenskaper"));
    GroupBox1->setGeometry(GroupBoxArea);
    Panel1 = plainPanel("Panel1", GroupBox1, QRect(2, 15, 476, ConnectionStripHeight));
    labelAt("Label1", QStringLiteral("Lopnr:"), Panel1, 8, 10);
    Edit1 = named<QLineEdit>("Edit1", Panel1);
    Edit1->setGeometry(8, 28, 50, 22);
    Edit1->setReadOnly(true);
    Edit1->setEnabled(false);
    labelAt("Label2", QStringLiteral("Databasanslutning:"), Panel1, 68, 10);
    ComboBox1 = editableCombo("ComboBox1", Panel1, QRect(68, 28, 300, 22));
    BitBtn1 = buttonWithPicture("BitBtn1", QStringLiteral("Öppna"), QStyle::SP_DialogOpenButton, Panel1,
                                QRect(378, 26, 90, 26));
    BitBtn1->setDefault(true);
}

void TFLTKlinik::buildOrganisationPanel()
{
    Panel2 = plainPanel("Panel2", GroupBox1, OrganisationPanelArea);
    labelAt("Label3", QStringLiteral("Organisationsnr:"), Panel2, 8, 8);
    OrganisationsNrComboBox = editableCombo("OrganisationsNrComboBox", Panel2, QRect(8, 26, 200, 22));
    CheckBox1 = named<QCheckBox>("CheckBox1", Panel2, QStringLiteral("Använd Extern import av patienter"));
    CheckBox1->setGeometry(222, 26, 246, 22);
    labelAt("Label4", QStringLiteral("Certifikat - serienummer:"), Panel2, 8, 56);
    cmbLicensList = editableCombo("cmbLicensList", Panel2, QRect(6, 74, 463, 22));

    pnlProperties = plainPanel("pnlProperties", GroupBox1, OrganisationPanelArea);
    pnlProperties->setCaption(QStringLiteral("Välj databasanslutning"));
}

void TFLTKlinik::wireEvents()
{
    const auto onClick = [this](QPushButton *button, void (TFLTKlinik::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { suite::runEventHandler([this, handler] { (this->*handler)(); }); });
    };
    onClick(BitBtn1, &TFLTKlinik::BitBtn1Click);
    onClick(btnSpara, &TFLTKlinik::btnSparaClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFLTKlinik::reject);
    // A change is a changed text, typed or picked; the program's own fillings hold the
    // box's signals. Leaving the box makes it select the entry its text names, which
    // changes nothing.
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this] { suite::runEventHandler([this] { ComboBox1Change(); }); });
}

void TFLTKlinik::FormCreate()
{
    LoadCertificates();
    LoadDataLinks();
}

void TFLTKlinik::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        suite::runEventHandler([this] { FormShow(); });
}

// A saved serial put into the certificate text selects the first line of that serial.
void TFLTKlinik::FormShow()
{
    QStringList lines;
    for (int i = 0; i < cmbLicensList->count(); ++i)
        lines.append(cmbLicensList->itemText(i));
    const int line = findCertificateLine(lines, cmbLicensList->currentText());
    if (line >= 0)
        cmbLicensList->setCurrentIndex(line);
}

void TFLTKlinik::LoadCertificates()
{
    const std::optional<QStringList> lines = LoadCertificateLines();
    if (!lines)
        return;
    emptyCombo(cmbLicensList);
    cmbLicensList->addItems(*lines);
    cmbLicensList->setCurrentIndex(-1);
    widenListToLongestEntry(cmbLicensList);
}

void TFLTKlinik::LoadDataLinks()
{
    const QSignalBlocker ownFilling(ComboBox1);
    emptyCombo(ComboBox1);
    ComboBox1->addItems(suite::ListDataLinkNames());
    ComboBox1->setCurrentIndex(-1);
}

void TFLTKlinik::FormActivate()
{
    coverOrganisation();
}

void TFLTKlinik::ComboBox1Change()
{
    coverOrganisation();
}

void TFLTKlinik::BitBtn1Click()
{
    try {
        const DataLinkChoice choice = ResolveDataLinkFile(ComboBox1->currentText(), [this] {
            const QString name = suite::SelectDataProvider(QStringLiteral("DefaultDataProvider"), this);
            // The dialog's return re-activates this one before the connection is opened.
            QApplication::processEvents();
            return name;
        });
        if (choice.chosenInDialog) {
            LoadDataLinks();
            const QSignalBlocker ownFilling(ComboBox1);
            ComboBox1->setEditText(QFileInfo(choice.file).fileName()); // what "Spara" will store
        }
        OpenDataLink(choice.file, Database1);
        const QString typedNumber = OrganisationsNrComboBox->currentText();
        ComboContents contents;
        FillComboFromQuery(ADOQTrklinik, contents, QString::fromUtf16(OrganisationNumberColumn), false, QString());
        showContents(OrganisationsNrComboBox, contents);
        OrganisationsNrComboBox->setEditText(typedNumber);
        uncoverOrganisation();
    } catch (const std::exception &e) {
        suite::ShowError(suite::TranslateText(QStringLiteral("Det gick inte att öppna databasanslutningen!"))
                         + QStringLiteral("\r\r") + platform::messageOf(e));
    }
}

void TFLTKlinik::btnSparaClick()
{
    SaveOrganisation(Edit1->text().toInt(), {OrganisationsNrComboBox->currentText(), CheckBox1->isChecked(),
                                             cmbLicensList->currentText(), DataLinkToStore(ComboBox1->currentText())});
    done(suite::ResultOk);
}

void TFLTKlinik::reject()
{
    done(suite::ResultCancel);
}

bool TFLTKlinik::isConnected() const
{
    // Of two siblings, the later one is painted over the earlier.
    const QObjectList &stack = GroupBox1->children();
    return stack.indexOf(Panel2) > stack.indexOf(pnlProperties);
}

// Whatever leads here, "Öppna" is the way back; what lies covered takes no focus or keys.
void TFLTKlinik::coverOrganisation()
{
    pnlProperties->raise();
    Panel2->setEnabled(false);
    BitBtn1->setEnabled(true);
}

void TFLTKlinik::uncoverOrganisation()
{
    Panel2->setEnabled(true);
    Panel2->raise();
    BitBtn1->setEnabled(false);
}

void TFLTKlinik::showContents(QComboBox *combo, const ComboContents &contents)
{
    emptyCombo(combo);
    for (qsizetype i = 0; i < contents.entries.size(); ++i)
        combo->addItem(contents.entries.at(i), contents.keys.at(i));
    combo->setCurrentIndex(contents.selected);
}

} // namespace editor
