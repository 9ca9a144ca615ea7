#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace odomira {

// The first start from the menu: asks for the vehicle of the user's new logbook and creates
// it at `logbookPath` with the folders it needs. "Anlegen" checks the entries as the logbook
// creator does; a refusal or a failure to write is shown in the dialog, which stays open.
// The dialog is accepted once the logbook exists; "Abbrechen" creates nothing.
class FirstStartDialog : public QDialog {
    Q_OBJECT
public:
    explicit FirstStartDialog(const QString& logbookPath, QWidget* parent = nullptr);

private:
    void anlegen();
    void showProblem(const QString& text, QLineEdit* field);

    QString m_logbookPath;
    QLineEdit* m_kennzeichen = nullptr;
    QLineEdit* m_verbrauch = nullptr;
    QLineEdit* m_steuer = nullptr;
    QLineEdit* m_versicherung = nullptr;
    QLabel* m_problem = nullptr;
};

} // namespace odomira
