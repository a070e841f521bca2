#include "WindowDriver.h"

#include "Dialogs.h"
#include "ScriptedPrompter.h"
#include "app/DemoData.h"
#include "app/StartUp.h"
#include "context/Enums.h"
#include "db/Clock.h"
#include "db/Schema.h"
#include "forms/RecordForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTreeWidget>

namespace {

// The forms, by the name the steps use: their Go command, and for the forms with a vehicle box the list
// and the table their records come from.
struct FormInfo
{
    const char* name;
    int number;
    const char *action, *list, *table, *key;
};

const FormInfo forms[] = {
    {"home", HomeForm, "homeFormAction", nullptr, nullptr, nullptr},
    {"owners", OwnerForm, "ownerFormAction", nullptr, nullptr, nullptr},
    {"vehicles", VehicleForm, "vehicleFormAction", nullptr, "Vehicles", "VehicleID"},
    {"schedule", ScheduleForm, "scheduleFormAction", "serviceList", "Schedule", "ScheduleID"},
    {"loans", LoanForm, "loanFormAction", nullptr, "Loan", "VehicleID"},
    {"insurance", InsuranceForm, "insuranceFormAction", nullptr, "Insurance", "VehicleID"},
    {"monitor", ScheduleMonitorForm, "monitorFormAction", "dueList", "Schedule", "ScheduleID"},
    {"maintenance", MaintenanceForm, "maintenanceFormAction", "entryList", "Maintenance", "MaintID"},
    {"gas", GasForm, "gasFormAction", "entryList", "GasLog", "GasLogID"},
    {"joborders", JobOrderForm, "jobOrderFormAction", "entryList", "JobOrder", "JobOrderID"},
    {"companies", CompanyForm, "companyFormAction", nullptr, nullptr, nullptr},
    {"reports", ReportForm, "vehicleListReportAction", nullptr, nullptr, nullptr},
};

// The form by its step name, or by its number.
const FormInfo* formInfo(const QString& name, int number = -1)
{
    for (const FormInfo& form : forms)
        if (name == QLatin1String(form.name) || form.number == number)
            return &form;
    return nullptr;
}
const FormInfo* formOf(QWidget* view)
{
    return view ? formInfo({}, static_cast<CFormView*>(view)->formNumber()) : nullptr;
}

// Splits a script at ";" into steps (quotes and escapes kept), or a step at blanks into its words (quotes
// and escapes taken off); a separator between quotes is part of the text.
QStringList split(const QString& text, bool intoSteps)
{
    QStringList parts;
    QString current;
    bool quoted = false, any = false;
    const auto close = [&] {
        if (any && !(intoSteps && current.trimmed().isEmpty()))
            parts << (intoSteps ? current.trimmed() : current);
        current.clear();
        any = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == u'\\' && i + 1 < text.size()) {
            current += intoSteps ? text.mid(i, 2) : QString(text[i + 1]);
            ++i;
        } else if (!quoted && (intoSteps ? c == u';' : c.isSpace())) {
            close();
            continue;
        } else {
            quoted ^= c == u'"';
            if (c != u'"' || intoSteps)
                current += c;
        }
        any = true;
    }
    close();
    return parts;
}

QString shownText(QWidget* w)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(w))
        return box->currentText();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
        return memo->toPlainText();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->isChecked() ? "checked" : "unchecked";
    return {};
}

QString modeName(CRecordForm::Mode mode)
{
    return mode == CRecordForm::Mode::Browse ? "Browse" : mode == CRecordForm::Mode::Edit ? "Edit" : "AddNew";
}

QTreeView* entryList(QWidget* form)
{
    const FormInfo* info = formOf(form);
    return info && info->list ? form->findChild<QTreeView*>(info->list) : nullptr;
}

void clickInto(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(qMin(8, w->width() / 2), w->height() / 2));
}

