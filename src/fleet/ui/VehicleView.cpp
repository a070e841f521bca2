#include "fleet/ui/VehicleView.h"

#include "context/Enums.h"
#include "context/AppContext.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/ContactOperations.h"
#include "fleet/RecordDeletion.h"
#include "fleet/VehicleList.h"
#include "fleet/ui/DuplicateVehicleDialog.h"
#include "fleet/ui/PurchaseDialog.h"
#include "forms/DateField.h"
#include "forms/FormHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString MessagesSection = QStringLiteral("Messages");
const QString EstimateNoteKey = QStringLiteral("v1");

} // namespace

CVehicleView::CVehicleView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CRecordForm(app, doc, VehicleForm,
                  {QStringLiteral("Browse Vehicle"), QStringLiteral("Edit Vehicle"),
                   QStringLiteral("Add New Vehicle")},
                  parent)
{
    setSelectorLabel(QStringLiteral("Vehicles"), QStringLiteral("vehicleSelector"));
    // Next leads to the schedule, once the program has that form.
    setNavigation(OwnerForm, frameOffers(ScheduleForm) ? ScheduleForm : NoForm);
    setUpdateHints(VehiclesHint, VehiclesHint);

    beginFieldGroup(QStringLiteral("Vehicle"), QStringLiteral("vehicleGroup"), 0, 0, 1, 2);
    m_owner = new QComboBox(this);
    m_owner->setObjectName(QStringLiteral("vehicleOwner"));
    m_owner->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_owner->setMinimumContentsLength(34);
    addField(QStringLiteral("Owner of Vehicle"), m_owner, 0, 0, 2);
    m_year = addLineField(QStringLiteral("Year"), QStringLiteral("vehicleYear"), 4, 1, 0);
    m_make = addLineField(QStringLiteral("Make"), QStringLiteral("vehicleMake"), 35, 1, 1);
    m_model = addLineField(QStringLiteral("Model"), QStringLiteral("vehicleModel"), 35, 2, 0);
    m_number = addLineField(QStringLiteral("Vehicle No."), QStringLiteral("vehicleNo"), 35, 2, 1);
    m_vin = addLineField(QStringLiteral("VIN No."), QStringLiteral("vehicleVin"), 20, 3, 0);
    m_license = addLineField(QStringLiteral("License Plate No."), QStringLiteral("vehicleLicense"), 10, 3, 1);
    endFieldGroup();

    beginFieldGroup(QStringLiteral("Reading"), QStringLiteral("readingGroup"), 1, 0);
    m_perMonth = addLineField(QString(), QStringLiteral("perMonthEdit"), 9, 0, 0);
    m_reading = addLineField(QString(), QStringLiteral("readingEdit"), 9, 1, 0);
    m_actualDate = new CDateField(this);
    m_actualDate->setObjectName(QStringLiteral("actualDateEdit"));
    m_perMonthLabel = addField(QStringLiteral("Estimated Miles Per Month"), m_perMonth, 0, 0);
    m_readingLabel = addField(QStringLiteral("Odometer Reading"), m_reading, 1, 0);
    m_actualDateLabel = addField(QStringLiteral("Actual Mileage Last Entered"), m_actualDate, 2, 0);
    endFieldGroup();
    m_perMonthLabel->setObjectName(QStringLiteral("perMonthLabel"));
    m_readingLabel->setObjectName(QStringLiteral("readingLabel"));
    m_actualDateLabel->setObjectName(QStringLiteral("actualDateLabel"));
    // The labels change with the unit; sized for the longest, the fields beside them stay where they are.
    int labelWidth = 0;
    for (const QString& text :
         {QStringLiteral("(Est.) Hour Meter Reading"), QStringLiteral("Estimated Miles Per Month"),
          QStringLiteral("Estimated Hours Per Month"), QStringLiteral("Actual Hours Last Entered"),
          QStringLiteral("Actual Mileage Last Entered")})
        labelWidth = std::max(labelWidth, m_readingLabel->fontMetrics().horizontalAdvance(text));
    for (QLabel* label : {m_perMonthLabel, m_readingLabel, m_actualDateLabel})
        label->setMinimumWidth(labelWidth + 4);
    for (QLineEdit* number : {m_perMonth, m_reading})
        number->setAlignment(Qt::AlignRight);

    beginFieldGroup(QStringLiteral("Measurement"), QStringLiteral("measurementGroup"), 1, 1);
    m_us = new QRadioButton(QStringLiteral("US Measurement System"), this);
    m_us->setObjectName(QStringLiteral("usMeasurement"));
    m_metric = new QRadioButton(QStringLiteral("Metric Measurement System"), this);
    m_metric->setObjectName(QStringLiteral("metricMeasurement"));
    m_hours = new QCheckBox(QStringLiteral("Track vehicle by Hours"), this);
    m_hours->setObjectName(QStringLiteral("hoursCheck"));
    addField(QString(), m_us, 0, 0);
    addField(QString(), m_metric, 1, 0);
    addField(QString(), m_hours, 2, 0);
    endFieldGroup();

    m_active = new QCheckBox(QStringLiteral("This Vehicle is Active"), this);
    m_active->setObjectName(QStringLiteral("activeCheck"));
    fieldGrid()->addWidget(m_active, 2, 0, 1, 2);
    registerField(m_active);
    m_purchaseButton = new QPushButton(QStringLiteral("Purchase Information"), this);
    m_purchaseButton->setObjectName(QStringLiteral("purchaseButton"));
    m_purchaseButton->setAutoDefault(false);
    m_purchaseButton->setToolTip(tr("Seller, date, price and reading at purchase"));
    fieldGrid()->addWidget(m_purchaseButton, 2, 2, 1, 2, Qt::AlignRight | Qt::AlignVCenter);
    m_comments = addMemoField(QStringLiteral("Comments"), QStringLiteral("comments"), 3, 0);

    for (QAbstractButton* unit :
         {static_cast<QAbstractButton*>(m_us), static_cast<QAbstractButton*>(m_metric),
          static_cast<QAbstractButton*>(m_hours)})
        connect(unit, &QAbstractButton::clicked, this, &CVehicleView::updateLabels);
    connect(m_purchaseButton, &QPushButton::clicked, this, &CVehicleView::editPurchase);
    updateLabels();
}

