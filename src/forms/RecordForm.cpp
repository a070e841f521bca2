#include "forms/RecordForm.h"

#include "context/AppContext.h"
#include "context/Enums.h"
#include "context/VelDoc.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "forms/FormLayout.h"
#include "forms/ReadOnlyLook.h"
#include "forms/TypedCompany.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// A file opened read-only (another window has it): every form stays in Browse. The context is the
// program's; asking it changes nothing.
bool fileIsReadOnly(const CRecordForm& form)
{
    return const_cast<CRecordForm&>(form).app().database().isReadOnly();
}

// A line field as wide as its longest text (up to a point), so that a postal code looks shorter than a
// street; it still shrinks with a narrow window.
class FieldLineEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

    QSize sizeHint() const override
    {
        QSize size = QLineEdit::sizeHint();
        // A few standard widths keep the fields' right edges in line.
        const int length = maxLength();
        const int characters = length <= 5 ? 6 : length <= 12 ? 12 : length <= 20 ? 20 : 34;
        size.setWidth(fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('X'))) + 14);
        return size;
    }
    // Short fields (dates, numbers, codes) are never narrower than their text; long ones may shrink.
    QSize minimumSizeHint() const override
    {
        return maxLength() <= 12 ? sizeHint() : QLineEdit::minimumSizeHint();
    }
};

void setUpFieldGrid(QGridLayout* grid)
{
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(7);
}

bool layoutHolds(QLayout* layout, const QWidget* widget)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() && (item->widget() == widget || item->widget()->isAncestorOf(widget)))
            return true;
        if (item->layout() && layoutHolds(item->layout(), widget))
            return true;
    }
    return false;
}

// Where the widget stands in the reading order of a grid of two columns of label and field: rows that
// span both columns (a memo, a list, a box of fields across the form) stand on their own and divide the
// grid into bands; within a band the first column is read down before the second. A widget inside a box
// of fields continues with its place in the box. Empty when the grid does not hold the widget.
QList<int> readingPlace(QGridLayout* grid, const QWidget* widget)
{
    QSet<int> wholeRows;
    for (int i = 0; i < grid->count(); ++i) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        if (column <= 1 && column + columnSpan - 1 >= 2)
            for (int r = row; r < row + rowSpan; ++r)
                wholeRows.insert(r);
    }
    for (int i = 0; i < grid->count(); ++i) {
        QLayoutItem* item = grid->itemAt(i);
        QWidget* holder = item->widget();
        const bool holds = holder ? (holder == widget || holder->isAncestorOf(widget))
                                  : item->layout() && layoutHolds(item->layout(), widget);
        if (!holds)
            continue;
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        int wholeRowsAbove = 0;
        for (int r : std::as_const(wholeRows))
            if (r < row)
                ++wholeRowsAbove;
        const bool whole = wholeRows.contains(row);
        QList<int> place{2 * wholeRowsAbove + (whole ? 1 : 0), whole ? 0 : column / 2, row, column};
        if (holder && holder != widget)
            if (auto* inner = qobject_cast<QGridLayout*>(holder->layout()))
                place += readingPlace(inner, widget);
        return place;
    }
    return {};
}

} // namespace

