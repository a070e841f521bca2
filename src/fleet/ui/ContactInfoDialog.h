#pragma once

#include <QDialog>

struct ContactDetails;

// Contact Information: a read-only view of one contact (a loan or insurance company) with the values
// handed to it. It writes nothing.
class CContactInfoDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CContactInfoDialog(const ContactDetails& details, QWidget* parent = nullptr);
};
