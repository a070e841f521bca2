#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "db/Messages.h"

#include <QAbstractItemView>
#include <QPlainTextEdit>
#include <QSignalSpy>

using Mode = CRecordForm::Mode;

namespace {

// What text fields do on desktops with the X11 key scheme: they claim Ctrl+E (end of line) and other
// Ctrl keys before shortcuts are looked up.
class ClaimsControlKeys : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride ||
            !(static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier))
            return false;
        event->accept();
        return true;
    }
};

} // namespace

// The keyboard as the user meets it: keys typed into whatever field has the focus.
class FormKeysTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;

    void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key(key), modifiers);
        QTest::qWait(10);
    }
    QWidget* focused() { return QApplication::focusWidget(); }
    QString focusedName()
    {
        QWidget* widget = QApplication::focusWidget();
        while (widget && widget->objectName().isEmpty())
            widget = widget->parentWidget();
        return widget ? widget->objectName() : QString();
    }

private Q_SLOTS:
    void init() { f = std::make_unique<CompanyFormsFixture>(); }
    void cleanup() { f.reset(); }

    void commandKeysWorkFromAnyField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("title");
        // The loan record of vehicle 1 exists, so the form opens in Browse.
        addRow("Ctrl+E in a line", "accountNumber", int(Qt::Key_E), "Edit Loan Information");
        addRow("Ctrl+E in comments", "comments", int(Qt::Key_E), "Edit Loan Information");
        addRow("Ctrl+E in the vehicle list", "vehicleSelector", int(Qt::Key_E), "Edit Loan Information");
        addRow("Ctrl+S after typing", "accountNumber", int(Qt::Key_S), "Browse Loan Information");
    }

    void commandKeysWorkFromAnyField()
    {
        QFETCH(QString, field);
        QFETCH(int, key);
        QFETCH(QString, title);
        f->db().execute("INSERT INTO Loan (VehicleID, AcctNo) VALUES (1, 'L-1')");
        f->open(LoanForm);
        if (key == Qt::Key_S) {
            f->click("editButton");
            f->setText("accountNumber", "L-2");
        }
        QWidget* target = f->find<QWidget>(field.toLatin1().constData());
        target->setFocus();
        ClaimsControlKeys claims;
        focused()->installEventFilter(&claims);
        press(focused(), key, Qt::ControlModifier);
        QCOMPARE(f->title(), title);
        if (key == Qt::Key_S)
            QCOMPARE(f->db().scalar("SELECT AcctNo FROM Loan").toString(), QString("L-2"));
    }

    void paneKeysMoveBetweenSelectorFieldsAndButtons()
    {
        f->open(OwnerForm);
        f->box("ownerSelector")->setFocus();
        press(focused(), Qt::Key_F6);
        QCOMPARE(focused(), f->field("companyName"));
        press(focused(), Qt::Key_F6);
        QCOMPARE(focused(), f->find<QWidget>("newButton"));
        press(focused(), Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(focused(), f->field("companyName"));
        press(focused(), Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(focused(), f->box("ownerSelector"));
    }

    void escapeClosesTheInnermostPopupFirst()
    {
        f->addCompany("First Lending", 2);
        for (const char* list : {"vehicleSelector", "loanCompany"}) {
            f->open(LoanForm);
            QComboBox* box = f->box(list);
            box->setFocus();
            box->showPopup();
            QTRY_VERIFY2(box->view()->isVisible(), list);
            press(focused(), Qt::Key_Escape);
            QTRY_VERIFY2(!box->view()->isVisible(), list);
            QCOMPARE(f->shownNumber(), int(LoanForm));
            // With nothing open, Escape typed into the field leaves the form for the home screen.
            QApplication::setActiveWindow(&f->frame());
            box->setFocus();
            press(focused(), Qt::Key_Escape);
            QCOMPARE(f->shownNumber(), int(HomeForm));
        }
    }

    void aFullFieldSaysSo()
    {
        f->open(OwnerForm);
        f->click("editButton");
        QLineEdit* name = f->field("companyName");
        QCOMPARE(name->toolTip(), QString("At most 50 characters"));
        QSignalSpy full(&f->shown(), &CRecordForm::fieldFull);
        name->setFocus();
        name->setText(QString(49, 'x'));
        name->end(false);
        press(name, Qt::Key_Y);
        QCOMPARE(full.size(), 0);
        press(name, Qt::Key_Z);
        QCOMPARE(full.size(), 1);
        QCOMPARE(name->text(), QString(49, 'x') + "y");
    }

    // Tab goes down each column of a form, as the eye reads it, then on to the rows across the form.
    void tabGoesDownEachColumn_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("order");
        addRow("gas log", int(GasForm),
               "fullTank reading distance amount costPerUnit totalPrice date estimated gasStation "
               "briefDescription");
        addRow("maintenance", int(MaintenanceForm),
               "reading serviceStation date jobOrder selectServicesButton description totalPrice comments");
        addRow("job orders", int(JobOrderForm),
               "jcn serviceStation date selectServicesButton description comments");
        addRow("loan", int(LoanForm),
               "accountNumber loanLength loanAmount originatingDate interestRate paymentAmount comments");
        addRow("insurance", int(InsuranceForm),
               "policyNumber coverageStart paymentAmount deductible coverageEnd");
    }
    void tabGoesDownEachColumn()
    {
        QFETCH(int, form);
        QFETCH(QString, order);
        f->db().execute("INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage, Fillup) VALUES "
                        "(1, 1, '20240301', 41000, 0)");
        f->db().execute("INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, OpenInd) VALUES "
                        "(1, 1, 'J1', '20240301', -1)");
        f->open(form);
        if (f->shown().mode() == Mode::Browse)
            f->shown().commandNew();
        QCOMPARE(f->shown().mode(), Mode::AddNew);
        f->find<QWidget>(qPrintable(order.section(' ', 0, 0)))->setFocus();
        QStringList visited{focusedName()};
        while (visited.size() < order.count(' ') + 1) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusedName();
        }
        QCOMPARE(visited.join(' '), order);
    }
};

QTEST_MAIN(FormKeysTest)
#include "tst_formkeys.moc"
