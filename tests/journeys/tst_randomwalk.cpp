#include "WindowDriver.h"
#include "db/Prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <csignal>
#include <random>
#include <unistd.h>

namespace {

quint32 walkSeed = 18;
int walkSteps = 2000;
bool walkVerbose = false;
// Report every fault and walk on (to survey faults over long runs) instead of stopping at the first.
bool keepGoing = false;
volatile int stepNow = 0;

// A crash cannot be turned into a test failure; it still says how to replay it.
void onCrash(int signal)
{
    char text[160];
    const int length =
        snprintf(text, sizeof text,
                 "\nrandom walk died (signal %d) at step %d: replay with scripts/monkey.sh --seed %u "
                 "--steps %d --verbose\n",
                 signal, stepNow, walkSeed, stepNow);
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text, length);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Answers every question at random among the buttons it offers; file dialogs are cancelled.
class RandomPrompter : public Prompter
{
public:
    explicit RandomPrompter(std::mt19937& random) : m_random(random) {}
    Answer ask(const QString& text, Icon, Buttons buttons) override
    {
        const QList<Answer> offered =
            buttons == Buttons::OkCancel ? QList{Answer::Ok, Answer::Cancel}
            : buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo ? QList{Answer::Yes, Answer::No}
            : buttons == Buttons::YesNoCancel ? QList{Answer::Yes, Answer::No, Answer::Cancel}
                                              : QList{Answer::Ok};
        const Answer answer = offered[int(m_random() % offered.size())];
        if (walkVerbose)
            qInfo("    asked \"%s\": %d", qPrintable(text.left(90)), int(answer));
        return answer;
    }
    QString saveFileName(const FileDialog&) override { return {}; }
    QString openFileName(const FileDialog&) override { return {}; }
    bool note(const QString&) override { return m_random() % 2; }

private:
    std::mt19937& m_random;
};

// Valid, invalid and extreme values, and values with quotes, typed into whatever field is chosen.
const QStringList typedValues =
    QString(
        "10|3|3.459|1234|61250|150000|07/01/2026|06/15/2026|01/01/2026|Oil change|Bridgeport Fleet "
        "Service|abc|-5|1e9|02/30/2026|13/45/2026|| |0|100000|99999999999999|999.999|12/31/9999|01/01/1900")
        .split(u'|') +
    QStringList{QString(60, u'X'), QString(300, u'w')} +
    QString("O'Brien's \"best\"|'; DROP TABLE Vehicles; --|`back`quote'|$1,234.50|1,000").split(u'|');

// Buttons the walk presses besides the record commands; the others print or open dialogs of their own.
const QStringList pressable =
    QString("performMaintenanceButton createJobOrderButton scheduleMonitorButton jobOrdersButton "
            "maintenanceButton gasLogButton homeButton backButton nextButton updateBaseLineButton "
            "selectServicesButton fullTank partialTank estimated hoursCheck activeCheck showAllRadio "
            "showUsedRadio usMeasurement metricMeasurement")
        .split(u' ');

template <class T> QList<T*> usable(QWidget* form)
{
    QList<T*> found;
    if (form)
        for (T* w : form->findChildren<T*>())
            if (!w->objectName().isEmpty() && w->isVisible() && w->isEnabled())
                found << w;
    return found;
}

QString nextStep(WindowDriver& driver, std::mt19937& random)
{
    auto any = [&random](auto size) { return int(random() % quint32(qMax<qsizetype>(size, 1))); };
    QWidget* form = driver.shown();
    const int roll = any(100);
    if (roll < 10)
        return "go " + WindowDriver::formNames()[any(WindowDriver::formNames().size())];
    if (roll < 20) {
        auto* box = form ? form->findChild<QComboBox*>("vehicleSelector") : nullptr;
        if (box && box->isVisible() && box->isEnabled() && box->count() > 0)
            return "pick " + box->itemData(any(box->count())).toString();
    } else if (roll < 30) {
        const auto lists = usable<QTreeWidget>(form);
        if (!lists.isEmpty() && lists[0]->topLevelItemCount() > 0) {
            const int count = lists[0]->topLevelItemCount();
            return any(4) ? QString("row %1").arg(any(count))
                          : QString("rows %1 %2").arg(any(count)).arg(any(count));
        }
    } else if (roll < 55) {
        QStringList commands;
        for (const char* name : {"new", "edit", "save", "reset", "delete"})
            if (auto* button = form->findChild<QPushButton*>(QString(name) + "Button");
                button && button->isVisible() && button->isEnabled())
                commands << name;
        if (!commands.isEmpty())
            return commands[any(commands.size())];
    } else if (roll < 80) {
        QStringList fields;
        for (QLineEdit* edit : usable<QLineEdit>(form))
            if (!edit->isReadOnly() && !qobject_cast<QComboBox*>(edit->parentWidget()))
                fields << edit->objectName();
        for (QPlainTextEdit* memo : usable<QPlainTextEdit>(form))
            if (!memo->isReadOnly())
                fields << memo->objectName();
        for (QComboBox* box : usable<QComboBox>(form))
            if (box->isEditable())
                fields << box->objectName();
        if (!fields.isEmpty())
            return "type " + fields[any(fields.size())] + " " +
                   WindowDriver::quoted(typedValues[any(typedValues.size())]);
    } else if (roll < 88) {
        static const QStringList keys{"tab", "tab", "backtab", "enter"};
        QStringList fields;
        for (QWidget* w : usable<QWidget>(form))
            if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w))
                fields << w->objectName();
        if (any(3) == 0 && !fields.isEmpty())
            return "click " + fields[any(fields.size())];
        return keys[any(keys.size())];
    } else if (roll < 94) {
        QList<QComboBox*> boxes;
        for (QComboBox* box : usable<QComboBox>(form))
            if (!box->isEditable() && box->count() > 0 && box->objectName() != "vehicleSelector" &&
                box->objectName() != "recordSelector")
                boxes << box;
        if (!boxes.isEmpty()) {
            QComboBox* box = boxes[any(boxes.size())];
            return QString("choose %1 #%2").arg(box->objectName()).arg(any(box->count()));
        }
    } else {
        QStringList buttons;
        for (QAbstractButton* button : usable<QAbstractButton>(form))
            if (pressable.contains(button->objectName()))
                buttons << button->objectName();
        if (!buttons.isEmpty()) {
            const QString name = buttons[any(buttons.size())];
            return (qobject_cast<QPushButton*>(form->findChild<QWidget*>(name)) ? "press " : "click ") + name;
        }
    }
    return "go " + WindowDriver::formNames()[any(WindowDriver::formNames().size())];
}

} // namespace

