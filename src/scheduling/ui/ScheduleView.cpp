#include "scheduling/ui/ScheduleView.h"

#include "context/AppContext.h"
#include "context/Enums.h"
#include "context/Settings.h"
#include "context/VelDoc.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/CompanyRecord.h"
#include "fleet/VehicleList.h"
#include "forms/DateField.h"
#include "forms/FormHost.h"
#include "forms/FormLayout.h"
#include "forms/FormMessages.h"
#include "forms/TypedCompany.h"
#include "scheduling/ScheduleEntries.h"
#include "scheduling/ScheduleTemplates.h"
#include "scheduling/ScheduleTexts.h"
#include "scheduling/SchedulingMessages.h"
#include "scheduling/ui/ScheduleTemplatesDlg.h"
#include "scheduling/ui/ServiceListDlg.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTimer>
#include <QTreeWidget>

namespace {

const char* const WidthNames[] = {"s0", "s1", "s2", "s3"};
constexpr int ServiceRole = Qt::UserRole + 1;

int offeredForm(const QWidget* form, int formNumber)
{
    const CFormHost* host = CFormHost::of(form);
    return host && host->hasForm(formNumber) ? formNumber : NoForm;
}

QString number(qint32 value)
{
    return Values::withThousands(qint64(value));
}

} // namespace