bool CVehicleView::frameOffers(int formNumber) const
{
    // The frame says "no form selected" for a form it does not have, so such commands stay unavailable.
    const CFormHost* frame = CFormHost::of(this);
    return frame && frame->hasForm(formNumber);
}

QList<ListEntry> CVehicleView::selectorEntries()
{
    QList<ListEntry> entries;
    for (const VehicleList::Item& item : VehicleList::items(app().database(), app().vehicleColumns()))
        entries.append({item.text, item.vehicleId});
    return entries;
}

qint32 CVehicleView::initialKey()
{
    return app().currentVehicle();
}

QWidget* CVehicleView::firstField() const
{
    return m_owner->count() >= 2 ? static_cast<QWidget*>(m_owner) : m_year;
}

void CVehicleView::fillOwners(qint32 keyToSelect)
{
    fillList(m_owner, ContactOperations::ownerListEntries(app().database()), keyToSelect);
}

int CVehicleView::measurement() const
{
    return m_metric->isChecked() ? 1 : 0;
}

VehicleLabels CVehicleView::labels() const
{
    return VehicleLabels::of(measurement(), m_hours->isChecked(), m_estimated);
}

void CVehicleView::updateLabels()
{
    const VehicleLabels words = labels();
    m_readingLabel->setText(words.reading);
    m_perMonthLabel->setText(words.perMonth);
    m_actualDateLabel->setText(words.actualDate);
}

VehicleRecord CVehicleView::values() const
{
    VehicleRecord record;
    record.ownerId = m_owner->currentIndex() >= 0 ? m_owner->currentData().toInt() : 0;
    record.year = m_year->text();
    record.make = m_make->text();
    record.model = m_model->text();
    record.number = m_number->text();
    record.vin = m_vin->text();
    record.license = m_license->text();
    record.perMonth = Values::parseWholeNumber(m_perMonth->text());
    record.reading = Values::parseWholeNumber(m_reading->text());
    record.actualDate = Values::toStoredDate(Values::normaliseDate(m_actualDate->text()));
    record.comments = m_comments->toPlainText();
    record.measurement = measurement();
    record.hours = m_hours->isChecked();
    record.active = m_active->isChecked();
    record.purchase = m_purchase;
    return record;
}

void CVehicleView::showValues(const VehicleRecord& record)
{
    if (m_owner->findData(record.ownerId) < 0)
        fillOwners(record.ownerId);
    m_owner->setCurrentIndex(m_owner->findData(record.ownerId));
    m_year->setText(record.year);
    m_make->setText(record.make);
    m_model->setText(record.model);
    m_number->setText(record.number);
    m_vin->setText(record.vin);
    m_license->setText(record.license);
    m_perMonth->setText(Values::withThousands(record.perMonth));
    m_reading->setText(Values::withThousands(record.reading));
    m_actualDate->setText(Values::toShownDate(record.actualDate));
    m_comments->setPlainText(record.comments);
    (record.measurement != 0 ? m_metric : m_us)->setChecked(true);
    m_hours->setChecked(record.hours);
    m_active->setChecked(record.active);
    m_purchase = record.purchase;
    m_estimated = record.isEstimated();
    updateLabels();
}

bool CVehicleView::loadRecord(qint32 key)
{
    const std::optional<VehicleRecord> record = VehicleRecord::load(app().database(), key);
    if (!record)
        return false;
    m_duplicate = {};
    showValues(*record);
    app().setCurrentVehicle(key);
    return true;
}

