#include "OwnerFormFixture.h"
#include "context/Enums.h"
#include "db/Messages.h"
#include "fleet/ContactOperations.h"
#include "fleet/ui/ContactInfoDialog.h"

#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

// The mode machine every record form shares, driven through the owner form's real widgets, and what is the
// owner form's own: its list, its delete and the contact information it shows.
class RecordFormTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OwnerFormFixture> f;
    COwnerView* view = nullptr;

    QLineEdit* company() { return f->field("companyName"); }
    QString title() { return f->find<QLabel>("modeTitle")->text(); }
    bool enabled(const char* buttonName) { return f->find<QPushButton>(buttonName)->isEnabled(); }
    void openWithOwner(const QString& company)
    {
        f->addOwner(company);
        view = &f->openView();
    }
    QStringList menuItems()
    {
        QStringList items;
        const std::unique_ptr<QMenu> menu = view->createContextMenu();
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return items;
    }

private Q_SLOTS:
    void init() { f = std::make_unique<OwnerFormFixture>(); }
    void cleanup() { f.reset(); }

    void emptyTableStartsInAddNewAndResetStaysThere()
    {
        view = &f->openView();
        QCOMPARE(title(), QString("New Owner"));
        QVERIFY(!f->selector()->isEnabled() && !enabled("nextButton") && !enabled("saveButton"));
        QCOMPARE(QApplication::focusWidget(), company());

        QTest::keyClicks(company(), "Acme");
        QVERIFY(enabled("nextButton") && enabled("saveButton"));

        f->click("resetButton");
        QCOMPARE(view->mode(), Mode::AddNew);
        QVERIFY(company()->text().isEmpty() && !view->hasUnsavedChanges() && !enabled("nextButton"));
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 0);
    }

    // Edit from Browse, a save without changes writes nothing; a new owner saved is shown and the other forms
    // are told.
    void editAndSave()
    {
        openWithOwner("A");
        COwnerView other(f->m_app, f->m_doc);
        other.enter(0, 0);
        QCOMPARE(title(), QString("Browse Owner"));
        QVERIFY(company()->isReadOnly());
        QVERIFY(!enabled("saveButton") && !enabled("resetButton") && !enabled("backButton"));

        f->click("editButton");
        QCOMPARE(title(), QString("Edit Owner"));
        QVERIFY(!company()->isReadOnly() && f->selector()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), company());
        const int before = f->count("SELECT total_changes()");
        QVERIFY(view->save(CRecordForm::SaveKind::Plain));
        QCOMPARE(f->count("SELECT total_changes()"), before);
        QCOMPARE(view->mode(), Mode::Browse);

        QSignalSpy hints(&f->m_doc, &CVelDoc::viewsNeedUpdate);
        f->click("newButton");
        f->type("companyName", "Zed");
        f->click("saveButton");
        QCOMPARE(view->mode(), Mode::Browse);
        QCOMPARE(f->selector()->currentText(), QString("Zed"));
        QCOMPARE(view->currentKey(), 2);
        QVERIFY(hints.size() == 1 && hints.at(0).at(0).toInt() == OwnersHint);
        QCOMPARE(other.selector()->count(), 2);
        QCOMPARE(other.selector()->currentText(), QString("A"));
    }

    // New, another owner in the list and leaving the form all ask about the changes typed: Cancel stays,
    // No drops them, Yes saves them (from Add New too, the saved owner then shown and selected), and Yes
    // with a value that fails its check shows the check and stays.
    void unsavedChangesAreAskedAbout_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("answer");
        for (const char* trigger : {"new", "select", "leave"})
            for (const char* answer : {"cancel", "no", "yes", "yes from new", "yes, check fails"})
                QTest::addRow("%s, %s", trigger, answer) << QString(trigger) << QString(answer);
    }

    void unsavedChangesAreAskedAbout()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, answer);
        // Owners "A" and "B", "B" shown in Edit with its company name changed to "B2".
        f->addOwner("A");
        f->addOwner("B");
        view = &f->openView();
        f->selector()->setCurrentIndex(1);
        f->click("editButton");
        f->type("companyName", "B2");
        const bool fromNew = answer == "yes from new", fails = answer.endsWith("fails");
        const QString typed = fromNew ? "C" : fails ? "" : "B2";
        if (fromNew) {
            f->m_prompter.answer(Answer::No, Messages::ApplyChangesQuestion);
            f->click("newButton");
            f->m_prompter.clear();
        }
        if (fromNew || fails)
            f->type("companyName", typed);
        if (fails)
            company()->clear();
        f->m_prompter.answer(answer == "cancel" ? Answer::Cancel
                             : answer == "no"   ? Answer::No
                                                : Answer::Yes,
                             Messages::ApplyChangesQuestion);
        if (fails)
            f->m_prompter.answer(Answer::Ok, Messages::CompanyOrLastNameRequired);
        bool left = true;
        if (trigger == "new")
            f->click("newButton");
        else if (trigger == "select")
            f->selector()->setCurrentIndex(0);
        else
            left = view->canLeave(HomeForm);
        QCOMPARE(f->m_prompter.prompts().first().buttons, Prompter::Buttons::YesNoCancel);
        QCOMPARE(f->m_prompter.prompts().first().icon, Prompter::Icon::Question);
        const bool saved = answer.startsWith("yes") && !fails;
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName = '" + typed + "'"),
                 saved ? 1 : 0);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo"), saved && fromNew ? 3 : 2);
        if (answer == "cancel" || fails) {
            QVERIFY(trigger != "leave" || !left);
            QCOMPARE(view->mode(), Mode::Edit);
            QCOMPARE(company()->text(), typed);
            QCOMPARE(f->selector()->currentText(), QString("B"));
            return;
        }
        QVERIFY(left);
        QCOMPARE(f->selector()->count(), saved && fromNew ? 3 : 2);
        if (trigger == "new") {
            QCOMPARE(view->mode(), Mode::AddNew);
            QVERIFY(company()->text().isEmpty());
        } else if (trigger == "select") {
            QCOMPARE(f->selector()->currentText(), QString("A"));
            QCOMPARE(company()->text(), QString("A"));
            QCOMPARE(view->mode(), Mode::Browse);
        } else {
            // What is on screen is what is stored, should the form stay shown.
            const QString shown = saved ? typed : QString("B");
            QCOMPARE(company()->text(), shown);
            QCOMPARE(f->selector()->currentText(), shown);
            QCOMPARE(view->currentKey(), fromNew ? 3 : 2);
            QVERIFY(view->canLeave(HomeForm));
        }
    }

    // Enter runs the marked command, and the context menu leaves out Delete while a record is being edited.
    void enterKeyAndContextMenuFollowTheMode()
    {
        const QStringList full{"New", "Edit", "-", "Save", "Reset", "-", "Delete"};
        const QStringList editing{"New", "Edit", "-", "Save", "Reset"};
        openWithOwner("A");
        QCOMPARE(menuItems(), full);
        QCOMPARE(view->markedButton(), f->find<QPushButton>("editButton"));
        QTest::keyClick(company(), Qt::Key_Return);
        QCOMPARE(view->mode(), Mode::Edit);
        QCOMPARE(view->markedButton(), f->find<QPushButton>("saveButton"));
        QCOMPARE(menuItems(), full);

        // Nothing to save yet: the marked Save is disabled and Enter does nothing.
        QTest::keyClick(company(), Qt::Key_Return);
        QCOMPARE(view->mode(), Mode::Edit);

        f->type("companyName", "A2");
        QCOMPARE(menuItems(), editing);
        QTest::keyClick(company(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(view->mode(), Mode::Browse);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName = 'A2'"), 1);
        QCOMPARE(view->markedButton(), f->find<QPushButton>("newButton"));

        // A focused command button runs its own command.
        QPushButton* edit = f->find<QPushButton>("editButton");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(view->mode(), Mode::Edit);
        f->click("newButton");
        QCOMPARE(menuItems(), editing);
    }

    void clipboardCommandsFollowTheFocusedField()
    {
        openWithOwner("Acme");
        QApplication::clipboard()->setText("pasted");
        company()->setFocus();
        company()->selectAll();
        QVERIFY(view->canCopy() && !view->canPaste() && !view->canCut());

        f->click("editButton");
        company()->selectAll();
        QVERIFY(view->canCut() && view->canPaste());
        view->commandPaste();
        QCOMPARE(company()->text(), QString("pasted"));
        QVERIFY(view->hasUnsavedChanges());
    }

    void duplicateStartsANewRecordWithTheValues()
    {
        openWithOwner("A");
        f->click("editButton");
        f->type("city", "Springfield");
        f->click("saveButton");

        // Its mode, disabled selector and first focus are checked on the vehicle form (tst_fleetforms).
        view->commandDuplicate();
        QCOMPARE(title(), QString("New Owner"));
        QCOMPARE(company()->text(), QString("A"));
        QVERIFY(!view->canDuplicate());

        f->type("companyName", "A copy");
        f->click("saveButton");
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 2);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE City = 'Springfield'"), 2);
        QCOMPARE(f->selector()->currentText(), QString("A copy"));
    }

    void navigationAndRefresh()
    {
        openWithOwner("A");
        QSignalSpy switches(view, &CFormView::switchFormRequested);
        f->click("nextButton");
        f->click("homeButton");
        f->click("backButton");
        QCOMPARE(switches.size(), 2);
        QCOMPARE(switches.at(0).at(0).toInt(), int(VehicleForm));
        QCOMPARE(switches.at(1).at(0).toInt(), int(HomeForm));

        // Shown again, the form keeps its list (the update hint of a change refills it, as editAndSave
        // shows).
        f->addOwner("B");
        view->enter(0, 0);
        QCOMPARE(f->selectorTexts(), QStringList({"A"}));
    }

    void ownerListTexts()
    {
        f->addOwner("Zenith Fleet", "", "", "Store 5");
        f->addOwner("", "Smith");
        f->addOwner("", "Doe", "John");
        f->addOwner("O'Neil Motors", "Neil", "Pat");
        // An owner whose contact row is missing stays reachable.
        f->db().execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (9, 99)");
        f->openView();
        QCOMPARE(f->selectorTexts(),
                 QStringList({"", "Doe, John", "O'Neil Motors", "Smith", "Zenith Fleet, Store 5"}));
        QCOMPARE(f->field("companyName")->text(), QString());
        f->selector()->setCurrentIndex(1);
        QCOMPARE(f->field("firstName")->text(), QString("John"));
    }

    // An owner with vehicles is deleted only after a second question, which takes the vehicles' rows too; one
    // without is asked about once and only the owners' forms are told.
    void deleteAsksAgainForAnOwnerWithVehicles()
    {
        f->addOwner("Bare");
        const qint32 fleet = f->addOwner("Fleet");
        addVehicleRows(f->db(), 1, fleet);
        addVehicleRows(f->db(), 2, fleet);
        addVehicleRows(f->db(), 3, f->addOwner("Other"));
        COwnerView& view = f->openView();
        f->selector()->setCurrentIndex(1);
        QSignalSpy hints(&f->m_doc, &CVelDoc::viewsNeedUpdate);
        const auto deleteShown = [&](std::optional<Answer> vehiclesToo) {
            f->m_prompter.answer(Answer::Yes, Messages::DeleteOwnerQuestion);
            if (vehiclesToo)
                f->m_prompter.answer(*vehiclesToo, Messages::OwnerVehiclesDeleteQuestion);
            view.commandDelete();
        };

        deleteShown(Answer::No);
        QCOMPARE(rowsOfVehicles(f->db(), "1, 2"), 20);
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 3);
        deleteShown(Answer::Yes);
        QCOMPARE(rowsOfVehicles(f->db(), "1, 2"), 0);
        QCOMPARE(rowsOfVehicles(f->db(), "3"), 10);
        QCOMPARE(f->selectorTexts(), QStringList({"Bare", "Other"}));
        QCOMPARE(f->field("companyName")->text(), QString("Bare"));
        deleteShown(std::nullopt);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName IN ('Bare', 'Fleet')"), 0);
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 1);
        QCOMPARE(f->selectorTexts(), QStringList({"Other"}));
        QList<int> told;
        for (const QList<QVariant>& hint : hints)
            told << hint.at(0).toInt();
        QCOMPARE(told, QList<int>({OwnersHint, VehiclesHint, OwnersHint}));

        deleteShown(Answer::Yes);
        QCOMPARE(view.mode(), Mode::AddNew);
        QVERIFY(!f->find<QPushButton>("nextButton")->isEnabled());
    }

    // The contact read for the dialog keeps its apostrophes and joins the agent's names; the dialog only
    // shows.
    void contactInformationDialogOnlyShows()
    {
        f->db().execute(
            "INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, FirstName, LastName, Phone, Memo) "
            "VALUES (6, 3, 'Ann`s Insurance', 'Ann', 'Lee', '555-1234', 'Call after 5')");
        QVERIFY(!ContactOperations::contactDetails(f->db(), 7));
        CContactInfoDialog dialog(ContactOperations::contactDetails(f->db(), 6).value());
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const auto line = [&](const char* name) { return dialog.findChild<QLineEdit*>(name); };
        QCOMPARE(QStringList({line("companyName")->text(), line("agentName")->text(), line("phone")->text()}),
                 QStringList({"Ann's Insurance", "Ann Lee", "555-1234"}));
        QVERIFY(line("companyName")->isReadOnly());
        QCOMPARE(QApplication::focusWidget(), line("companyName"));
        auto* comments = dialog.findChild<QPlainTextEdit*>("comments");
        QVERIFY(comments->isReadOnly() && comments->toPlainText() == "Call after 5");
        QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(RecordFormTest)
#include "tst_recordform.moc"