bool usable(const QWidget* w)
{
    return w && w->isVisible() && w->isEnabled();
}

// Chooses the entry as the user does, so that the form hears of it.
void activate(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

} // namespace

DataSnapshot DataSnapshot::of(Database& db)
{
    DataSnapshot snapshot;
    for (const Schema::Table& table : Schema::tables()) {
        QStringList keyFields;
        for (const Schema::Index& index : table.indexes)
            if (index.name == "PrimaryKey")
                for (const QString& field : index.fields)
                    if (field != "VehicleID" && field != "StationID")
                        keyFields << field;
        if (keyFields.isEmpty())
            keyFields << (table.name == "Vehicles" || table.name.startsWith(u"Ins") || table.name == "Loan"
                              ? "VehicleID"
                              : "rowid");
        QSqlQuery query(db.connection());
        query.setForwardOnly(true);
        if (!query.exec("SELECT rowid AS rowid, * FROM " + table.name))
            continue;
        auto& rows = snapshot.tables[table.name];
        const QSqlRecord record = query.record();
        const int vehicleColumn = record.indexOf("VehicleID");
        while (query.next()) {
            QStringList key, values;
            for (const QString& field : keyFields)
                key << query.value(field).toString();
            for (int column = 1; column < record.count(); ++column)
                values << query.value(column).toString();
            rows.insert(key.join(u'/'),
                        {vehicleColumn < 0 ? -1 : query.value(vehicleColumn).toInt(), values.join(u'|')});
        }
    }
    return snapshot;
}

QString DataSnapshot::changes(const DataSnapshot& before, const DataSnapshot& after)
{
    QStringList parts;
    auto all = before.tables;
    all.insert(after.tables);
    for (const QString& name : all.keys()) {
        const auto old = before.tables.value(name), now = after.tables.value(name);
        QStringList added, changed, removed;
        for (auto it = now.cbegin(); it != now.cend(); ++it)
            if (!old.contains(it.key()))
                added << it.key();
            else if (old.value(it.key()).values != it.value().values)
                changed << it.key();
        for (auto it = old.cbegin(); it != old.cend(); ++it)
            if (!now.contains(it.key()))
                removed << it.key();
        // Many rows of one kind (a vehicle deleted with its records) are counted, not listed.
        for (const auto& [keys, kind] : {std::pair{added, '+'}, {changed, '~'}, {removed, '-'}})
            if (!keys.isEmpty())
                parts << name + QLatin1Char(kind) +
                             (keys.size() > 4 ? QString::number(keys.size()) + "rows" : keys.join(u','));
    }
    return parts.join(u' ');
}

QStringList DataSnapshot::moved(const DataSnapshot& before, const DataSnapshot& after)
{
    QStringList result;
    for (auto table = after.tables.cbegin(); table != after.tables.cend(); ++table) {
        const auto old = before.tables.value(table.key());
        for (auto row = table.value().cbegin(); row != table.value().cend(); ++row)
            if (old.contains(row.key()) && old.value(row.key()).vehicle != row.value().vehicle)
                result << QString("%1 %2: vehicle %3 -> %4")
                              .arg(table.key(), row.key())
                              .arg(old.value(row.key()).vehicle)
                              .arg(row.value().vehicle);
    }
    return result;
}

WindowDriver::WindowDriver(Prompter& prompter, ScriptedPrompter* scripted)
    : m_scripted(scripted), m_app(prompter)
{
    Clock::setNow(QDateTime(QDate(2026, 7, 1), QTime(9, 0)));
    m_mainFile = m_env.createDatabase(m_app.database());
    m_app.setDatabasePath(m_mainFile);
    m_app.settings().setText("Settings", "InstallDir", m_env.folder());
    m_app.loadVehicleColumns();
    DemoData::fill(m_app.database());
    StartUp::bringReadingsForward(m_app.database(), prompter);
    m_reader.open(m_mainFile, QString(), true);

    QObject::connect(&m_dialogGuard, &QTimer::timeout, [this] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            closedDialogs << QString::fromLatin1(dialog->metaObject()->className());
            dialog->reject();
        }
    });
    m_dialogGuard.start(20);
    m_frame = std::make_unique<CMainFrame>(m_app);
    showActive(*m_frame, QSize(1100, 760));
}

