#include "forms/ContactLineFields.h"

#include "fleet/ContactFields.h"
#include "forms/RecordForm.h"

#include <QLineEdit>
#include <QPlainTextEdit>

void ContactLineFields::addCompanyName(CRecordForm& form, int row)
{
    companyName =
        form.addLineField(QStringLiteral("Company Name"), QStringLiteral("companyName"), 50, row, 0, 2);
}

void ContactLineFields::addPersonAndAddress(CRecordForm& form)
{
    firstName = form.addLineField(QStringLiteral("First Name"), QStringLiteral("firstName"), 35, 2, 0);
    lastName = form.addLineField(QStringLiteral("Last Name"), QStringLiteral("lastName"), 35, 2, 1);
    address1 = form.addLineField(QStringLiteral("Address"), QStringLiteral("address1"), 35, 3, 0, 2);
    address2 = form.addLineField(QString(), QStringLiteral("address2"), 35, 4, 0, 2);
    city = form.addLineField(QStringLiteral("City"), QStringLiteral("city"), 35, 5, 0);
    state = form.addLineField(QStringLiteral("State"), QStringLiteral("state"), 35, 5, 1);
    zipCode = form.addLineField(QStringLiteral("Postal Code"), QStringLiteral("postalCode"), 10, 6, 0);
    phone = form.addLineField(QStringLiteral("Phone"), QStringLiteral("phone"), 30, 7, 0);
    altPhone = form.addLineField(QStringLiteral("Alt. Phone"), QStringLiteral("altPhone"), 30, 7, 1);
    fax = form.addLineField(QStringLiteral("Fax"), QStringLiteral("fax"), 30, 8, 0);
    mobile = form.addLineField(QStringLiteral("Mobile"), QStringLiteral("mobile"), 30, 8, 1);
    email = form.addLineField(QStringLiteral("Email"), QStringLiteral("email"), 50, 9, 0);
    webAddress =
        form.addLineField(QStringLiteral("Web Site Address"), QStringLiteral("webAddress"), 50, 9, 1);
    comments = form.addMemoField(QStringLiteral("Comments"), QStringLiteral("comments"), 10, 0);
}

void ContactLineFields::read(ContactFields& fields, QString& commentsText) const
{
    fields.companyName = companyName->text();
    fields.firstName = firstName->text();
    fields.lastName = lastName->text();
    fields.address1 = address1->text();
    fields.address2 = address2->text();
    fields.city = city->text();
    fields.state = state->text();
    fields.zipCode = zipCode->text();
    fields.phone = phone->text();
    fields.altPhone = altPhone->text();
    fields.fax = fax->text();
    fields.mobile = mobile->text();
    fields.email = email->text();
    fields.webAddress = webAddress->text();
    commentsText = comments->toPlainText();
}

void ContactLineFields::show(const ContactFields& fields, const QString& commentsText)
{
    companyName->setText(fields.companyName);
    firstName->setText(fields.firstName);
    lastName->setText(fields.lastName);
    address1->setText(fields.address1);
    address2->setText(fields.address2);
    city->setText(fields.city);
    state->setText(fields.state);
    zipCode->setText(fields.zipCode);
    phone->setText(fields.phone);
    altPhone->setText(fields.altPhone);
    fax->setText(fields.fax);
    mobile->setText(fields.mobile);
    email->setText(fields.email);
    webAddress->setText(fields.webAddress);
    comments->setPlainText(commentsText);
}
