#include "fleet/ui/ContactInfoDialog.h"

#include "fleet/ContactOperations.h"
#include "forms/ReadOnlyLook.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CContactInfoDialog::CContactInfoDialog(const ContactDetails& details, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("contactInfoDialog"));
    setWindowTitle(QStringLiteral("Contact Information"));
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    outer->addLayout(grid);

    auto addLine = [this, grid](const QString& label, const QString& objectName, const QString& value,
                                int row, int column, int columnSpan) {
        auto* edit = new QLineEdit(value, this);
        edit->setObjectName(objectName);
        showAsReadOnly(edit, true);
        edit->setCursorPosition(0);
        if (!label.isEmpty()) {
            auto* caption = new QLabel(label, this);
            caption->setBuddy(edit);
            grid->addWidget(caption, row, column * 2);
        }
        grid->addWidget(edit, row, column * 2 + 1, 1, columnSpan * 2 - 1);
        return edit;
    };
    QLineEdit* companyName =
        addLine(QStringLiteral("Company Name"), QStringLiteral("companyName"), details.companyName, 0, 0, 2);
    addLine(QStringLiteral("Agent Name"), QStringLiteral("agentName"), details.agentName, 1, 0, 2);
    addLine(QStringLiteral("Address"), QStringLiteral("address1"), details.address1, 2, 0, 2);
    addLine(QString(), QStringLiteral("address2"), details.address2, 3, 0, 2);
    addLine(QStringLiteral("City"), QStringLiteral("city"), details.city, 4, 0, 1);
    addLine(QStringLiteral("State"), QStringLiteral("state"), details.state, 4, 1, 1);
    addLine(QStringLiteral("Postal Code"), QStringLiteral("postalCode"), details.zipCode, 5, 0, 1);
    addLine(QStringLiteral("Phone"), QStringLiteral("phone"), details.phone, 6, 0, 1);
    addLine(QStringLiteral("Alt. Phone"), QStringLiteral("altPhone"), details.altPhone, 6, 1, 1);
    addLine(QStringLiteral("Fax"), QStringLiteral("fax"), details.fax, 7, 0, 1);
    addLine(QStringLiteral("Mobile"), QStringLiteral("mobile"), details.mobile, 7, 1, 1);
    addLine(QStringLiteral("Email"), QStringLiteral("email"), details.email, 8, 0, 1);
    addLine(QStringLiteral("Web Site Address"), QStringLiteral("webAddress"), details.webAddress, 8, 1, 1);

    auto* comments = new QPlainTextEdit(details.comments, this);
    comments->setObjectName(QStringLiteral("comments"));
    showAsReadOnly(comments, true);
    comments->setTabChangesFocus(true);
    auto* commentsLabel = new QLabel(QStringLiteral("Comments"), this);
    commentsLabel->setBuddy(comments);
    grid->addWidget(commentsLabel, 9, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(comments, 9, 1, 1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    outer->addWidget(buttons);

    companyName->setFocus(Qt::OtherFocusReason);
}