CScheduleView::CScheduleView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CRecordForm(app, doc, ScheduleForm,
                  {QStringLiteral("Browse Schedule"), QStringLiteral("Edit Schedule"),
                   QStringLiteral("Add New Schedule")},
                  parent)
{
    setSelectorLabel(QStringLiteral("Vehicles"), QStringLiteral("vehicleSelector"));
    setUpdateHints(GeneralHint, VehiclesHint);
    setNavigation(offeredForm(this, VehicleForm), offeredForm(this, LoanForm));
    if (auto* newButton = findChild<QPushButton*>(QStringLiteral("newButton")))
        newButton->setEnabled(false);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("serviceList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumHeight(m_list->fontMetrics().lineSpacing() * 10);
    m_list->setHeaderLabels({QStringLiteral("Service Type"), QStringLiteral("Service Description"),
                             ScheduleTexts::performEveryTitle(QStringLiteral("mi")),
                             ScheduleTexts::lastPerformedTitle(QStringLiteral("mi"))});
    // The stored widths, but never so narrow that a title is cut.
    for (int column = 0; column < 4; ++column)
        m_list->setColumnWidth(column,
                               std::max(app.settings().integer(QStringLiteral("Settings"),
                                                               QString::fromLatin1(WidthNames[column])),
                                        m_list->header()->sectionSizeHint(column) + 12));
    m_list->installEventFilter(this);
    fieldGrid()->addWidget(m_list, 0, 0, 1, 4);
    // The list takes the height the window has to spare.
    growRow(0);

    auto* showBox = new QGroupBox(QStringLiteral("Show services"), this);
    auto* showRow = new QHBoxLayout(showBox);
    m_showAll = new QRadioButton(QStringLiteral("Show &All"), showBox);
    m_showAll->setObjectName(QStringLiteral("showAllRadio"));
    m_showUsed = new QRadioButton(QStringLiteral("Show &used"), showBox);
    m_showUsed->setObjectName(QStringLiteral("showUsedRadio"));
    showRow->addWidget(m_showAll);
    showRow->addWidget(m_showUsed);
    const bool showUsed =
        app.settings().integer(QStringLiteral("Settings"), QStringLiteral("SchedShow")) != 0;
    (showUsed ? m_showUsed : m_showAll)->setChecked(true);
    m_note = new QLabel(SchedulingMessages::BaseLineNote, this);
    m_note->setObjectName(QStringLiteral("baseLineNote"));
    // The note comes and goes with the list's rows; the buttons beside it stay where they are.
    QSizePolicy notePolicy = m_note->sizePolicy();
    notePolicy.setRetainSizeWhenHidden(true);
    m_note->setSizePolicy(notePolicy);
    m_modifyButton = new QPushButton(QStringLiteral("Modify Service List"), this);
    m_modifyButton->setObjectName(QStringLiteral("modifyServiceListButton"));
    m_templatesButton = new QPushButton(QStringLiteral("Schedule Templates"), this);
    m_templatesButton->setObjectName(QStringLiteral("scheduleTemplatesButton"));
    FormLayout::keepNaturalWidth(m_modifyButton);
    FormLayout::keepNaturalWidth(m_templatesButton);
    auto* listRow = FormLayout::buttonRow(this);
    listRow->addWidget(showBox);
    listRow->addWidget(m_note);
    listRow->addStretch(1);
    listRow->addWidget(m_modifyButton, 0, Qt::AlignBottom);
    listRow->addWidget(m_templatesButton, 0, Qt::AlignBottom);
    fieldGrid()->addLayout(listRow, 1, 0, 1, 4);

    m_interval =
        addLineField(QStringLiteral("Perform Every - Miles"), QStringLiteral("intervalField"), 9, 2, 0);
    m_months = addLineField(QStringLiteral("And Every Month"), QStringLiteral("monthsField"), 5, 2, 1);
    m_description = addLineField(QStringLiteral("Brief Desc."), QStringLiteral("briefDescription"),
                                 ScheduleEntries::DescriptionLength, 3, 0);
    m_days = addLineField(QStringLiteral("or Days"), QStringLiteral("daysField"), 5, 3, 1);
    m_station = new QComboBox(this);
    m_station->setObjectName(QStringLiteral("serviceStation"));
    m_station->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_station->setMinimumContentsLength(28);
    m_company = makeCompanyBox(*m_station, ScheduleCaller);
    addField(QStringLiteral("Service Station"), m_station, 4, 0);
    m_frequency = new QComboBox(this);
    m_frequency->setObjectName(QStringLiteral("frequency"));
    m_frequency->addItems({QStringLiteral("Normal Schedule"), QStringLiteral("One Time Schedule")});
    addField(QStringLiteral("Frequency"), m_frequency, 4, 1);
    m_baseReading =
        addLineField(QStringLiteral("Base Line - Miles"), QStringLiteral("baseLineReading"), 9, 5, 0);
    auto* dateField = new CDateField(this);
    dateField->setObjectName(QStringLiteral("baseLineDate"));
    m_baseDate = dateField;
    m_baseDateLabel = addField(QStringLiteral("Base Line - Date"), m_baseDate, 5, 1);
    m_updateBaseLine = new QPushButton(QStringLiteral("&Update Base Line"), this);
    m_updateBaseLine->setObjectName(QStringLiteral("updateBaseLineButton"));
    m_updateBaseLine->setAutoDefault(true);
    FormLayout::keepNaturalWidth(m_updateBaseLine);
    fieldGrid()->addWidget(m_updateBaseLine, 5, 0, 1, 2, Qt::AlignLeft);
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->buddy() == m_interval)
            m_intervalLabel = label;
        else if (label->buddy() == m_baseReading)
            m_baseReadingLabel = label;
    }
    m_interval->installEventFilter(this);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &CScheduleView::onRowChanged);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CScheduleView::commandEdit);
    connect(m_showAll, &QRadioButton::clicked, this, &CScheduleView::onShowChanged);
    connect(m_showUsed, &QRadioButton::clicked, this, &CScheduleView::onShowChanged);
    connect(m_modifyButton, &QPushButton::clicked, this, &CScheduleView::modifyServiceList);
    connect(m_templatesButton, &QPushButton::clicked, this, &CScheduleView::scheduleTemplates);
    connect(m_updateBaseLine, &QPushButton::clicked, this, [this] {
        showBaseLine(true);
        m_baseReading->setFocus();
    });
    connect(this, &CFormView::commandStateChanged, this, &CScheduleView::updateListState);
    showBaseLine(false);
}

CScheduleView::~CScheduleView()
{
    for (int column = 0; column < 4; ++column)
        app().settings().setInteger(QStringLiteral("Settings"), QString::fromLatin1(WidthNames[column]),
                                    m_list->columnWidth(column));
}

void CScheduleView::hideEvent(QHideEvent* event)
{
    for (int column = 0; column < 4; ++column)
        app().settings().setInteger(QStringLiteral("Settings"), QString::fromLatin1(WidthNames[column]),
                                    m_list->columnWidth(column));
    CRecordForm::hideEvent(event);
}

QList<ListEntry> CScheduleView::selectorEntries()
{
    QList<ListEntry> entries;
    for (const VehicleList::Item& item : VehicleList::items(app().database(), app().vehicleColumns()))
        entries.append({item.text, item.vehicleId});
    return entries;
}