CRecordForm::CRecordForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles, QWidget* parent)
    : CFormView(app, doc, formNumber, parent), m_titles(std::move(titles))
{
    // The form's content takes the whole window, inside the style's margins.
    auto* outer = new QVBoxLayout(this);
    FormLayout::setFormMargins(outer, this);

    auto* selectorRow = new QHBoxLayout;
    m_selectorLabel = new QLabel(this);
    m_selectorLabel->setObjectName(QStringLiteral("selectorLabel"));
    m_selector = new QComboBox(this);
    m_selector->setObjectName(QStringLiteral("recordSelector"));
    m_selector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_selector->setMinimumContentsLength(30);
    m_selector->setMaximumWidth(600);
    m_selectorLabel->setBuddy(m_selector);
    // A form may hide the label (a duplicate names its source there); the selector keeps its place.
    QSizePolicy labelPolicy = m_selectorLabel->sizePolicy();
    labelPolicy.setRetainSizeWhenHidden(true);
    m_selectorLabel->setSizePolicy(labelPolicy);
    QFont selectorFont = m_selectorLabel->font();
    selectorFont.setBold(true);
    m_selectorLabel->setFont(selectorFont);
    selectorRow->addWidget(m_selectorLabel);
    selectorRow->addWidget(m_selector, 3);
    selectorRow->addStretch(1);
    outer->addLayout(selectorRow);

    auto* commandRow = FormLayout::buttonRow(this);
    m_newButton = makeButton(QStringLiteral("New"), QStringLiteral("newButton"));
    m_editButton = makeButton(QStringLiteral("Edit"), QStringLiteral("editButton"));
    m_saveButton = makeButton(QStringLiteral("Save"), QStringLiteral("saveButton"));
    m_resetButton = makeButton(QStringLiteral("Reset"), QStringLiteral("resetButton"));
    m_deleteButton = makeButton(QStringLiteral("Delete"), QStringLiteral("deleteButton"));
    m_newButton->setToolTip(tr("Start a new record (Ctrl+N)"));
    m_editButton->setToolTip(tr("Change the record shown (Ctrl+E)"));
    m_saveButton->setToolTip(tr("Save the changes (Ctrl+S)"));
    m_resetButton->setToolTip(tr("Drop the changes and show the stored record"));
    m_deleteButton->setToolTip(tr("Delete the record shown"));
    for (QPushButton* button : {m_newButton, m_editButton, m_saveButton, m_resetButton})
        commandRow->addWidget(button);
    // Delete stands apart from the everyday commands.
    commandRow->addSpacing(2 * commandRow->spacing());
    commandRow->addWidget(m_deleteButton);
    commandRow->addStretch(1);
    outer->addLayout(commandRow);

    // The mode is the first thing to read on the form: a tinted band with the title.
    m_banner = new QLabel(this);
    m_banner->setObjectName(QStringLiteral("modeTitle"));
    QFont bannerFont = m_banner->font();
    bannerFont.setBold(true);
    bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.35);
    m_banner->setFont(bannerFont);
    // Colours from the palette, so that a dark desktop shows the band as clearly as a light one.
    m_banner->setStyleSheet(
        QStringLiteral("QLabel { color: palette(window-text); background: palette(alternate-base); "
                       "padding: 5px 10px; border-left: 5px solid palette(highlight); }"));
    outer->addSpacing(4);
    outer->addWidget(m_banner);
    outer->addSpacing(4);

    m_fieldGrid = new QGridLayout;
    setUpFieldGrid(m_fieldGrid);
    outer->addLayout(m_fieldGrid);
    // The space left over goes to the comments when the form has them (see addMemoField), else below the
    // fields, so that the buttons stay at the bottom.
    m_contentLayout = outer;
    outer->addStretch(1);

    auto* navigationRow = FormLayout::buttonRow(this);
    m_navigationRow = navigationRow;
    navigationRow->addStretch(1);
    m_backButton = makeButton(QStringLiteral("&Back"), QStringLiteral("backButton"));
    m_nextButton = makeButton(QStringLiteral("&Next"), QStringLiteral("nextButton"));
    m_homeButton = makeButton(QStringLiteral("Home"), QStringLiteral("homeButton"));
    for (QPushButton* button : {m_backButton, m_nextButton, m_homeButton})
        navigationRow->addWidget(button);
    outer->addLayout(navigationRow);

    connect(m_newButton, &QPushButton::clicked, this, &CRecordForm::commandNew);
    connect(m_editButton, &QPushButton::clicked, this, &CRecordForm::commandEdit);
    connect(m_saveButton, &QPushButton::clicked, this, &CRecordForm::commandSave);
    connect(m_resetButton, &QPushButton::clicked, this, &CRecordForm::commandReset);
    connect(m_deleteButton, &QPushButton::clicked, this, &CRecordForm::commandDelete);
    connect(m_backButton, &QPushButton::clicked, this, &CRecordForm::commandBack);
    connect(m_nextButton, &QPushButton::clicked, this, &CRecordForm::commandNext);
    connect(m_homeButton, &QPushButton::clicked, this, &CRecordForm::commandHome);
    connect(m_selector, &QComboBox::currentIndexChanged, this, &CRecordForm::onSelectorChanged);

    setMode(Mode::Browse);
}

CRecordForm::~CRecordForm() = default;

