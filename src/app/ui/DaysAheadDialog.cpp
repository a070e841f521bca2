#include "app/ui/DaysAheadDialog.h"

#include "context/Settings.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Values.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// An edit box with a spin control: the arrows step within 1 to 30, while the box takes any typed number
// so that OK can say what is wrong with it rather than silently correcting it.
class DaysSpinBox : public QSpinBox
{
public:
    explicit DaysSpinBox(QWidget* parent) : QSpinBox(parent)
    {
        setRange(0, 999);
        setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    }

    void stepBy(int steps) override
    {
        setValue(qBound(CDaysAheadDialog::MinimumDays, value() + steps, CDaysAheadDialog::MaximumDays));
        selectAll();
    }

protected:
    StepEnabled stepEnabled() const override
    {
        StepEnabled enabled = StepNone;
        if (value() < CDaysAheadDialog::MaximumDays)
            enabled |= StepUpEnabled;
        if (value() > CDaysAheadDialog::MinimumDays)
            enabled |= StepDownEnabled;
        return enabled;
    }
};

} // namespace

CDaysAheadDialog::CDaysAheadDialog(Settings& settings, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_prompter(prompter)
{
    setObjectName(QStringLiteral("daysAheadDialog"));
    setWindowTitle(QStringLiteral("Specify Days in Future"));

    auto* text = new QLabel(
        QStringLiteral("Specify number of days to be notified prior to scheduled maintenance due."), this);
    text->setObjectName(QStringLiteral("explanationLabel"));
    text->setWordWrap(true);

    m_days = new DaysSpinBox(this);
    m_days->setObjectName(QStringLiteral("daysEdit"));
    m_days->setValue(m_settings.daysAhead());
    m_days->selectAll();

    auto* label = new QLabel(QStringLiteral("Number of Days"), this);
    label->setObjectName(QStringLiteral("daysLabel"));
    label->setBuddy(m_days);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_days);
    row->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void CDaysAheadDialog::accept()
{
    const qint32 days = Values::parseWholeNumber(m_days->text());
    if (days < MinimumDays || days > MaximumDays) {
        m_days->setFocus();
        m_days->selectAll();
        m_prompter.message(Messages::DaysAheadOutOfRange, Prompter::Icon::Exclamation);
        return;
    }
    m_settings.setInteger(QStringLiteral("Notify"), QStringLiteral("Days"), days);
    QDialog::accept();
}