void CVehicleView::clearFields()
{
    m_duplicate = {};
    if (m_owner->count() == 0)
        fillOwners(0);
    VehicleRecord record = VehicleRecord::newVehicle();
    // A new vehicle most often belongs to the owner of the one just shown.
    record.ownerId = m_owner->currentIndex() >= 0 ? m_owner->currentData().toInt()
                                                  : (m_owner->count() > 0 ? m_owner->itemData(0).toInt() : 0);
    showValues(record);
}

bool CVehicleView::validateFields()
{
    VehicleEntry entry{m_year->text(),       m_perMonth->text(), m_reading->text(),
                       m_actualDate->text(), m_purchase.reading, labels()};
    std::function<bool(qint32)> maintenanceAbove;
    if (!isNewRecord())
        maintenanceAbove = [this](qint32 reading) {
            return VehicleChecks::maintenanceAbove(app().database(), currentKey(), reading);
        };
    std::optional<VehicleChecks::Problem> problem;
    try {
        problem = VehicleChecks::firstProblem(entry, maintenanceAbove);
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }
    // A valid date is shown as the program writes it.
    if (entry.actualDate != m_actualDate->text())
        m_actualDate->setText(entry.actualDate);
    if (!problem)
        return true;
    QWidget* field = m_actualDate;
    switch (problem->field) {
    case VehicleChecks::Field::Year:
        field = m_year;
        break;
    case VehicleChecks::Field::PerMonth:
        field = m_perMonth;
        break;
    case VehicleChecks::Field::Reading:
        field = m_reading;
        break;
    case VehicleChecks::Field::ActualDate:
        break;
    }
    return rejectField(problem->message, field);
}

qint32 CVehicleView::writeRecord(qint32 key)
{
    m_saved.reset();
    const VehicleRecord::Saved saved =
        values().save(app().database(), key, key == 0 ? m_duplicate : DuplicateCopies{});
    m_saved = saved;
    return saved.vehicleId;
}

void CVehicleView::recordSaved(qint32 key)
{
    const std::optional<VehicleRecord::Saved> saved = std::exchange(m_saved, std::nullopt);
    m_duplicate = {};
    selectorLabel()->setVisible(true);
    app().setCurrentVehicle(key);
    if (!saved || !saved->estimated || !saved->reestimated)
        return;
    Settings& settings = app().settings();
    if (settings.integer(MessagesSection, EstimateNoteKey) == 0)
        return;
    // The labels of the values just saved; after a save before continuing the screen may move on.
    const VehicleLabels words = VehicleLabels::of(measurement(), m_hours->isChecked(), true);
    if (!app().prompter().note(Messages::ReadingEstimatedNote.arg(words.actualDate, words.reading)))
        settings.setInteger(MessagesSection, EstimateNoteKey, 0);
}

bool CVehicleView::removeRecord(qint32 key)
{
    if (!app().prompter().yesNoDefaultNo(Messages::DeleteVehicleQuestion))
        return false;
    RecordDeletion::deleteVehicle(app().database(), key);
    app().setCurrentVehicle(0);
    return true;
}

void CVehicleView::commandDuplicate()
{
    if (!canDuplicate())
        return;
    CDuplicateVehicleDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted && app().prompter().yesNoDefaultNo(Messages::CancelDuplicationQuestion))
        return;
    DuplicateCopies copies = dialog.choices();
    copies.sourceVehicleId = currentKey();
    m_duplicate = copies;
    CRecordForm::commandDuplicate();
}

void CVehicleView::modeChanged(Mode mode)
{
    // The selector names the source while a duplicate is entered; its label would say otherwise.
    selectorLabel()->setVisible(!(mode == Mode::AddNew && m_duplicate.sourceVehicleId != 0));
}

void CVehicleView::editPurchase()
{
    const bool browsing = mode() == Mode::Browse;
    const qint32 reading = Values::parseWholeNumber(m_reading->text());
    CPurchaseDialog dialog(m_purchase, labels().readingName, reading == Values::ParseError ? 0 : reading,
                           browsing, app().prompter(), this);
    if (dialog.exec() != QDialog::Accepted || browsing)
        return;
    const PurchaseInfo changed = dialog.values();
    // OK without a change leaves nothing to save.
    if (changed == m_purchase)
        return;
    m_purchase = changed;
    markChanged();
}

void CVehicleView::extendContextMenu(QMenu& menu)
{
    menu.addSeparator();
    QMenu* reports = menu.addMenu(QStringLiteral("&Reports"));
    QAction* vehicleList = reports->addAction(QStringLiteral("&Vehicle List"), this,
                                              [this] { Q_EMIT switchFormRequested(ReportForm, 0, 0); });
    vehicleList->setEnabled(frameOffers(ReportForm));
}

void CVehicleView::refreshLists(int hint)
{
    if (hint != GeneralHint && hint != OwnersHint && hint != DataRestoredHint)
        return;
    fillOwners(m_owner->currentIndex() >= 0 ? m_owner->currentData().toInt() : 0);
}
