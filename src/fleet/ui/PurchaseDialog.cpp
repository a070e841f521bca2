#include "fleet/ui/PurchaseDialog.h"

#include "db/Prompter.h"
#include "db/Values.h"
#include "forms/DateField.h"
#include "forms/ReadOnlyLook.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Wide enough for about that many average characters, so that short fields look short.
int widthFor(const QWidget* widget, int characters)
{
    return widget->fontMetrics().averageCharWidth() * characters + 16;
}

} // namespace

CPurchaseDialog::CPurchaseDialog(const PurchaseInfo& info, const QString& readingName, qint32 currentReading,
                                 bool readOnly, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_readingName(readingName), m_currentReading(currentReading),
      m_readOnly(readOnly), m_values(info)
{
    setObjectName(QStringLiteral("purchaseDialog"));
    setWindowTitle(QStringLiteral("Vehicle Purchase Information"));
    auto* outer = new QVBoxLayout(this);

    auto* sellerBox = new QGroupBox(QStringLiteral("Seller"), this);
    m_grid = new QGridLayout(sellerBox);
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnStretch(3, 1);
    m_company = addLine(QStringLiteral("Purchased From"), QStringLiteral("purchasedFrom"), 50, 0, 0, 2);
    m_firstName = addLine(QStringLiteral("First Name"), QStringLiteral("firstName"), 35, 1, 0);
    m_lastName = addLine(QStringLiteral("Last Name"), QStringLiteral("lastName"), 35, 1, 1);
    m_address1 = addLine(QStringLiteral("Address"), QStringLiteral("address1"), 35, 2, 0, 2);
    m_address2 = addLine(QString(), QStringLiteral("address2"), 35, 3, 0, 2);
    m_city = addLine(QStringLiteral("City"), QStringLiteral("city"), 35, 4, 0);
    m_state = addLine(QStringLiteral("State"), QStringLiteral("state"), 35, 4, 1);
    m_zipCode = addLine(QStringLiteral("Postal Code"), QStringLiteral("postalCode"), 10, 5, 0);
    m_phone = addLine(QStringLiteral("Phone"), QStringLiteral("phone"), 30, 6, 0);
    m_altPhone = addLine(QStringLiteral("Alt. Phone"), QStringLiteral("altPhone"), 30, 6, 1);
    m_fax = addLine(QStringLiteral("Fax"), QStringLiteral("fax"), 30, 7, 0);
    m_mobile = addLine(QStringLiteral("Mobile"), QStringLiteral("mobile"), 30, 7, 1);
    m_email = addLine(QStringLiteral("Email"), QStringLiteral("email"), 50, 8, 0);
    m_webAddress = addLine(QStringLiteral("Web Site Address"), QStringLiteral("webAddress"), 50, 8, 1);
    m_zipCode->setMaximumWidth(widthFor(m_zipCode, 12));
    outer->addWidget(sellerBox);

    auto* purchaseBox = new QGroupBox(QStringLiteral("Purchase"), this);
    auto* purchaseGrid = new QGridLayout(purchaseBox);
    m_date = new CDateField(purchaseBox);
    m_date->setObjectName(QStringLiteral("purchaseDate"));
    m_amount = new QLineEdit(purchaseBox);
    m_amount->setObjectName(QStringLiteral("purchaseAmount"));
    m_amount->setMaxLength(16);
    m_amount->setAlignment(Qt::AlignRight);
    m_amount->setMinimumWidth(widthFor(m_amount, 14));
    m_reading = new QLineEdit(purchaseBox);
    m_reading->setObjectName(QStringLiteral("purchaseReading"));
    m_reading->setMaxLength(10);
    m_reading->setAlignment(Qt::AlignRight);
    m_reading->setMinimumWidth(widthFor(m_reading, 14));
    auto* readingLabel = new QLabel(readingName, purchaseBox);
    readingLabel->setObjectName(QStringLiteral("readingLabel"));
    readingLabel->setBuddy(m_reading);
    auto* dateLabel = new QLabel(QStringLiteral("Purchased Date"), purchaseBox);
    dateLabel->setBuddy(m_date);
    auto* amountLabel = new QLabel(QStringLiteral("Purchased Amount"), purchaseBox);
    amountLabel->setBuddy(m_amount);
    m_date->setMinimumWidth(m_date->sizeHint().width());
    purchaseGrid->addWidget(dateLabel, 0, 0);
    purchaseGrid->addWidget(m_date, 0, 1, Qt::AlignLeft);
    purchaseGrid->addWidget(amountLabel, 0, 2);
    purchaseGrid->addWidget(m_amount, 0, 3, Qt::AlignLeft);
    purchaseGrid->addWidget(readingLabel, 1, 2);
    purchaseGrid->addWidget(m_reading, 1, 3, Qt::AlignLeft);
    purchaseGrid->setColumnStretch(1, 1);
    purchaseGrid->setColumnStretch(3, 1);
    // The second column's labels line up with the seller's second column.
    purchaseGrid->setColumnMinimumWidth(
        0, dateLabel->fontMetrics().horizontalAdvance(QStringLiteral("Purchased From")));
    outer->addWidget(purchaseBox);

    auto* memoLabel = new QLabel(QStringLiteral("Comments/Warranty Information"), this);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("purchaseMemo"));
    m_memo->setTabChangesFocus(true);
    m_memo->setMinimumHeight(m_memo->fontMetrics().lineSpacing() * 4);
    memoLabel->setBuddy(m_memo);
    outer->addWidget(memoLabel);
    outer->addWidget(m_memo, 1);

    const SellerContact& seller = info.seller;
    m_company->setText(seller.companyName);
    m_firstName->setText(seller.firstName);
    m_lastName->setText(seller.lastName);
    m_address1->setText(seller.address1);
    m_address2->setText(seller.address2);
    m_city->setText(seller.city);
    m_state->setText(seller.state);
    m_zipCode->setText(seller.zipCode);
    m_phone->setText(seller.phone);
    m_altPhone->setText(seller.altPhone);
    m_fax->setText(seller.fax);
    m_mobile->setText(seller.mobile);
    m_email->setText(seller.email);
    m_webAddress->setText(seller.webAddress);
    m_date->setText(Values::toShownDate(info.date));
    m_amount->setText(Values::formatMoney(info.amount));
    m_reading->setText(QString::number(info.reading));
    m_memo->setPlainText(info.memo);

    auto* buttons = new QDialogButtonBox(
        readOnly ? QDialogButtonBox::Close : QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
        ok->setObjectName(QStringLiteral("okButton"));
    if (QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel))
        cancel->setObjectName(QStringLiteral("cancelButton"));
    if (QPushButton* close = buttons->button(QDialogButtonBox::Close))
        close->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPurchaseDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);

    setMinimumWidth(640);
    setReadOnly(readOnly);
    m_company->setFocus(Qt::OtherFocusReason);
}

