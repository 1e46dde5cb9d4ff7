#include "app/ui/settingsarea.h"

#include "app/ui/buttonicons.h"
#include "components/widgetnames.h"
#include "components/tdrawpanel.h"
#include "suite/paths.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <limits>

namespace app::ui {

using components::named;
namespace {

const QMargins GroupMargins(6, 2, 6, 4);
constexpr int FieldWidth = 90;

QString askForFolder(QWidget *parent, const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

} // namespace

SettingsArea::SettingsArea(QWidget *parent)
{
    GroupBox5 = named<QGroupBox>("GroupBox5", parent);
    GroupBox10 = named<QGroupBox>("GroupBox10", parent);
    GroupBox7 = named<QGroupBox>("GroupBox7", parent);
    GroupBox8 = named<QGroupBox>("GroupBox8", parent);
    DrawPanel3 = named<components::TDrawPanel>("DrawPanel3", parent);
    buildTimerGroup();
    buildLoggingGroup();
    buildPortGroup();
    buildImportGroup();
    buildButtonBar();
    chooseFolder = [widget = EdPasisPath](const QString &title, const QString &start) {
        return askForFolder(widget->window(), title, start);
    };
}

void SettingsArea::buildTimerGroup()
{
    GroupBox5->setTitle(QStringLiteral("Timer - functions"));
    SpinEdit1 = named<QSpinBox>("SpinEdit1", GroupBox5);
    SpinEdit1->setRange(MinMessageInterval, MaxMessageInterval);
    SpinEdit1->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    DateTimePicker1 = named<QTimeEdit>("DateTimePicker1", GroupBox5);
    DateTimePicker1->setDisplayFormat(QStringLiteral("HH:mm"));
    SpinEdit1->setMaximumWidth(FieldWidth);
    DateTimePicker1->setMaximumWidth(FieldWidth);
    auto *form = new QFormLayout(GroupBox5);
    form->setContentsMargins(GroupMargins);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("GetMessage - Intervall: (minuter)"), SpinEdit1);
    form->addRow(QStringLiteral("CheckPatient - Klockslag:"), DateTimePicker1);
}

void SettingsArea::buildLoggingGroup()
{
    GroupBox10->setTitle(QStringLiteral("Logging Options"));
    CbLoggtoEventlogg = named<QCheckBox>("CbLoggtoEventlogg", GroupBox10);
    CbLoggtoEventlogg->setText(QStringLiteral("Logg to EventLogg"));
    cbLoggtofile = named<QCheckBox>("cbLoggtofile", GroupBox10);
    cbLoggtofile->setText(QStringLiteral("Always logg to file"));
    auto *layout = new QVBoxLayout(GroupBox10);
    layout->setContentsMargins(GroupMargins);
    layout->addWidget(CbLoggtoEventlogg);
    layout->addWidget(cbLoggtofile);
}

void SettingsArea::buildPortGroup()
{
    GroupBox7->setTitle(QStringLiteral("Tcp/IP - Port"));
    SpinEdit2 = named<QSpinBox>("SpinEdit2", GroupBox7);
    // The port field has no limits: whatever is stored shows, negative or above 65535.
    SpinEdit2->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    SpinEdit2->setMaximumWidth(FieldWidth);
    auto *layout = new QVBoxLayout(GroupBox7);
    layout->setContentsMargins(GroupMargins);
    layout->addWidget(new QLabel(QStringLiteral("Den port Vardo-tjänsten lyssnar på:"), GroupBox7));
    layout->addWidget(SpinEdit2);
}

void SettingsArea::buildImportGroup()
{
    GroupBox8->setTitle(QStringLiteral("Extern import av patienter för CheckPatient (sökväg)"));
    EdPasisPath = named<QLineEdit>("EdPasisPath", GroupBox8);
    BitBtn4 = named<QPushButton>("BitBtn4", GroupBox8);
    BitBtn4->setText(QStringLiteral("Välj..."));
    setButtonIcon(BitBtn4, QStringLiteral("folder-open"), QStyle::SP_DirOpenIcon);
    auto *layout = new QHBoxLayout(GroupBox8);
    layout->setContentsMargins(GroupMargins);
    layout->addWidget(EdPasisPath, 1);
    layout->addWidget(BitBtn4);
}

void SettingsArea::buildButtonBar()
{
    DrawPanel3->setGradientColorStart(8454016);
    DrawPanel3->setGradientColorEnd(8421631);
    DrawPanel3->setGradientDirection(components::TDrawPanel::gdHorizontal);
    DrawPanel3->setBevelOuter(components::TDrawPanel::bvLowered);
    btnSpara = named<QPushButton>("btnSpara", DrawPanel3);
    btnSpara->setText(QStringLiteral("Spara"));
    btnSpara->setToolTip(QStringLiteral("Sparar inmatade uppgifter till registret"));
    setButtonIcon(btnSpara, QStringLiteral("document-save"), QStyle::SP_DialogSaveButton);
    btnCancel = named<QPushButton>("btnCancel", DrawPanel3);
    btnCancel->setText(QStringLiteral("Ångra"));
    btnCancel->setToolTip(QStringLiteral("Ångrar alla inmatade uppgifter"));
    setButtonIcon(btnCancel, QStringLiteral("edit-undo"), QStyle::SP_DialogCancelButton);
    auto *layout = new QHBoxLayout(DrawPanel3);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(btnSpara);
    layout->addStretch();
    layout->addWidget(btnCancel);
}

ServiceSettings SettingsArea::shownSettings() const
{
    ServiceSettings s;
    s.port = SpinEdit2->hasAcceptableInput() ? SpinEdit2->value() : 0;
    s.messageInterval = SpinEdit1->hasAcceptableInput() ? SpinEdit1->value() : MinMessageInterval;
    s.checkPatientTime = DateTimePicker1->time();
    s.logToEventLog = CbLoggtoEventlogg->isChecked();
    s.alwaysLogToFile = cbLoggtofile->isChecked();
    s.pasisPath = EdPasisPath->text();
    return s;
}

void SettingsArea::showSettings(const ServiceSettings &s)
{
    SpinEdit2->setValue(s.port);
    SpinEdit1->setValue(s.messageInterval);
    CbLoggtoEventlogg->setChecked(s.logToEventLog);
    cbLoggtofile->setChecked(s.alwaysLogToFile);
    DateTimePicker1->setTime(s.checkPatientTime);
    EdPasisPath->setText(s.pasisPath);
}

void SettingsArea::loadFields()
{
    showSettings(loadServiceSettings());
}

void SettingsArea::btnSparaClick()
{
    saveServiceSettings(shownSettings(), suite::DefaultDataProviderFile(), writeSetting);
}

void SettingsArea::BitBtn4Click()
{
    const QString chosen = chooseFolder(QStringLiteral("Välj sökväg"), EdPasisPath->text());
    if (!chosen.isEmpty())
        EdPasisPath->setText(chosen);
}

} // namespace app::ui