QPushButton* CRecordForm::makeButton(const QString& text, const QString& objectName)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    FormLayout::keepNaturalWidth(button);
    return button;
}

QString CRecordForm::modeTitle() const
{
    switch (m_mode) {
    case Mode::Browse:
        return m_titles.browse;
    case Mode::Edit:
        return m_titles.edit;
    case Mode::AddNew:
        return m_titles.addNew;
    }
    return {};
}

qint32 CRecordForm::selectedKey() const
{
    return m_selector->currentIndex() < 0 ? 0 : m_selector->currentData().toInt();
}

void CRecordForm::setSelectorLabel(const QString& label, const QString& objectName)
{
    m_selectorLabel->setText(label);
    m_selector->setObjectName(objectName);
}

void CRecordForm::addNavigationButton(QPushButton* button)
{
    m_navigationRow->addWidget(button);
}

void CRecordForm::setNavigation(int backForm, int nextForm)
{
    m_backForm = backForm;
    m_nextForm = nextForm;
    updateCommandStates();
}

void CRecordForm::setUpdateHints(int changeHint, int selectorHint)
{
    m_changeHint = changeHint;
    m_selectorHint = selectorHint;
}

QLineEdit* CRecordForm::addLineField(const QString& label, const QString& objectName, int maxLength, int row,
                                     int column, int columnSpan)
{
    auto* edit = new FieldLineEdit(this);
    edit->setObjectName(objectName);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    addField(label, edit, row, column, columnSpan);
    return edit;
}

QPlainTextEdit* CRecordForm::addMemoField(const QString& label, const QString& objectName, int row,
                                          int column, int columnSpan)
{
    auto* memo = new QPlainTextEdit(this);
    memo->setObjectName(objectName);
    memo->setTabChangesFocus(true);
    // Comments wrap at the edge of the box; they never need a sideways scroll.
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setMinimumHeight(memo->fontMetrics().lineSpacing() * 4);
    addField(label, memo, row, column, columnSpan);
    // A taller window gives more lines to the comments.
    if (!m_groupGrid)
        growRow(row);
    return memo;
}

void CRecordForm::growRow(int row, int share)
{
    m_fieldGrid->setRowStretch(row, share);
    m_contentLayout->setStretchFactor(m_fieldGrid, 1);
    m_contentLayout->setStretch(m_contentLayout->indexOf(m_fieldGrid) + 1, 0);
}

QLabel* CRecordForm::addField(const QString& label, QWidget* field, int row, int column, int columnSpan)
{
    if (field->parent() != this)
        field->setParent(this);
    QGridLayout* grid = m_groupGrid ? m_groupGrid : m_fieldGrid;
    const bool tall = qobject_cast<QPlainTextEdit*>(field) || qobject_cast<QTextEdit*>(field);
    QLabel* caption = nullptr;
    if (!label.isEmpty()) {
        caption = new QLabel(label, this);
        caption->setBuddy(field);
        // A little air between the first column's fields and the second column's labels.
        if (column > 0)
            caption->setContentsMargins(14, 0, 0, 0);
        grid->addWidget(caption, row, column * 2, Qt::AlignLeft | (tall ? Qt::AlignTop : Qt::AlignVCenter));
    }
    // Short fields keep their own width at the start of their cell; boxes of text take all of it.
    const bool sizedToContent = qobject_cast<QLineEdit*>(field) || qobject_cast<QComboBox*>(field) ||
                                qobject_cast<QAbstractButton*>(field);
    grid->addWidget(field, row, column * 2 + 1, 1, columnSpan * 2 - 1,
                    sizedToContent ? Qt::AlignLeft | Qt::AlignVCenter : Qt::Alignment());
    registerField(field);
    return caption;
}

QGroupBox* CRecordForm::beginFieldGroup(const QString& title, const QString& objectName, int row, int column,
                                        int rowSpan, int columnSpan)
{
    auto* group = new QGroupBox(title, this);
    group->setObjectName(objectName);
    m_groupGrid = new QGridLayout(group);
    setUpFieldGrid(m_groupGrid);
    m_fieldGrid->addWidget(group, row, column * 2, rowSpan, columnSpan * 2);
    return group;
}

void CRecordForm::endFieldGroup()
{
    m_groupGrid = nullptr;
}