QLineEdit* CPurchaseDialog::addLine(const QString& label, const QString& objectName, int maxLength, int row,
                                    int column, int columnSpan)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(objectName);
    edit->setMaxLength(maxLength);
    edit->setMinimumWidth(widthFor(edit, columnSpan == 1 ? 20 : 30));
    if (!label.isEmpty()) {
        auto* caption = new QLabel(label, this);
        caption->setBuddy(edit);
        m_grid->addWidget(caption, row, column * 2);
    }
    m_grid->addWidget(edit, row, column * 2 + 1, 1, columnSpan * 2 - 1);
    return edit;
}

void CPurchaseDialog::setReadOnly(bool readOnly)
{
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        showAsReadOnly(edit, readOnly);
    showAsReadOnly(m_memo, readOnly);
}

void CPurchaseDialog::accept()
{
    if (m_readOnly) {
        QDialog::reject();
        return;
    }
    VehicleChecks::PurchaseEntry entry{m_date->text().trimmed(), m_amount->text(), m_reading->text()};
    const auto problem = VehicleChecks::firstPurchaseProblem(entry, m_readingName, m_currentReading);
    if (!entry.date.isEmpty() && entry.date != m_date->text())
        m_date->setText(entry.date);
    if (problem) {
        m_prompter.message(problem->message, Prompter::Icon::Exclamation);
        QLineEdit* field = m_reading;
        if (problem->field == VehicleChecks::PurchaseField::Date)
            field = m_date;
        else if (problem->field == VehicleChecks::PurchaseField::Amount)
            field = m_amount;
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return;
    }

    SellerContact& seller = m_values.seller;
    seller.companyName = m_company->text();
    seller.firstName = m_firstName->text();
    seller.lastName = m_lastName->text();
    seller.address1 = m_address1->text();
    seller.address2 = m_address2->text();
    seller.city = m_city->text();
    seller.state = m_state->text();
    seller.zipCode = m_zipCode->text();
    seller.phone = m_phone->text();
    seller.altPhone = m_altPhone->text();
    seller.fax = m_fax->text();
    seller.mobile = m_mobile->text();
    seller.email = m_email->text();
    seller.webAddress = m_webAddress->text();
    m_values.memo = m_memo->toPlainText();
    m_values.date = Values::toStoredDate(entry.date);
    m_values.amount = Values::parseAmount(entry.amount);
    m_values.reading = Values::parseWholeNumber(entry.reading);
    QDialog::accept();
}