WindowDriver::~WindowDriver()
{
    m_dialogGuard.stop();
    m_frame.reset();
}

const QStringList& WindowDriver::formNames()
{
    static const QStringList names = [] {
        QStringList all;
        for (const FormInfo& form : forms)
            all << form.name;
        return all;
    }();
    return names;
}

QString WindowDriver::quoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'\\', "\\\\").replace(u'"', "\\\"");
    return u'"' + escaped + u'"';
}

QWidget* WindowDriver::widget(const QString& name) const
{
    return shown() ? shown()->findChild<QWidget*>(name) : nullptr;
}

QString WindowDriver::runScript(const QString& script)
{
    const QStringList steps = split(script, true);
    for (int i = 0; i < steps.size(); ++i)
        if (const QString error = run(steps[i]); !error.isEmpty())
            return QString("step %1 \"%2\": %3").arg(i + 1).arg(steps[i], error);
    return {};
}

QString WindowDriver::run(const QString& step)
{
    const QStringList t = split(step, false);
    if (t.isEmpty())
        return {};
    const QString command = t[0], arg = t.value(1), wanted = t.value(2);
    const auto is = [&command](const QStringList& names) { return names.contains(command); };
    QString error;
    if (command == "go") {
        const FormInfo* info = formInfo(arg);
        auto* action = info ? m_frame->findChild<QAction*>(info->action) : nullptr;
        if (!action || !action->isEnabled())
            return "no Go command for " + arg;
        action->trigger();
    } else if (command == "pick") {
        auto* box = qobject_cast<QComboBox*>(widget("vehicleSelector"));
        if (!usable(box))
            return "no vehicle box to pick from";
        const int index = box->findData(arg.toInt());
        if (index < 0)
            return QString("no vehicle %1 in the box").arg(arg);
        activate(box, index);
    } else if (is({"row", "rows"})) {
        QTreeView* list = entryList(shown());
        if (!list)
            return "no list";
        const QAbstractItemModel* rows = list->model();
        for (int i = 1; i < t.size(); ++i) {
            bool number = false;
            QModelIndex item = rows->index(t[i].toInt(&number), 0);
            // A text chooses the first row that shows it in some column.
            for (int r = 0; !number && !item.isValid() && r < rows->rowCount(); ++r)
                for (int column = 0; column < rows->columnCount(); ++column)
                    if (rows->index(r, column).data().toString().contains(t[i]))
                        item = rows->index(r, 0);
            if (!item.isValid())
                return QString("no row %1 (of %2)").arg(t[i]).arg(rows->rowCount());
            list->scrollTo(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, i > 1 ? Qt::ControlModifier : Qt::NoModifier,
                              list->visualRect(item).center());
        }
    } else if (is({"new", "edit", "save", "reset", "delete", "press"})) {
        const QString name = command == "press" ? arg : command + "Button";
        auto* button = qobject_cast<QPushButton*>(widget(name));
        if (!usable(button))
            return name + " is not available";
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (is({"type", "click"})) {
        QWidget* target = widget(arg);
        if (auto* box = qobject_cast<QComboBox*>(target); box && box->isEditable())
            target = box->lineEdit();
        if (!usable(target))
            return "no field " + arg;
        auto* edit = qobject_cast<QLineEdit*>(target);
        auto* memo = qobject_cast<QPlainTextEdit*>(target);
        if (command == "type" && (edit ? edit->isReadOnly() : !memo || memo->isReadOnly()))
            return "cannot type into " + arg;
        clickInto(target);
        if (command == "type") {
            edit ? edit->selectAll() : memo->selectAll();
            QTest::keyClicks(target, wanted);
        }
    } else if (is({"keys", "tab", "backtab", "enter"})) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus)
            return "nothing has the focus";
        if (command == "keys")
            QTest::keyClicks(focus, arg);
        else
            QTest::keyClick(focus, command == "tab"       ? Qt::Key_Tab
                                   : command == "backtab" ? Qt::Key_Backtab
                                                          : Qt::Key_Return);
    } else if (command == "choose") {
        auto* box = qobject_cast<QComboBox*>(widget(arg));
        if (!usable(box))
            return "no list " + arg;
        const int index = wanted.startsWith(u'#') ? wanted.mid(1).toInt()
                          : wanted.isEmpty()      ? box->findText(QString(), Qt::MatchExactly)
                                                  : box->findText(wanted, Qt::MatchStartsWith);
        if (index < 0 || index >= box->count())
            return QString("no entry \"%1\" in %2").arg(wanted, arg);
        activate(box, index);
    } else if (is({"answer", "note", "newfile", "open"}) && !m_scripted) {
        return "answers and file dialogs need the scripted prompter";
    } else if (command == "note") {
        m_scripted->noteAnswer(arg == "keep");
    } else if (command == "answer") {
        m_scripted->answer(arg == "yes"      ? Prompter::Answer::Yes
                           : arg == "no"     ? Prompter::Answer::No
                           : arg == "cancel" ? Prompter::Answer::Cancel
                                             : Prompter::Answer::Ok,
                           wanted);
    } else if (is({"newfile", "open"})) {
        m_scripted->file(m_env.path(arg));
        m_frame->findChild<QAction*>(command == "open" ? "openDataFileAction" : "newDataFileAction")
            ->trigger();
    } else if (command == "stored") {
        const QString actual = m_app.database().scalar(arg).toString();
        if (actual != wanted)
            error = QString("the file holds \"%1\", expected \"%2\"").arg(actual, wanted);
    } else if (command == "expect") {
        auto* form = qobject_cast<CRecordForm*>(shown());
        QTreeView* list = entryList(shown());
        QWidget* target = widget(arg);
        const QString actual = arg == "form"      ? QString(formOf(shown()) ? formOf(shown())->name : "?")
                               : arg == "mode"    ? (form ? modeName(form->mode()) : "no record form")
                               : arg == "current" ? QString::number(m_app.currentVehicle())
                               : arg == "rows"
                                   ? (list ? QString::number(list->model()->rowCount()) : "no list")
                                   : shownText(target);
        if (!target && !QStringList{"form", "mode", "current", "rows"}.contains(arg))
            return "no field " + arg;
        if (actual != wanted)
            error = QString("%1 shows \"%2\", expected \"%3\"").arg(arg, actual, wanted);
    } else {
        return "unknown step";
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return error;
}