void CRecordForm::registerField(QWidget* field)
{
    if (m_fields.contains(field))
        return;
    m_fields.append(field);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        connect(edit, &QLineEdit::textChanged, this, &CRecordForm::onFieldEdited);
        // A field that stops taking characters says so: its tip names the limit and a key past it beeps.
        if (edit->maxLength() < QLineEdit().maxLength()) {
            if (edit->toolTip().isEmpty())
                edit->setToolTip(tr("At most %1 characters").arg(edit->maxLength()));
            edit->installEventFilter(this);
        }
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(field)) {
        connect(memo, &QPlainTextEdit::textChanged, this, &CRecordForm::onFieldEdited);
    } else if (auto* rich = qobject_cast<QTextEdit*>(field)) {
        connect(rich, &QTextEdit::textChanged, this, &CRecordForm::onFieldEdited);
    } else if (auto* list = qobject_cast<QComboBox*>(field)) {
        connect(list, &QComboBox::currentIndexChanged, this, &CRecordForm::onFieldEdited);
        if (list->isEditable())
            connect(list, &QComboBox::editTextChanged, this, &CRecordForm::onFieldEdited);
    } else if (auto* button = qobject_cast<QAbstractButton*>(field)) {
        connect(button, &QAbstractButton::clicked, this, &CRecordForm::onFieldEdited);
    } else if (auto* spin = qobject_cast<QSpinBox*>(field)) {
        connect(spin, &QSpinBox::valueChanged, this, &CRecordForm::onFieldEdited);
    } else if (auto* doubleSpin = qobject_cast<QDoubleSpinBox*>(field)) {
        connect(doubleSpin, &QDoubleSpinBox::valueChanged, this, &CRecordForm::onFieldEdited);
    } else if (auto* dateTime = qobject_cast<QDateTimeEdit*>(field)) {
        connect(dateTime, &QDateTimeEdit::dateTimeChanged, this, &CRecordForm::onFieldEdited);
    }
    applyMode(field);
}

bool CRecordForm::rejectField(const QString& message, QWidget* field)
{
    app().prompter().message(message, Prompter::Icon::Exclamation);
    if (field)
        field->setFocus(Qt::OtherFocusReason);
    return false;
}

void CRecordForm::showError(const QString& description)
{
    app().prompter().message(description, Prompter::Icon::Exclamation);
}

void CRecordForm::onFieldEdited()
{
    // In Browse the user cannot change a field, so a change there is the form showing values.
    if (m_quietDepth > 0 || m_mode == Mode::Browse)
        return;
    markChanged();
}

void CRecordForm::markChanged()
{
    m_unsaved = true;
    if (m_newRecord)
        m_nextAvailable = true;
    updateCommandStates();
}

void CRecordForm::setMode(Mode mode)
{
    // A file opened read-only (another window has it) is only browsed.
    if (fileIsReadOnly(*this))
        mode = Mode::Browse;
    m_mode = mode;
    for (QWidget* field : std::as_const(m_fields))
        applyMode(field);
    m_selector->setEnabled(mode != Mode::AddNew);
    m_banner->setText(modeTitle());
    modeChanged(mode);
    updateCommandStates();
}

void CRecordForm::applyMode(QWidget* field)
{
    // Browse shows edit fields read-only (their text can still be selected and copied) on the window's
    // colour, so that the user sees they must choose Edit first; lists, check boxes and spin boxes are
    // disabled.
    const bool writable = m_mode != Mode::Browse;
    if (qobject_cast<QLineEdit*>(field) || qobject_cast<QPlainTextEdit*>(field) ||
        qobject_cast<QTextEdit*>(field))
        showAsReadOnly(field, !writable);
    else
        field->setEnabled(writable);
}

void CRecordForm::setMarker(Marker marker)
{
    m_newButton->setDefault(marker == Marker::New);
    m_editButton->setDefault(marker == Marker::Edit);
    m_saveButton->setDefault(marker == Marker::Save);
}

QPushButton* CRecordForm::markedButton() const
{
    for (QPushButton* button : {m_newButton, m_saveButton, m_editButton})
        if (button->isDefault())
            return button;
    return nullptr;
}

