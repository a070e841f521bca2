#include "WindowDriver.h"

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
#include <functional>

namespace {

// The forms, by the name the steps use: their Go command, and for the forms with a vehicle box the list
// and the table their records come from.
struct FormInfo
{
    const char* name;
    int number;
    const char* action;
    const char* list;
    const char* table;
    const char* key;
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

const FormInfo* formWhere(const std::function<bool(const FormInfo&)>& test)
{
    const auto found = std::find_if(std::begin(forms), std::end(forms), test);
    return found == std::end(forms) ? nullptr : found;
}
const FormInfo* formNamed(const QString& name)
{
    return formWhere([&](const FormInfo& form) { return name == QLatin1String(form.name); });
}
const FormInfo* formNumbered(int number)
{
    return formWhere([&](const FormInfo& form) { return form.number == number; });
}

// Splits a script at ";" into steps (quotes and escapes kept), or a step at blanks into its words (quotes
// and escapes taken off); a separator between quotes is part of the text.
QStringList split(const QString& text, bool intoSteps)
{
    QStringList parts;
    QString current;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool separator = !quoted && (intoSteps ? c == u';' : c.isSpace());
        if (quoted && c == u'\\' && i + 1 < text.size()) {
            current += intoSteps ? text.mid(i, 2) : QString(text[i + 1]);
            ++i;
        } else if (separator) {
            if (any && !(intoSteps && current.trimmed().isEmpty()))
                parts << (intoSteps ? current.trimmed() : current);
            current.clear();
            any = false;
            continue;
        } else {
            quoted ^= c == u'"';
            if (c != u'"' || intoSteps)
                current += c;
        }
        any = true;
    }
    if (any && !(intoSteps && current.trimmed().isEmpty()))
        parts << (intoSteps ? current.trimmed() : current);
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
        return button->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
    return {};
}

QString modeName(CRecordForm::Mode mode)
{
    return mode == CRecordForm::Mode::Browse ? QStringLiteral("Browse")
           : mode == CRecordForm::Mode::Edit ? QStringLiteral("Edit")
                                             : QStringLiteral("AddNew");
}

QTreeView* entryList(QWidget* form)
{
    const FormInfo* info = formNumbered(static_cast<CFormView*>(form)->formNumber());
    return info && info->list ? form->findChild<QTreeView*>(QLatin1String(info->list)) : nullptr;
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

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

DataSnapshot DataSnapshot::of(Database& db)
{
    DataSnapshot snapshot;
    for (const Schema::Table& table : Schema::tables()) {
        QStringList keyFields;
        for (const Schema::Index& index : table.indexes)
            if (index.name == QLatin1String("PrimaryKey"))
                for (const QString& field : index.fields)
                    if (field != QLatin1String("VehicleID") && field != QLatin1String("StationID"))
                        keyFields << field;
        if (keyFields.isEmpty())
            keyFields << (table.name == QLatin1String("Vehicles") || table.name.startsWith(u"Ins") ||
                                  table.name == QLatin1String("Loan")
                              ? QStringLiteral("VehicleID")
                              : QStringLiteral("rowid"));
        QSqlQuery query(db.connection());
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT rowid AS rowid, * FROM ") + table.name))
            continue;
        auto& rows = snapshot.tables[table.name];
        const QSqlRecord record = query.record();
        const int vehicleColumn = record.indexOf(QStringLiteral("VehicleID"));
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
    auto tableNames = before.tables.keys() + after.tables.keys();
    std::sort(tableNames.begin(), tableNames.end());
    tableNames.erase(std::unique(tableNames.begin(), tableNames.end()), tableNames.end());
    for (const QString& name : tableNames) {
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
        auto add = [&](const QStringList& keys, char kind) {
            if (!keys.isEmpty())
                parts << name + QLatin1Char(kind) +
                             (keys.size() > 4 ? QString::number(keys.size()) + QStringLiteral("rows")
                                              : keys.join(u','));
        };
        add(added, '+');
        add(changed, '~');
        add(removed, '-');
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
                result << QStringLiteral("%1 %2: vehicle %3 -> %4")
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
    m_app.settings().setText(QStringLiteral("Settings"), QStringLiteral("InstallDir"), m_env.folder());
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
    m_frame->resize(1100, 760);
    m_frame->show();
    QApplication::setActiveWindow(m_frame.get());
    if (!QTest::qWaitForWindowActive(m_frame.get()))
        qFatal("the main window did not become active");
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
            all << QLatin1String(form.name);
        return all;
    }();
    return names;
}

QString WindowDriver::quoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}

QWidget* WindowDriver::shown() const
{
    return m_frame->shownForm();
}

QWidget* WindowDriver::widget(const QString& name) const
{
    return shown() ? shown()->findChild<QWidget*>(name) : nullptr;
}

QString WindowDriver::runScript(const QString& script)
{
    int number = 0;
    for (const QString& step : split(script, true)) {
        ++number;
        const QString error = run(step);
        if (!error.isEmpty())
            return QStringLiteral("step %1 \"%2\": %3").arg(number).arg(step, error);
    }
    return {};
}

QString WindowDriver::run(const QString& step)
{
    const QStringList t = split(step, false);
    if (t.isEmpty())
        return {};
    const QString command = t[0];
    const QString arg = t.value(1);
    auto* form = qobject_cast<CRecordForm*>(shown());
    QString error;

    if (command == QLatin1String("go")) {
        const FormInfo* info = formNamed(arg);
        auto* action = info ? m_frame->findChild<QAction*>(QLatin1String(info->action)) : nullptr;
        if (!action || !action->isEnabled())
            return QStringLiteral("no Go command for ") + arg;
        action->trigger();
    } else if (command == QLatin1String("pick")) {
        auto* box = qobject_cast<QComboBox*>(widget(QStringLiteral("vehicleSelector")));
        if (!usable(box))
            return QStringLiteral("no vehicle box to pick from");
        const int index = box->findData(arg.toInt());
        if (index < 0)
            return QStringLiteral("no vehicle %1 in the box").arg(arg);
        activate(box, index);
    } else if (command == QLatin1String("row") || command == QLatin1String("rows")) {
        QTreeView* list = shown() ? entryList(shown()) : nullptr;
        if (!list)
            return QStringLiteral("no list");
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
                return QStringLiteral("no row %1 (of %2)").arg(t[i]).arg(rows->rowCount());
            list->scrollTo(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, i > 1 ? Qt::ControlModifier : Qt::NoModifier,
                              list->visualRect(item).center());
        }
    } else if (QStringList{"new", "edit", "save", "reset", "delete", "press"}.contains(command)) {
        const QString name = command == QLatin1String("press") ? arg : command + QStringLiteral("Button");
        auto* button = qobject_cast<QPushButton*>(widget(name));
        if (!usable(button))
            return QStringLiteral("%1 is not available").arg(name);
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (command == QLatin1String("type") || command == QLatin1String("click")) {
        QWidget* target = widget(arg);
        if (auto* box = qobject_cast<QComboBox*>(target); box && box->isEditable())
            target = box->lineEdit();
        if (!usable(target))
            return QStringLiteral("no field ") + arg;
        if (command == QLatin1String("click")) {
            clickInto(target);
        } else {
            auto* edit = qobject_cast<QLineEdit*>(target);
            auto* memo = qobject_cast<QPlainTextEdit*>(target);
            if ((!edit && !memo) || (edit && edit->isReadOnly()) || (memo && memo->isReadOnly()))
                return QStringLiteral("cannot type into ") + arg;
            clickInto(target);
            edit ? edit->selectAll() : memo->selectAll();
            QTest::keyClicks(target, t.value(2));
        }
    } else if (QStringList{"keys", "tab", "backtab", "enter"}.contains(command)) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus)
            return QStringLiteral("nothing has the focus");
        if (command == QLatin1String("keys"))
            QTest::keyClicks(focus, arg);
        else
            QTest::keyClick(focus, command == QLatin1String("tab")       ? Qt::Key_Tab
                                   : command == QLatin1String("backtab") ? Qt::Key_Backtab
                                                                         : Qt::Key_Return);
    } else if (command == QLatin1String("choose")) {
        auto* box = qobject_cast<QComboBox*>(widget(arg));
        if (!usable(box))
            return QStringLiteral("no list ") + arg;
        const QString wanted = t.value(2);
        const int index = wanted.startsWith(u'#') ? wanted.mid(1).toInt()
                          : wanted.isEmpty()      ? box->findText(QString(), Qt::MatchExactly)
                                                  : box->findText(wanted, Qt::MatchStartsWith);
        if (index < 0 || index >= box->count())
            return QStringLiteral("no entry \"%1\" in %2").arg(wanted, arg);
        activate(box, index);
    } else if (command == QLatin1String("answer") || command == QLatin1String("note")) {
        if (!m_scripted)
            return QStringLiteral("answers need the scripted prompter");
        if (command == QLatin1String("note"))
            m_scripted->noteAnswer(arg == QLatin1String("keep"));
        else
            m_scripted->answer(arg == QLatin1String("yes")      ? Prompter::Answer::Yes
                               : arg == QLatin1String("no")     ? Prompter::Answer::No
                               : arg == QLatin1String("cancel") ? Prompter::Answer::Cancel
                                                                : Prompter::Answer::Ok,
                               t.value(2));
    } else if (command == QLatin1String("newfile") || command == QLatin1String("open")) {
        if (!m_scripted)
            return QStringLiteral("file dialogs need the scripted prompter");
        m_scripted->file(m_env.path(arg));
        m_frame
            ->findChild<QAction*>(command == QLatin1String("open") ? "openDataFileAction"
                                                                   : "newDataFileAction")
            ->trigger();
    } else if (command == QLatin1String("stored")) {
        const QString actual = m_app.database().scalar(arg).toString();
        if (actual != t.value(2))
            error = QStringLiteral("the file holds \"%1\", expected \"%2\"").arg(actual, t.value(2));
    } else if (command == QLatin1String("expect")) {
        const QString wanted = t.value(2);
        QString actual;
        if (arg == QLatin1String("form")) {
            const FormInfo* info = shown() ? formNumbered(m_frame->shownForm()->formNumber()) : nullptr;
            actual = info ? QLatin1String(info->name) : QStringLiteral("?");
        } else if (arg == QLatin1String("mode")) {
            actual = form ? modeName(form->mode()) : QStringLiteral("no record form");
        } else if (arg == QLatin1String("current")) {
            actual = QString::number(m_app.currentVehicle());
        } else if (arg == QLatin1String("rows")) {
            QTreeView* list = shown() ? entryList(shown()) : nullptr;
            actual = list ? QString::number(list->model()->rowCount()) : QStringLiteral("no list");
        } else {
            QWidget* target = widget(arg);
            if (!target)
                return QStringLiteral("no field ") + arg;
            actual = shownText(target);
        }
        if (actual != wanted)
            error = QStringLiteral("%1 shows \"%2\", expected \"%3\"").arg(arg, actual, wanted);
    } else {
        return QStringLiteral("unknown step");
    }
    settle();
    return error;
}