QString WindowDriver::shownBelongsToBox()
{
    QWidget* view = shown();
    const FormInfo* info = formOf(view);
    auto* box = view ? view->findChild<QComboBox*>("vehicleSelector") : nullptr;
    if (!info || !info->table || !box)
        return {};
    Database& db = m_app.database();
    const qint32 vehicle = box->currentData().toInt();
    const QString shows = QString("%1 shows vehicle %2 in its box but ").arg(info->name).arg(vehicle);
    if (box->currentIndex() >= 0 && vehicle > 0 &&
        db.scalar(QString("SELECT COUNT(*) FROM Vehicles WHERE VehicleID = %1").arg(vehicle)).toInt() == 0)
        return QString("%1: the vehicle box shows vehicle %2, which is gone").arg(info->name).arg(vehicle);
    if (vehicle == 0 && info->number == ScheduleMonitorForm)
        return {};
    QStringList keys;
    if (QTreeView* list = entryList(view))
        for (int i = 0; i < list->model()->rowCount(); ++i)
            if (const int key = list->model()->index(i, 0).data(Qt::UserRole).toInt(); key > 0)
                keys << QString::number(key);
    auto* form = qobject_cast<CRecordForm*>(view);
    // Forms whose record is the vehicle itself (vehicle, loan, insurance, schedule) choose it with the box.
    if (form && form->mode() != CRecordForm::Mode::AddNew && form->currentKey() > 0) {
        if (form->selector() != box)
            keys << QString::number(form->currentKey());
        else if (form->currentKey() != vehicle)
            return shows + QString("the record of vehicle %1").arg(form->currentKey());
    }
    if (keys.isEmpty())
        return {};
    const QStringList strays = columnOf(
        db, QString("SELECT %1 || ' of vehicle ' || VehicleID FROM %2 WHERE %1 IN (%3) AND VehicleID <> %4")
                .arg(info->key, info->table, keys.join(u','))
                .arg(vehicle));
    return strays.isEmpty() ? QString() : shows + info->table + " " + strays.join(", ");
}