qint32 CScheduleView::initialKey()
{
    return app().currentVehicle();
}

QWidget* CScheduleView::firstField() const
{
    return m_interval;
}

void CScheduleView::setUnitWords(int measurement, int hoursInd)
{
    const QString word = Values::unitWord(measurement, hoursInd);
    const QString abbreviation = Values::unitAbbreviation(measurement, hoursInd);
    m_intervalLabel->setText(QStringLiteral("Perform Every - ") + word);
    m_baseReadingLabel->setText(QStringLiteral("Base Line - ") + word);
    m_list->headerItem()->setText(2, ScheduleTexts::performEveryTitle(abbreviation));
    m_list->headerItem()->setText(3, ScheduleTexts::lastPerformedTitle(abbreviation));
}

bool CScheduleView::loadRecord(qint32 key)
{
    if (!m_rowOnly) {
        if (key != app().currentVehicle())
            m_rowPosition = 0;
        app().setCurrentVehicle(key);
        QSqlQuery query = app().database().prepare(
            QStringLiteral("SELECT Measurement, HoursInd FROM Vehicles WHERE VehicleID = ?"));
        query.addBindValue(key);
        app().database().exec(query);
        if (!query.next())
            return false;
        setUnitWords(query.value(0).toInt(), query.value(1).toInt());
        fillList(key);
    }
    showRow();
    return true;
}