void CRecordForm::updateCommandStates()
{
    m_saveButton->setEnabled(canSave());
    m_resetButton->setEnabled(canReset());
    m_editButton->setEnabled(canEdit());
    m_deleteButton->setEnabled(canDelete());
    m_backButton->setEnabled(m_backForm != 0);
    m_nextButton->setEnabled(m_nextForm != 0 && m_nextAvailable);
    Q_EMIT commandStateChanged();
}

bool CRecordForm::canNew() const
{
    return !fileIsReadOnly(*this);
}

bool CRecordForm::canEdit() const
{
    return !m_newRecord && !fileIsReadOnly(*this);
}

bool CRecordForm::canDuplicate() const
{
    return offersDuplicate() && !fileIsReadOnly(*this) && !m_newRecord && !m_unsaved &&
           m_selector->currentIndex() >= 0;
}

bool CRecordForm::canDelete() const
{
    return offersDelete() && !fileIsReadOnly(*this) && !m_newRecord && !m_unsaved &&
           m_selector->currentIndex() >= 0;
}

void CRecordForm::focusFirstField()
{
    if (QWidget* field = firstField())
        field->setFocus(Qt::OtherFocusReason);
}

void CRecordForm::showEvent(QShowEvent* event)
{
    CFormView::showEvent(event);
    if (!m_initialised)
        initialise();
}