QString WindowDriver::invariants(const DataSnapshot& before)
{
    Database& db = m_app.database();
    QStringList faults;
    const auto fault = [&faults](const QString& what, const QStringList& found) {
        if (!found.isEmpty())
            faults << what + found.join("; ");
    };
    const QString integrity = db.scalar("PRAGMA integrity_check").toString();
    fault("integrity check: ", integrity == "ok" ? QStringList() : QStringList{integrity});
    m_last = snapshot();
    if (db.path() == m_mainFile)
        fault("rows moved to another vehicle: ", DataSnapshot::moved(before, m_last));
    for (const char* table : {"Schedule", "Loan", "Insurance", "InsCoverage", "Maintenance", "GasLog",
                              "MaintServices", "JobOrder"})
        fault(QString(table) + " rows hang on no vehicle: ",
              columnOf(db,
                       QString("SELECT rowid FROM %1 WHERE VehicleID NOT IN (SELECT VehicleID FROM Vehicles) "
                               "LIMIT 3")
                           .arg(table)));
    fault("readings out of order: ",
          columnOf(db,
                   "WITH r AS (SELECT VehicleID v, MaintDate d, ActualMiles m, 'maintenance ' || MaintID k "
                   "FROM Maintenance WHERE MaintDate <> '' UNION ALL SELECT VehicleID, Date, Mileage, 'gas ' "
                   "|| GasLogID FROM GasLog WHERE Date <> '') SELECT 'vehicle ' || a.v || ': ' || a.k || ' "
                   "at ' || a.m || ' on ' || a.d || ', ' || b.k || ' at ' || b.m || ' on ' || b.d FROM r a "
                   "JOIN r b ON a.v = b.v AND a.d < b.d AND a.m > b.m LIMIT 1"));
    if (const QString shownFault = shownBelongsToBox(); !shownFault.isEmpty())
        faults << shownFault;
    return faults.join("\n");
}

QString WindowDriver::tourVehicleForms()
{
    QStringList faults;
    for (const char* name :
         {"vehicles", "schedule", "loans", "insurance", "maintenance", "gas", "joborders", "monitor"}) {
        QString fault = run(QString("go ") + name);
        auto* box = shown()->findChild<QComboBox*>("vehicleSelector");
        if (fault.isEmpty() && formOf(shown()) != formInfo(name))
            fault = QString("did not show ") + name;
        else if (fault.isEmpty() && box && box->currentData().toInt() != m_app.currentVehicle())
            fault = QString("%1 shows vehicle %2, the current vehicle is %3")
                        .arg(name)
                        .arg(box->currentData().toInt())
                        .arg(m_app.currentVehicle());
        else if (fault.isEmpty())
            fault = shownBelongsToBox();
        if (!fault.isEmpty())
            faults << fault;
    }
    run("go home");
    return faults.join("\n");
}