// Random steps over the whole window from a seed; after each step what must always hold is checked, and a
// failure names the seed and the steps so that scripts/monkey.sh replays it.
class RandomWalkTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void walk()
    {
        std::mt19937 random(walkSeed);
        RandomPrompter prompter(random);
        WindowDriver driver(prompter, nullptr);
        for (const int signal : {SIGSEGV, SIGABRT, SIGFPE})
            std::signal(signal, onCrash);
        QString fault = driver.invariants(driver.snapshot());
        QVERIFY2(fault.isEmpty(), qPrintable("before the first step: " + fault));
        QStringList steps;
        QMap<QString, int> faultKinds;
        for (int i = 1; i <= walkSteps; ++i) {
            stepNow = i;
            const DataSnapshot before = driver.lastSnapshot();
            const QString step = nextStep(driver, random);
            steps << step;
            if (walkVerbose)
                qInfo("%d: %s", i, qPrintable(step));
            driver.run(step);
            fault = driver.invariants(before);
            if (!fault.isEmpty() && keepGoing) {
                // One line per kind of fault: the same fault with other numbers is counted, not repeated.
                QString kind = fault.section(u'\n', 0, 0);
                kind.replace(QRegularExpression("[0-9]+"), "#")
                    .replace(QRegularExpression("(, # of vehicle #)+"), "");
                if (!faultKinds.contains(kind))
                    qInfo("seed %u, step %d \"%s\": %s", walkSeed, i, qPrintable(step), qPrintable(fault));
                ++faultKinds[kind];
                continue;
            }
            QVERIFY2(fault.isEmpty(),
                     qPrintable(QString("seed %1, step %2 \"%3\":\n%4\nlast steps:\n  %5\nreplay: "
                                        "scripts/monkey.sh --seed %1 --steps %2 --verbose")
                                    .arg(walkSeed)
                                    .arg(i)
                                    .arg(step, fault, steps.mid(qMax(0, i - 25)).join("\n  "))));
        }
        qInfo("seed %u: %d steps, %d dialogs closed by the guard", walkSeed, walkSteps,
              int(driver.closedDialogs.size()));
        for (auto kind = faultKinds.cbegin(); kind != faultKinds.cend(); ++kind)
            qInfo("%5d x %s", kind.value(), qPrintable(kind.key()));
        QVERIFY(faultKinds.isEmpty());
    }
};

int main(int argc, char** argv)
{
    // Our own arguments are taken out before Qt Test reads the rest.
    QList<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--seed" && i + 1 < argc)
            walkSeed = QByteArray(argv[++i]).toUInt();
        else if (arg == "--steps" && i + 1 < argc)
            walkSteps = QByteArray(argv[++i]).toInt();
        else if (arg == "--verbose" || arg == "--keep-going")
            (arg == "--verbose" ? walkVerbose : keepGoing) = true;
        else
            rest << argv[i];
    }
    int count = int(rest.size());
    QApplication app(count, rest.data());
    RandomWalkTest test;
    return QTest::qExec(&test, count, rest.data());
}

#include "tst_randomwalk.moc"
