#include "window/first_start_dialog.h"

#include "store/logbook_writer.h"
#include "store/new_vehicle.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace odomira {

FirstStartDialog::FirstStartDialog(const QString& logbookPath, QWidget* parent)
    : QDialog(parent)
    , m_logbookPath(logbookPath)
{
    setObjectName(QStringLiteral("dlg_erster_start"));
    setWindowTitle(QStringLiteral("Odomira"));

    auto* intro = new QLabel(QStringLiteral("Willkommen bei Odomira!\n\n"
                                            "Ihr Fahrtenbuch wird neu angelegt unter\n%1\n\n"
                                            "Bitte geben Sie die Daten Ihres Fahrzeugs ein. Sie können sie "
                                            "später auf der Seite „Auswertung“ ändern.")
                                 .arg(QDir::toNativeSeparators(logbookPath)),
        this);
    intro->setObjectName(QStringLiteral("lbl_hinweis"));
    intro->setWordWrap(true);
    intro->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // Prefilled with the values the logbook creator uses when none are given.
    const VehicleInput defaults;
    auto* form = new QFormLayout;
    auto addField = [&](const char* name, const QString& label, const QString& value) {
        auto* edit = new QLineEdit(value, this);
        edit->setObjectName(QString::fromLatin1(name));
        auto* caption = new QLabel(label, this);
        caption->setBuddy(edit);
        form->addRow(caption, edit);
        return edit;
    };
    m_kennzeichen = addField("txt_kennzeichen", QStringLiteral("&Kennzeichen"), defaults.kennzeichen);
    m_verbrauch
        = addField("txt_verbrauch", QStringLiteral("&Verbrauch (Liter je 100 km)"), defaults.verbrauch);
    m_steuer = addField("txt_steuer", QStringLiteral("&Steuer (Euro im Jahr)"), defaults.steuer);
    m_versicherung
        = addField("txt_versicherung", QStringLiteral("V&ersicherung (Euro im Jahr)"), defaults.versicherung);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("lbl_fehler"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #c00000;"));
    m_problem->hide();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* create = buttons->addButton(QStringLiteral("&Anlegen"), QDialogButtonBox::AcceptRole);
    create->setObjectName(QStringLiteral("cmd_anlegen"));
    create->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("A&bbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmd_abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FirstStartDialog::anlegen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    m_kennzeichen->setFocus();
}

void FirstStartDialog::anlegen()
{
    const VehicleInput input { m_kennzeichen->text(), m_verbrauch->text(), m_steuer->text(),
        m_versicherung->text() };
    QString error;
    VehicleField field = VehicleField::Kennzeichen;
    const std::optional<LogbookVehicle> vehicle = checkVehicle(input, VehicleFieldNames {}, &error, &field);
    if (!vehicle) {
        QLineEdit* const fields[] = { m_kennzeichen, m_verbrauch, m_steuer, m_versicherung };
        showProblem(error, fields[int(field)]);
        return;
    }
    switch (writeLogbookWithFolder(m_logbookPath, *vehicle, &error)) {
    case WriteResult::Ok:
        accept();
        return;
    case WriteResult::Exists:
        // Made meanwhile by another start: that logbook is the one to open.
        accept();
        return;
    case WriteResult::Failed:
        showProblem(QStringLiteral("Das Fahrtenbuch konnte nicht angelegt werden: %1").arg(error), nullptr);
        return;
    }
}

void FirstStartDialog::showProblem(const QString& text, QLineEdit* field)
{
    m_problem->setText(text);
    m_problem->show();
    if (field) {
        field->setFocus();
        field->selectAll();
    }
}

} // namespace odomira