void CScheduleView::fillList(qint32 vehicleId)
{
    const std::vector<ScheduleEntries::ListRow> rows =
        ScheduleEntries::listRows(app().database(), vehicleId, m_showAll->isChecked());
    m_filling = true;
    m_list->clear();
    bool usedBaseLine = false;
    QTreeWidgetItem* chosen = nullptr;
    QList<QTreeWidgetItem*> items;
    for (const ScheduleEntries::ListRow& row : rows) {
        auto* item = new QTreeWidgetItem({row.serviceType, row.service, row.performEvery, row.lastPerformed});
        item->setData(0, Qt::UserRole, row.key);
        item->setData(0, ServiceRole, row.serviceId);
        usedBaseLine = usedBaseLine || row.fromBaseLine;
        if (row.key == m_rowKey)
            chosen = item;
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    FormLayout::widenColumnsToContents(*m_list);
    if (!chosen && !items.isEmpty())
        chosen = items.value(std::min<qsizetype>(m_rowPosition, items.size() - 1));
    m_list->setCurrentItem(chosen);
    m_rowKey = chosen ? chosen->data(0, Qt::UserRole).toInt() : 0;
    m_rowPosition = chosen ? m_list->indexOfTopLevelItem(chosen) : 0;
    m_note->setVisible(usedBaseLine);
    m_filling = false;
}

void CScheduleView::showBaseLine(bool shown)
{
    m_baseReading->setVisible(shown);
    m_baseReadingLabel->setVisible(shown);
    m_baseDate->setVisible(shown);
    m_baseDateLabel->setVisible(shown);
    m_updateBaseLine->setVisible(!shown && m_rowKey > 0);
}

void CScheduleView::showRow()
{
    std::optional<ScheduleEntries::Entry> entry;
    if (m_rowKey > 0)
        entry = ScheduleEntries::find(app().database(), m_rowKey);
    if (m_rowKey < 0 || (m_rowKey > 0 && !entry)) {
        // A service not scheduled yet: its defaults, with the base line of today.
        entry = ScheduleEntries::Entry();
        entry->lastDate = Values::todayStored();
    }
    if (!entry) {
        clearFields();
        return;
    }
    m_interval->setText(number(entry->everyMiles));
    m_months->setText(number(entry->everyMonth));
    m_days->setText(number(entry->everyDay));
    m_baseReading->setText(number(entry->lastMiles));
    m_baseDate->setText(Values::toShownDate(entry->lastDate));
    m_description->setText(entry->description);
    m_company->show(entry->stationId);
    m_storedFrequency = entry->performOnce;
    m_frequency->setCurrentIndex(
        entry->performOnce >= 0 && entry->performOnce < m_frequency->count() ? entry->performOnce : -1);
    showBaseLine(entry->scheduleId == 0);
}

void CScheduleView::clearFields()
{
    for (QLineEdit* field : {m_interval, m_months, m_days, m_baseReading, m_baseDate, m_description})
        field->clear();
    m_company->show(0);
    m_frequency->setCurrentIndex(0);
    m_storedFrequency = 0;
    showBaseLine(false);
    m_updateBaseLine->hide();
}

void CScheduleView::recordMissing(qint32 key)
{
    Q_UNUSED(key);
    m_filling = true;
    m_list->clear();
    m_filling = false;
    m_rowKey = 0;
    CRecordForm::recordMissing(key);
}

void CScheduleView::modeChanged(Mode mode)
{
    Q_UNUSED(mode);
    // The selector picks the vehicle, never an entry.
    selector()->setEnabled(true);
    updateListState();
}

void CScheduleView::updateListState()
{
    const bool free = !hasUnsavedChanges();
    for (QWidget* widget : {static_cast<QWidget*>(m_list), static_cast<QWidget*>(m_modifyButton),
                            static_cast<QWidget*>(m_showAll), static_cast<QWidget*>(m_showUsed),
                            static_cast<QWidget*>(m_templatesButton)})
        widget->setEnabled(free);
}

void CScheduleView::onRowChanged()
{
    if (m_filling)
        return;
    QTreeWidgetItem* item = m_list->currentItem();
    const qint32 key = item ? item->data(0, Qt::UserRole).toInt() : 0;
    const bool hadChanges = hasUnsavedChanges();
    if (hadChanges && !resolveUnsavedChanges()) {
        m_filling = true;
        for (int row = 0; row < m_list->topLevelItemCount(); ++row)
            if (m_list->topLevelItem(row)->data(0, Qt::UserRole).toInt() == m_rowKey)
                m_list->setCurrentItem(m_list->topLevelItem(row));
        m_filling = false;
        return;
    }
    m_rowKey = key;
    m_rowPosition = item ? m_list->indexOfTopLevelItem(item) : 0;
    // After a save the list is read again, since the row left behind has changed.
    m_rowOnly = !hadChanges;
    try {
        loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
    }
    m_rowOnly = false;
}

void CScheduleView::reloadList()
{
    if (hasUnsavedChanges())
        return;
    try {
        loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CScheduleView::onShowChanged()
{
    app().settings().setInteger(QStringLiteral("Settings"), QStringLiteral("SchedShow"),
                                m_showUsed->isChecked() ? 1 : 0);
    reloadList();
}

void CScheduleView::commandEdit()
{
    if (m_rowKey == 0)
        return;
    CRecordForm::commandEdit();
}

bool CScheduleView::validateFields()
{
    if (!resolveCompany())
        return false;
    ScheduleEntries::Typed typed{m_interval->text(), m_months->text(), m_days->text(), m_baseReading->text(),
                                 m_baseDate->text()};
    ScheduleEntries::Entry entry;
    const ScheduleEntries::Problem problem = ScheduleEntries::check(typed, entry);
    {
        QuietEdits quiet(*this);
        m_months->setText(typed.months);
        m_days->setText(typed.days);
        m_baseDate->setText(typed.baseLineDate);
    }
    const QString intervalLabel = m_intervalLabel->text();
    switch (problem) {
    case ScheduleEntries::Problem::None:
        return true;
    case ScheduleEntries::Problem::Interval:
        return rejectField(Values::fieldMessage(SchedulingMessages::IntervalRange, intervalLabel),
                           m_interval);
    case ScheduleEntries::Problem::Months:
        return rejectField(SchedulingMessages::MonthsRange, m_months);
    case ScheduleEntries::Problem::Days:
        return rejectField(SchedulingMessages::DaysRange, m_days);
    case ScheduleEntries::Problem::AllZero:
        if (m_rowKey <= 0)
            return rejectField(Values::fieldMessage(SchedulingMessages::IntervalNeeded, intervalLabel),
                               m_days);
        if (app().prompter().yesNoDefaultNo(
                Values::fieldMessage(SchedulingMessages::AllZeroDeleteQuestion, intervalLabel))) {
            try {
                ScheduleEntries::remove(app().database(), m_rowKey);
            } catch (const CdbException& error) {
                showError(error.description());
                return false;
            }
            m_rowKey = -m_list->currentItem()->data(0, ServiceRole).toInt();
            commandReset();
            document().updateAllViews(GeneralHint);
        }
        return false;
    case ScheduleEntries::Problem::MonthsAndDays:
        return rejectField(SchedulingMessages::MonthsOrDays, m_days);
    case ScheduleEntries::Problem::BaseLineReading:
        return rejectField(
            Values::fieldMessage(SchedulingMessages::BaseLineRange, m_baseReadingLabel->text()),
            m_baseReading);
    case ScheduleEntries::Problem::BaseLineDate:
        return rejectField(Messages::DateInvalid, m_baseDate);
    }
    return false;
}

qint32 CScheduleView::writeRecord(qint32 key)
{
    Q_UNUSED(key);
    ScheduleEntries::Typed typed{m_interval->text(), m_months->text(), m_days->text(), m_baseReading->text(),
                                 m_baseDate->text()};
    ScheduleEntries::Entry entry;
    ScheduleEntries::check(typed, entry);
    // The entry belongs to the vehicle on screen, also when the selector has already moved on.
    entry.vehicleId = currentKey();
    entry.scheduleId = m_rowKey > 0 ? m_rowKey : 0;
    entry.serviceId = m_rowKey < 0 ? -m_rowKey : m_list->currentItem()->data(0, ServiceRole).toInt();
    entry.description = m_description->text();
    entry.stationId = m_company->companyKey();
    // A frequency this form does not offer (from an old file) stays as stored.
    entry.performOnce =
        m_frequency->currentIndex() >= 0 ? qint16(m_frequency->currentIndex()) : m_storedFrequency;
    m_rowKey = ScheduleEntries::save(app().database(), entry);
    return currentKey();
}

bool CScheduleView::removeRecord(qint32 key)
{
    Q_UNUSED(key);
    if (m_rowKey <= 0 || !app().prompter().yesNoDefaultNo(SchedulingMessages::DeleteScheduleQuestion))
        return false;
    const qint32 serviceId = m_list->currentItem()->data(0, ServiceRole).toInt();
    ScheduleEntries::remove(app().database(), m_rowKey);
    m_rowKey = -serviceId;
    return true;
}

void CScheduleView::extendContextMenu(QMenu& menu)
{
    const QList<QAction*> actions = menu.actions();
    for (int i = 0; i < actions.size(); ++i) {
        QAction* action = actions[i];
        if (action->text() == QLatin1String("New")) {
            action->setEnabled(false);
        } else if (action->text() == QLatin1String("Delete")) {
            if (m_rowKey > 0) {
                action->setText(QStringLiteral("Unsche&dule"));
            } else {
                menu.removeAction(actions[i - 1]);
                menu.removeAction(action);
            }
        }
    }
}

void CScheduleView::refreshLists(int hint)
{
    if (hint == GeneralHint || hint == ServiceListHint)
        reloadList();
}

void CScheduleView::showAgain(int, int)
{
    // The vehicle may have been changed on another form.
    fillSelector(app().currentVehicle());
    loadSelected();
}

void CScheduleView::modifyServiceList()
{
    CServiceListDlg dialog(app().database(), app().prompter(), this);
    connect(&dialog, &CServiceListDlg::serviceListChanged, this,
            [this] { document().updateAllViews(ServiceListHint); });
    dialog.exec();
}

void CScheduleView::scheduleTemplates()
{
    CScheduleTemplatesDlg dialog(app().database(), app().prompter(), currentKey(), m_rememberedTemplate,
                                 this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_rememberedTemplate = dialog.templateId();
    if (!dialog.usesTemplate()) {
        if (CFormHost* host = CFormHost::of(this))
            host->showStatus(
                Messages::SavedTo.arg(QStringLiteral("this schedule"),
                                      QStringLiteral("template \"%1\"").arg(dialog.templateName())));
        return;
    }
    try {
        ScheduleTemplates::apply(app().database(), dialog.templateId(), currentKey());
    } catch (const CdbException& error) {
        showError(error.description());
    }
    reloadList();
    document().updateAllViews(GeneralHint);
}

bool CScheduleView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_interval && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_interval, &QLineEdit::selectAll);
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        commandDelete();
        return true;
    }
    return CRecordForm::eventFilter(watched, event);
}

QString CScheduleView::missingParentMessage()
{
    // The record is the vehicle's schedule: changes typed for it go when the vehicle is deleted meanwhile
    // (with its owner, say, while the form was away on the company form).
    if (currentKey() == 0 ||
        !app()
             .database()
             .scalar(QStringLiteral("SELECT 1 FROM Vehicles WHERE VehicleID = %1").arg(currentKey()))
             .isNull())
        return {};
    return FormMessages::VehicleDeleted;
}