void CRecordForm::initialise()
{
    m_initialised = true;
    setupTabOrder();
    try {
        fillSelector(initialKey());
        loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CRecordForm::setupTabOrder()
{
    // Everything Tab reaches among the fields, in reading order: the form's own widgets in the field grid
    // (not the parts of a combined widget, such as a combo box's line), then any field placed elsewhere.
    struct Stop
    {
        QList<int> place;
        QWidget* widget;
    };
    QList<Stop> stops;
    for (QWidget* widget : findChildren<QWidget*>()) {
        // A field keeps its place while it is out of the tab order for a while (a read-only distance).
        if (!(widget->focusPolicy() & Qt::TabFocus) && !m_fields.contains(widget))
            continue;
        bool part = false;
        for (QWidget* up = widget->parentWidget(); up && up != this; up = up->parentWidget())
            part = part || !(qobject_cast<QGroupBox*>(up) || up->metaObject() == &QWidget::staticMetaObject);
        const QList<int> place = part ? QList<int>() : readingPlace(m_fieldGrid, widget);
        if (!place.isEmpty())
            stops.append({place, widget});
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Stop& a, const Stop& b) { return a.place < b.place; });
    QList<QWidget*> chain{m_selector};
    for (const Stop& stop : std::as_const(stops))
        chain.append(stop.widget);
    for (QWidget* field : std::as_const(m_fields))
        if (!chain.contains(field))
            chain.append(field);
    chain += {m_newButton,    m_editButton, m_saveButton, m_resetButton,
              m_deleteButton, m_backButton, m_nextButton, m_homeButton};
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void CRecordForm::enter(int a, int b)
{
    if (!m_initialised) {
        initialise();
        return;
    }
    try {
        if (m_company && a == CompanyForm) {
            m_company->takeReturned(b);
            return;
        }
        // Values being typed stay as they are, whatever happened elsewhere.
        if (!m_unsaved)
            showAgain(a, b);
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CRecordForm::showAgain(int, int)
{
    // The list is kept current by the update hints; select the wanted row and bring the record up to date.
    if (m_newRecord)
        return;
    const qint32 wanted = initialKey();
    selectQuietly(wanted != 0 ? wanted : m_currentKey);
    updateCommandStates();
    loadSelected();
}

CTypedCompany* CRecordForm::makeCompanyBox(QComboBox& box, int callerCode)
{
    m_company = new CTypedCompany(*this, box, callerCode);
    return m_company;
}

bool CRecordForm::resolveCompany()
{
    if (!m_company || m_company->resolve())
        return true;
    // Unless the company form has taken over (the user chose to fill in the new company first).
    if (isVisible())
        m_company->box().setFocus(Qt::OtherFocusReason);
    return false;
}

void CRecordForm::onDocumentUpdate(int hint)
{
    if (m_notifying || !m_initialised)
        return;
    try {
        if (hint == DataRestoredHint) {
            // The file under the form was replaced: what was on screen no longer belongs to it.
            m_newRecord = false;
            m_unsaved = false;
            fillSelector(0);
            loadSelected();
        } else if (hint == GeneralHint || hint == m_selectorHint) {
            fillSelector(selectedKey());
            const bool dropped = m_unsaved && dropChangesOfOrphan();
            if (!dropped && !m_unsaved && !m_newRecord && selectedKey() != m_currentKey)
                loadSelected();
        }
        if (m_company && (hint == GeneralHint || hint == CompanyAddedHint || hint == DataRestoredHint))
            m_company->refresh();
        refreshLists(hint);
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CRecordForm::fillList(QComboBox* list, const QList<ListEntry>& entries, qint32 keyToSelect)
{
    QuietEdits quiet(*this);
    list->clear();
    for (const ListEntry& entry : entries)
        list->addItem(entry.text, entry.key);
    list->setCurrentIndex(indexToSelect(entries, keyToSelect));
}

void CRecordForm::fillSelector(qint32 keyToSelect)
{
    const QList<ListEntry> entries = selectorEntries();
    m_fillingSelector = true;
    fillList(m_selector, entries, keyToSelect);
    m_fillingSelector = false;
    updateCommandStates();
}

void CRecordForm::selectQuietly(qint32 key)
{
    m_fillingSelector = true;
    const int index = m_selector->findData(key);
    m_selector->setCurrentIndex(index >= 0 ? index : (m_selector->count() > 0 ? 0 : -1));
    m_fillingSelector = false;
}

void CRecordForm::loadSelected()
{
    if (m_selector->currentIndex() < 0) {
        m_nextAvailable = false;
        m_currentKey = 0;
        startNewRecord();
        return;
    }
    const qint32 key = selectedKey();
    bool found = false;
    {
        QuietEdits quiet(*this);
        found = loadRecord(key);
    }
    m_currentKey = key;
    m_newRecord = false;
    m_unsaved = false;
    m_nextAvailable = true;
    if (!found) {
        recordMissing(key);
        return;
    }
    setMode(Mode::Browse);
    setMarker(Marker::Edit);
}

void CRecordForm::recordMissing(qint32)
{
    {
        QuietEdits quiet(*this);
        clearFields();
    }
    setMode(Mode::Browse);
    setMarker(Marker::Edit);
}

void CRecordForm::startNewRecord()
{
    m_newRecord = true;
    {
        QuietEdits quiet(*this);
        clearFields();
    }
    m_unsaved = false;
    setMode(Mode::AddNew);
    focusFirstField();
    setMarker(Marker::Save);
}

bool CRecordForm::resolveUnsavedChanges()
{
    if (!m_unsaved)
        return true;
    switch (app().prompter().ask(Messages::ApplyChangesQuestion, Prompter::Icon::Question,
                                 Prompter::Buttons::YesNoCancel)) {
    case Prompter::Answer::Yes:
        return save(SaveKind::BeforeContinuing);
    case Prompter::Answer::No:
        m_unsaved = false;
        updateCommandStates();
        return true;
    default:
        return false;
    }
}

bool CRecordForm::dropChangesOfOrphan()
{
    const QString message = missingParentMessage();
    if (message.isEmpty())
        return false;
    m_newRecord = false;
    m_unsaved = false;
    loadSelected();
    app().prompter().message(message, Prompter::Icon::Exclamation);
    return true;
}

void CRecordForm::discardChanges()
{
    m_newRecord = false;
    m_unsaved = false;
    loadSelected();
}

void CRecordForm::onSelectorChanged(int)
{
    if (m_fillingSelector)
        return;
    if (!resolveUnsavedChanges()) {
        selectQuietly(m_currentKey);
        return;
    }
    try {
        loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

bool CRecordForm::canLeave(int targetForm)
{
    if (m_company)
        if (const std::optional<bool> decision = m_company->leaveCheck(targetForm))
            return *decision;
    if (!m_unsaved)
        return true;
    switch (app().prompter().ask(Messages::ApplyChangesQuestion, Prompter::Icon::Question,
                                 Prompter::Buttons::YesNoCancel)) {
    case Prompter::Answer::Yes:
        // The saved row stays current, so that the values on screen and the selected row agree should
        // the switch not happen after all.
        return save(SaveKind::Plain);
    case Prompter::Answer::No:
        try {
            discardChanges();
        } catch (const CdbException& error) {
            showError(error.description());
        }
        return true;
    default:
        return false;
    }
}

bool CRecordForm::save(SaveKind kind)
{
    focusFirstField();
    if (!m_unsaved) {
        if (!m_newRecord) {
            setMode(Mode::Browse);
            setMarker(Marker::Edit);
        }
        return true;
    }
    // A row is never written under a parent that has gone since the values were typed.
    try {
        if (dropChangesOfOrphan())
            return false;
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }
    if (!validateFields())
        return false;

    m_extraHints.clear();
    qint32 savedKey = 0;
    try {
        Transaction transaction(app().database());
        savedKey = writeRecord(m_newRecord ? 0 : m_currentKey);
        transaction.commit();
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }

    const qint32 keptKey = kind == SaveKind::Plain || selectedKey() == 0 ? savedKey : selectedKey();
    m_newRecord = false;
    m_unsaved = false;
    m_nextAvailable = true;
    try {
        fillSelector(keptKey);
        m_currentKey = selectedKey();
        if (kind == SaveKind::Plain) {
            QuietEdits quiet(*this);
            loadRecord(m_currentKey);
        }
    } catch (const CdbException& error) {
        showError(error.description());
    }
    notifyOthers();
    setMarker(Marker::New);
    setMode(Mode::Browse);
    recordSaved(m_currentKey);
    return true;
}

void CRecordForm::alsoNotify(int hint)
{
    if (!m_extraHints.contains(hint))
        m_extraHints.append(hint);
}

void CRecordForm::notifyOthers()
{
    QList<int> hints{m_changeHint};
    for (int hint : std::as_const(m_extraHints))
        if (!hints.contains(hint))
            hints.append(hint);
    m_extraHints.clear();
    m_notifying = true;
    for (int hint : hints)
        document().updateAllViews(hint);
    m_notifying = false;
}

void CRecordForm::commandNew()
{
    if (!resolveUnsavedChanges())
        return;
    startNewRecord();
}

void CRecordForm::commandSave()
{
    save(SaveKind::Plain);
}

void CRecordForm::commandEdit()
{
    if (m_newRecord)
        return;
    setMode(Mode::Edit);
    setMarker(Marker::Save);
    focusFirstField();
}

void CRecordForm::commandReset()
{
    if (!canReset())
        return;
    focusFirstField();
    try {
        discardChanges();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CRecordForm::commandDuplicate()
{
    if (!canDuplicate())
        return;
    m_newRecord = true;
    m_unsaved = false;
    {
        QuietEdits quiet(*this);
        prepareDuplicate();
    }
    setMode(Mode::AddNew);
    setMarker(Marker::Save);
    focusFirstField();
}

void CRecordForm::commandDelete()
{
    if (!canDelete())
        return;
    m_extraHints.clear();
    bool removed = false;
    try {
        removed = removeRecord(m_currentKey);
    } catch (const CdbException& error) {
        showError(error.description());
    }
    if (!removed)
        return;
    try {
        fillSelector(m_currentKey);
        loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
    }
    notifyOthers();
}

void CRecordForm::commandBack()
{
    if (m_backForm != 0)
        Q_EMIT switchFormRequested(m_backForm, 0, 0);
}

void CRecordForm::commandNext()
{
    if (m_nextForm != 0 && m_nextAvailable)
        Q_EMIT switchFormRequested(m_nextForm, 0, 0);
}

void CRecordForm::commandHome()
{
    Q_EMIT switchFormRequested(HomeForm, 0, 0);
}

QWidget* CRecordForm::focusedEdit() const
{
    QWidget* focused = focusWidget();
    if (qobject_cast<QLineEdit*>(focused) || qobject_cast<QPlainTextEdit*>(focused) ||
        qobject_cast<QTextEdit*>(focused))
        return focused;
    return nullptr;
}

namespace {

bool hasSelection(QWidget* edit)
{
    if (auto* line = qobject_cast<QLineEdit*>(edit))
        return line->hasSelectedText();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(edit))
        return memo->textCursor().hasSelection();
    if (auto* rich = qobject_cast<QTextEdit*>(edit))
        return rich->textCursor().hasSelection();
    return false;
}

bool isReadOnly(QWidget* edit)
{
    if (auto* line = qobject_cast<QLineEdit*>(edit))
        return line->isReadOnly();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(edit))
        return memo->isReadOnly();
    if (auto* rich = qobject_cast<QTextEdit*>(edit))
        return rich->isReadOnly();
    return true;
}

} // namespace

bool CRecordForm::canCut() const
{
    // Cutting from a read-only field could not remove the text, so it is offered only where Paste is.
    QWidget* edit = focusedEdit();
    return edit && hasSelection(edit) && !isReadOnly(edit);
}

bool CRecordForm::canCopy() const
{
    QWidget* edit = focusedEdit();
    return edit && hasSelection(edit);
}

bool CRecordForm::canPaste() const
{
    QWidget* edit = focusedEdit();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return edit && !isReadOnly(edit) && data && data->hasText();
}

// QLineEdit, QPlainTextEdit and QTextEdit all have cut, copy and paste slots.
void CRecordForm::commandCut()
{
    if (canCut())
        QMetaObject::invokeMethod(focusedEdit(), "cut");
}

void CRecordForm::commandCopy()
{
    if (canCopy())
        QMetaObject::invokeMethod(focusedEdit(), "copy");
}

void CRecordForm::commandPaste()
{
    if (canPaste())
        QMetaObject::invokeMethod(focusedEdit(), "paste");
}

bool CRecordForm::focusNextPane(bool forward)
{
    const auto canTakeFocus = [](QWidget* widget) {
        return widget->isVisibleTo(widget->window()) && widget->isEnabled() &&
               widget->focusPolicy() != Qt::NoFocus;
    };
    const QList<QList<QWidget*>> panes{
        {m_selector},
        m_fields,
        {m_newButton, m_editButton, m_saveButton, m_resetButton, m_deleteButton},
        {m_backButton, m_nextButton, m_homeButton},
    };
    QWidget* focused = focusWidget();
    // Anything of the form outside the other panes (a button beside a field) counts as the fields.
    int current = 1;
    for (int pane = 0; pane < panes.size(); ++pane)
        for (QWidget* widget : panes[pane])
            if (focused && (widget == focused || widget->isAncestorOf(focused)))
                current = pane;
    for (int step = 1; step < panes.size(); ++step) {
        const int pane = (current + (forward ? step : panes.size() - step)) % panes.size();
        for (QWidget* widget : panes[pane]) {
            if (canTakeFocus(widget)) {
                widget->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return true;
            }
        }
    }
    return false;
}

std::unique_ptr<QMenu> CRecordForm::createContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction(QStringLiteral("New"), this, &CRecordForm::commandNew);
    menu->addAction(QStringLiteral("Edit"), this, &CRecordForm::commandEdit)->setEnabled(canEdit());
    menu->addSeparator();
    menu->addAction(QStringLiteral("Save"), this, &CRecordForm::commandSave)->setEnabled(canSave());
    menu->addAction(QStringLiteral("Reset"), this, &CRecordForm::commandReset)->setEnabled(canReset());
    if (!m_newRecord && !m_unsaved) {
        menu->addSeparator();
        menu->addAction(QStringLiteral("Delete"), this, &CRecordForm::commandDelete)->setEnabled(canDelete());
    }
    extendContextMenu(*menu);
    return menu;
}

void CRecordForm::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu = createContextMenu();
    menu->exec(event->globalPos());
}

void CRecordForm::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        runEnterKey();
        event->accept();
        return;
    }
    CFormView::keyPressEvent(event);
}

bool CRecordForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (edit && !edit->isReadOnly() && !typed.isEmpty() && typed.at(0).isPrint() &&
            !edit->hasSelectedText() && edit->text().size() >= edit->maxLength()) {
            QApplication::beep();
            Q_EMIT fieldFull(edit);
        }
    }
    return CFormView::eventFilter(watched, event);
}

void CRecordForm::runEnterKey()
{
    QWidget* focused = focusWidget();
    for (QPushButton* button : {m_homeButton, m_nextButton, m_backButton, m_newButton, m_saveButton,
                                m_editButton, m_resetButton, m_deleteButton}) {
        if (focused == button) {
            if (button->isEnabled())
                button->click();
            return;
        }
    }
    QPushButton* marked = markedButton();
    if (marked && marked->isEnabled())
        marked->click();
}
