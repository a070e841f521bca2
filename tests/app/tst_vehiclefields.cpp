#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/ui/VehicleFieldsDialog.h"
#include "app/ui/VelApp.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {

const QList<int> Defaults{0, 1, 2, -1, -1, -1, -1, -1, -1, -1};

QList<int> fieldsIn(const QListWidget* list)
{
    QList<int> fields;
    for (int row = 0; row < list->count(); ++row)
        fields << list->item(row)->data(Qt::UserRole).toInt();
    return fields;
}

} // namespace

class VehicleFieldsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CVehicleFieldsDialog> m_dialog;
    QListWidget* m_left = nullptr;
    QListWidget* m_right = nullptr;

    void open(const QList<int>& fieldSlots)
    {
        m_dialog = std::make_unique<CVehicleFieldsDialog>(fieldSlots);
        m_left = m_dialog->findChild<QListWidget*>("fieldsNotSelected");
        m_right = m_dialog->findChild<QListWidget*>("fieldsSelected");
        QVERIFY(m_left && m_right);
    }

private Q_SLOTS:
    void cleanup() { m_dialog.reset(); }

    void opensWithTheStoredFieldsInSlotOrder()
    {
        open({8, -1, 0, 8, 42, 3, -1, -1, -1, -1});
        QCOMPARE(fieldsIn(m_right), QList<int>({8, 0, 3}));
        QCOMPARE(fieldsIn(m_left), QList<int>({1, 2, 4, 5, 6, 7, 9}));
        QCOMPARE(m_dialog->fieldSlots(), QList<int>({8, 0, 3, -1, -1, -1, -1, -1, -1, -1}));
    }

    void addMovesToTheEndAndSelectsTheNextLeftEntry()
    {
        open(Defaults);
        m_left->setCurrentRow(1); // field 4
        m_dialog->findChild<QPushButton*>("addButton")->click();
        QCOMPARE(fieldsIn(m_right), QList<int>({0, 1, 2, 4}));
        QCOMPARE(m_right->currentRow(), 3);
        QCOMPARE(m_left->currentItem()->data(Qt::UserRole).toInt(), 5);

        m_left->setCurrentRow(m_left->count() - 1); // field 9, the last: the first entry is selected next
        QTest::keyClick(m_left, Qt::Key_Space);
        QCOMPARE(fieldsIn(m_right).last(), 9);
        QCOMPARE(m_left->currentRow(), 0);

        while (m_left->count() > 0) {
            m_left->setCurrentRow(0);
            m_dialog->addSelected();
        }
        QCOMPARE(m_left->selectedItems().size(), 0);
        QCOMPARE(m_dialog->fieldSlots(), QList<int>({0, 1, 2, 4, 9, 3, 5, 6, 7, 8}));
        m_dialog->addSelected(); // nothing left to add
        QCOMPARE(m_right->count(), 10);
    }

    void removeGoesBackInFieldOrder()
    {
        open({5, 1, 7, -1, -1, -1, -1, -1, -1, -1});
        m_right->setCurrentRow(1); // field 1
        m_dialog->findChild<QPushButton*>("removeButton")->click();
        QCOMPARE(fieldsIn(m_left), QList<int>({0, 1, 2, 3, 4, 6, 8, 9}));
        QCOMPARE(m_left->currentRow(), 1);
        QCOMPARE(m_right->currentItem()->data(Qt::UserRole).toInt(), 7);

        // A double-click in the right list removes too; the last entry leaves the first selected.
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        const QRect place = m_right->visualItemRect(m_right->item(1));
        QTest::mouseClick(m_right->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(m_right->viewport(), Qt::LeftButton, {}, place.center());
        QCOMPARE(fieldsIn(m_right), QList<int>({5}));
        QCOMPARE(fieldsIn(m_left), QList<int>({0, 1, 2, 3, 4, 6, 7, 8, 9}));
        QCOMPARE(m_right->currentRow(), 0);

        m_dialog->removeSelected();
        QCOMPARE(m_right->count(), 0);
        QCOMPARE(m_dialog->fieldSlots(), QList<int>(10, -1));
    }

    void upAndDownStopAtTheEnds()
    {
        open({0, 1, 2, -1, -1, -1, -1, -1, -1, -1});
        auto* up = m_dialog->findChild<QPushButton*>("upButton");
        auto* down = m_dialog->findChild<QPushButton*>("downButton");
        m_right->setCurrentRow(0);
        up->click();
        QCOMPARE(fieldsIn(m_right), QList<int>({0, 1, 2}));
        down->click();
        QCOMPARE(fieldsIn(m_right), QList<int>({1, 0, 2}));
        QCOMPARE(m_right->currentRow(), 1);
        down->click();
        down->click();
        QCOMPARE(fieldsIn(m_right), QList<int>({1, 2, 0}));
        QCOMPARE(m_right->currentRow(), 2);
        up->click();
        QCOMPARE(fieldsIn(m_right), QList<int>({1, 0, 2}));

        // Arrows on the buttons, beside the mnemonics as given.
        QVERIFY(!up->icon().isNull() && !down->icon().isNull());
        QCOMPARE(up->text() + down->text(), QString("&u&d"));
        QVERIFY(up->toolTip().contains("Alt+U") && down->toolTip().contains("Alt+D"));
    }

    void okStoresTheSlotsAndCancelChangesNothing()
    {
        TestEnvironment env;
        ScriptedPrompter prompter;
        CVelApp app(prompter);
        const auto finish = [](const char* buttonName, bool addOne) {
            QTimer::singleShot(0, [=] {
                auto* dialog = qobject_cast<CVehicleFieldsDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                auto* left = dialog->findChild<QListWidget*>("fieldsNotSelected");
                if (addOne) {
                    left->setCurrentRow(left->count() - 1);
                    dialog->addSelected();
                }
                dialog->findChild<QPushButton*>(buttonName)->click();
            });
        };

        finish("cancelButton", true);
        QVERIFY(!runVehicleFieldsDialog(app, nullptr));
        QCOMPARE(app.vehicleColumns(), Defaults);

        finish("okButton", true);
        QVERIFY(runVehicleFieldsDialog(app, nullptr));
        const QList<int> expected{0, 1, 2, 9, -1, -1, -1, -1, -1, -1};
        QCOMPARE(app.vehicleColumns(), expected);
        app.settings().sync();
        QSettings stored("Halvern Software", "Velmora");
        for (int slot = 0; slot < 10; ++slot)
            QCOMPARE(stored.value(QString("Vehiclefields/%1").arg(slot)).toInt(), expected[slot]);
    }
};

QTEST_MAIN(VehicleFieldsTest)
#include "tst_vehiclefields.moc"