QString WindowDriver::shownBelongsToBox()
{
    auto* view = m_frame->shownForm();
    const FormInfo* info = view ? formNumbered(view->formNumber()) : nullptr;
    auto* box = view ? view->findChild<QComboBox*>(QStringLiteral("vehicleSelector")) : nullptr;
    if (!info || !info->table || !box)
        return {};
    Database& db = m_app.database();
    const qint32 vehicle = box->currentData().toInt();
    if (box->currentIndex() >= 0 && vehicle > 0 &&
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM Vehicles WHERE VehicleID = %1").arg(vehicle))
                .toInt() == 0)
        return QStringLiteral("%1: the vehicle box shows vehicle %2, which is gone")
            .arg(info->name)
            .arg(vehicle);
    if (vehicle == 0 && view->formNumber() == ScheduleMonitorForm)
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
            return QStringLiteral("%1 shows vehicle %2 in its box but the record of vehicle %3")
                .arg(QLatin1String(info->name))
                .arg(vehicle)
                .arg(form->currentKey());
    }
    if (keys.isEmpty())
        return {};
    const QStringList strays = columnOf(
        db, QStringLiteral(
                "SELECT %1 || ' of vehicle ' || VehicleID FROM %2 WHERE %1 IN (%3) AND VehicleID <> %4")
                .arg(QLatin1String(info->key), QLatin1String(info->table), keys.join(u','))
                .arg(vehicle));
    if (!strays.isEmpty())
        return QStringLiteral("%1 shows vehicle %2 in its box but %3 %4")
            .arg(info->name)
            .arg(vehicle)
            .arg(info->table, strays.join(QStringLiteral(", ")));
    return {};
}

