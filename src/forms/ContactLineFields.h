#pragma once

#include <QString>

class CRecordForm;
class QLineEdit;
class QPlainTextEdit;
struct ContactFields;

// The contact lines the owner and company forms both show: the same labels, object names and rows.
struct ContactLineFields
{
    QLineEdit* companyName = nullptr;
    QLineEdit* firstName = nullptr;
    QLineEdit* lastName = nullptr;
    QLineEdit* address1 = nullptr;
    QLineEdit* address2 = nullptr;
    QLineEdit* city = nullptr;
    QLineEdit* state = nullptr;
    QLineEdit* zipCode = nullptr;
    QLineEdit* phone = nullptr;
    QLineEdit* altPhone = nullptr;
    QLineEdit* fax = nullptr;
    QLineEdit* mobile = nullptr;
    QLineEdit* email = nullptr;
    QLineEdit* webAddress = nullptr;
    QPlainTextEdit* comments = nullptr;

    // Added apart from the rest: the forms put different fields above and right after it.
    void addCompanyName(CRecordForm& form, int row);
    // First Name through Web Site Address on rows 2 to 9, Comments on row 10.
    void addPersonAndAddress(CRecordForm& form);

    void read(ContactFields& fields, QString& commentsText) const;
    void show(const ContactFields& fields, const QString& commentsText);
};
