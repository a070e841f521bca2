#pragma once

#include "fleet/VehicleRecord.h"

#include <QDialog>

class CDateField;
class Prompter;
class QGridLayout;
class QLineEdit;
class QPlainTextEdit;

// "Vehicle Purchase Information": the seller, date, price and reading at purchase of the vehicle on the
// form. OK checks the date, price and reading and keeps the dialog open on a failure; read-only when the
// form is in Browse.
class CPurchaseDialog : public QDialog
{
    Q_OBJECT

public:
    // currentReading: the reading on the vehicle form, the highest a purchase reading may be (0: any).
    CPurchaseDialog(const PurchaseInfo& info, const QString& readingName, qint32 currentReading,
                    bool readOnly, Prompter& prompter, QWidget* parent = nullptr);

    // The values as accepted by OK.
    PurchaseInfo values() const { return m_values; }

    void accept() override;

private:
    QLineEdit* addLine(const QString& label, const QString& objectName, int maxLength, int row, int column,
                       int columnSpan = 1);
    void setReadOnly(bool readOnly);

    Prompter& m_prompter;
    QString m_readingName;
    qint32 m_currentReading = 0;
    bool m_readOnly = false;
    PurchaseInfo m_values;

    QGridLayout* m_grid = nullptr;
    QLineEdit* m_company = nullptr;
    QLineEdit* m_firstName = nullptr;
    QLineEdit* m_lastName = nullptr;
    QLineEdit* m_address1 = nullptr;
    QLineEdit* m_address2 = nullptr;
    QLineEdit* m_city = nullptr;
    QLineEdit* m_state = nullptr;
    QLineEdit* m_zipCode = nullptr;
    QLineEdit* m_phone = nullptr;
    QLineEdit* m_altPhone = nullptr;
    QLineEdit* m_fax = nullptr;
    QLineEdit* m_mobile = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_webAddress = nullptr;
    CDateField* m_date = nullptr;
    QLineEdit* m_amount = nullptr;
    QLineEdit* m_reading = nullptr;
    QPlainTextEdit* m_memo = nullptr;
};