QString WindowDriver::invariants(const DataSnapshot& before)
{
    Database& db = m_app.database();
    QStringList faults;
    const QString integrity = db.scalar(QStringLiteral("PRAGMA integrity_check")).toString();
    if (integrity != QLatin1String("ok"))
        faults << QStringLiteral("integrity check: ") + integrity;
    m_last = snapshot();
    if (db.path() == m_mainFile) {
        const QStringList moved = DataSnapshot::moved(before, m_last);
        if (!moved.isEmpty())
            faults << QStringLiteral("rows moved to another vehicle: ") + moved.join(QStringLiteral("; "));
    }
    for (const char* table : {"Schedule", "Loan", "Insurance", "InsCoverage", "Maintenance", "GasLog",
                              "MaintServices", "JobOrder"}) {
        const QStringList orphans =
            columnOf(db, QStringLiteral("SELECT rowid FROM %1 WHERE VehicleID NOT IN (SELECT VehicleID FROM "
                                        "Vehicles) LIMIT 3")
                             .arg(QLatin1String(table)));
        if (!orphans.isEmpty())
            faults << QStringLiteral("%1 rows %2 hang on no vehicle")
                          .arg(QLatin1String(table), orphans.join(u','));
    }
    const QStringList order = columnOf(
        db, QStringLiteral(
                "WITH r AS (SELECT VehicleID v, MaintDate d, ActualMiles m, 'maintenance ' || MaintID k "
                "FROM Maintenance WHERE MaintDate <> '' UNION ALL SELECT VehicleID, Date, Mileage, "
                "'gas ' || GasLogID FROM GasLog WHERE Date <> '') "
                "SELECT 'vehicle ' || a.v || ': ' || a.k || ' at ' || a.m || ' on ' || a.d || ', ' || "
                "b.k || ' at ' || b.m || ' on ' || b.d "
                "FROM r a JOIN r b ON a.v = b.v AND a.d < b.d AND a.m > b.m LIMIT 1"));
    if (!order.isEmpty())
        faults << QStringLiteral("readings out of order: ") + order.first();
    const QString shownFault = shownBelongsToBox();
    if (!shownFault.isEmpty())
        faults << shownFault;
    return faults.join(QStringLiteral("\n"));
}

QString WindowDriver::tourVehicleForms()
{
    QStringList faults;
    for (const char* name :
         {"vehicles", "schedule", "loans", "insurance", "maintenance", "gas", "joborders", "monitor"}) {
        QString fault = run(QStringLiteral("go ") + QLatin1String(name));
        if (fault.isEmpty() &&
            formNumbered(m_frame->shownForm()->formNumber()) != formNamed(QLatin1String(name)))
            fault = QStringLiteral("did not show ") + QLatin1String(name);
        auto* box = shown()->findChild<QComboBox*>(QStringLiteral("vehicleSelector"));
        if (fault.isEmpty() && box && box->currentData().toInt() != m_app.currentVehicle())
            fault = QStringLiteral("%1 shows vehicle %2, the current vehicle is %3")
                        .arg(QLatin1String(name))
                        .arg(box->currentData().toInt())
                        .arg(m_app.currentVehicle());
        if (fault.isEmpty())
            fault = shownBelongsToBox();
        if (!fault.isEmpty())
            faults << fault;
    }
    run(QStringLiteral("go home"));
    return faults.join(QStringLiteral("\n"));
}
