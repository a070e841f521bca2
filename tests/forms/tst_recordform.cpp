#include "OwnerFormFixture.h"
#include "context/Enums.h"
#include "db/Messages.h"

#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

// The mode machine every record form shares, driven through the owner form's real widgets.
class RecordFormTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OwnerFormFixture> f;
    COwnerView* view = nullptr;

    QLineEdit* company() { return f->field("companyName"); }
    QString title() { return f->find<QLabel>("modeTitle")->text(); }
    bool enabled(const char* buttonName) { return f->find<QPushButton>(buttonName)->isEnabled(); }
    int changesWritten() { return f->count("SELECT total_changes()"); }
    // Owners "A" and "B", "B" shown in Edit with its company name changed to "B2".
    void editSecondOwner()
    {
        f->addOwner("A");
        f->addOwner("B");
        view = &f->openView();
        f->selector()->setCurrentIndex(1);
        f->click("editButton");
        f->type("companyName", "B2");
        QVERIFY(view->hasUnsavedChanges());
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
        QCOMPARE(view->mode(), Mode::AddNew);
        QCOMPARE(title(), QString("New Owner"));
        QVERIFY(!f->selector()->isEnabled());
        QVERIFY(!enabled("nextButton"));
        QVERIFY(!enabled("saveButton"));
        QCOMPARE(QApplication::focusWidget(), company());

        QTest::keyClicks(company(), "Acme");
        QVERIFY(enabled("nextButton"));
        QVERIFY(enabled("saveButton"));

        f->click("resetButton");
        QCOMPARE(view->mode(), Mode::AddNew);
        QVERIFY(company()->text().isEmpty());
        QVERIFY(!view->hasUnsavedChanges());
        QVERIFY(!enabled("nextButton"));
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 0);
    }

    void editFromBrowseAndSaveWithoutChanges()
    {
        f->addOwner("A");
        view = &f->openView();
        QCOMPARE(title(), QString("Browse Owner"));
        QVERIFY(company()->isReadOnly());
        QVERIFY(!enabled("saveButton") && !enabled("resetButton") && !enabled("backButton"));

        f->click("editButton");
        QCOMPARE(title(), QString("Edit Owner"));
        QVERIFY(!company()->isReadOnly());
        QVERIFY(f->selector()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), company());

        const int before = changesWritten();
        QVERIFY(view->save(CRecordForm::SaveKind::Plain));
        QCOMPARE(changesWritten(), before);
        QCOMPARE(view->mode(), Mode::Browse);
    }

    void saveWritesAndTellsTheOtherForms()
    {
        f->addOwner("A");
        view = &f->openView();
        COwnerView other(f->m_app, f->m_doc);
        other.enter(0, 0);
        QSignalSpy hints(&f->m_doc, &CVelDoc::viewsNeedUpdate);

        f->click("newButton");
        f->type("companyName", "Zed");
        f->click("saveButton");
        QCOMPARE(view->mode(), Mode::Browse);
        QCOMPARE(f->selector()->currentText(), QString("Zed"));
        QCOMPARE(view->currentKey(), 2);
        QCOMPARE(hints.size(), 1);
        QCOMPARE(hints.at(0).at(0).toInt(), int(OwnersHint));
        QCOMPARE(other.selector()->count(), 2);
        QCOMPARE(other.selector()->currentText(), QString("A"));
    }

    void newAsksAboutUnsavedChanges()
    {
        editSecondOwner();
        f->m_prompter.answer(Answer::Cancel, Messages::ApplyChangesQuestion);
        f->click("newButton");
        QCOMPARE(view->mode(), Mode::Edit);
        QCOMPARE(company()->text(), QString("B2"));
        QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::YesNoCancel);
        QCOMPARE(f->m_prompter.prompts().last().icon, Prompter::Icon::Question);

        f->m_prompter.answer(Answer::No, Messages::ApplyChangesQuestion);
        f->click("newButton");
        QCOMPARE(view->mode(), Mode::AddNew);
        QVERIFY(company()->text().isEmpty());
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName = 'B2'"), 0);

        f->type("companyName", "C");
        f->m_prompter.answer(Answer::Yes, Messages::ApplyChangesQuestion);
        f->click("newButton");
        QCOMPARE(view->mode(), Mode::AddNew);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName = 'C'"), 1);
        QCOMPARE(f->selector()->count(), 3);
    }

    void selectionChangeAsksAboutUnsavedChanges()
    {
        editSecondOwner();
        f->m_prompter.answer(Answer::Cancel, Messages::ApplyChangesQuestion);
        f->selector()->setCurrentIndex(0);
        QCOMPARE(f->selector()->currentText(), QString("B"));
        QCOMPARE(company()->text(), QString("B2"));

        // Yes with values that fail a check: the message, then back where the user was.
        company()->clear();
        f->m_prompter.answer(Answer::Yes, Messages::ApplyChangesQuestion)
            .answer(Answer::Ok, Messages::CompanyOrLastNameRequired);
        f->selector()->setCurrentIndex(0);
        QCOMPARE(f->selector()->currentText(), QString("B"));
        QVERIFY(view->hasUnsavedChanges());
        QCOMPARE(view->mode(), Mode::Edit);

        f->type("companyName", "B3");
        f->m_prompter.answer(Answer::Yes, Messages::ApplyChangesQuestion);
        f->selector()->setCurrentIndex(0);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName = 'B3'"), 1);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo"), 2);
        QCOMPARE(f->selector()->currentText(), QString("A"));
        QCOMPARE(company()->text(), QString("A"));
        QCOMPARE(view->mode(), Mode::Browse);

        f->click("editButton");
        f->type("companyName", "A2");
        f->m_prompter.answer(Answer::No, Messages::ApplyChangesQuestion);
        f->selector()->setCurrentIndex(1);
        QCOMPARE(company()->text(), QString("B3"));
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName = 'A2'"), 0);
    }

    void leavingAsksAboutUnsavedChanges()
    {
        editSecondOwner();
        f->m_prompter.answer(Answer::Cancel, Messages::ApplyChangesQuestion);
        QVERIFY(!view->canLeave(VehicleForm));
        QCOMPARE(company()->text(), QString("B2"));

        f->m_prompter.answer(Answer::No, Messages::ApplyChangesQuestion);
        QVERIFY(view->canLeave(VehicleForm));
        QCOMPARE(company()->text(), QString("B"));
        QVERIFY(view->canLeave(VehicleForm));

        f->click("newButton");
        f->type("companyName", "New One");
        f->m_prompter.answer(Answer::Yes, Messages::ApplyChangesQuestion);
        QVERIFY(view->canLeave(HomeForm));
        // The saved owner is the one on screen and selected, should the form stay shown.
        QCOMPARE(f->selector()->currentText(), QString("New One"));
        QCOMPARE(company()->text(), QString("New One"));
        QCOMPARE(view->currentKey(), 3);

        f->click("editButton");
        company()->clear();
        f->m_prompter.answer(Answer::Yes, Messages::ApplyChangesQuestion)
            .answer(Answer::Ok, Messages::CompanyOrLastNameRequired);
        QVERIFY(!view->canLeave(HomeForm));
    }

    void enterKeyRunsTheMarkedCommand()
    {
        f->addOwner("A");
        view = &f->openView();
        QCOMPARE(view->markedButton(), f->find<QPushButton>("editButton"));
        QTest::keyClick(company(), Qt::Key_Return);
        QCOMPARE(view->mode(), Mode::Edit);
        QCOMPARE(view->markedButton(), f->find<QPushButton>("saveButton"));

        // Nothing to save yet: the marked Save is disabled and Enter does nothing.
        QTest::keyClick(company(), Qt::Key_Return);
        QCOMPARE(view->mode(), Mode::Edit);

        f->type("companyName", "A2");
        QTest::keyClick(company(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(view->mode(), Mode::Browse);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName = 'A2'"), 1);
        QCOMPARE(view->markedButton(), f->find<QPushButton>("newButton"));

        // A focused command button runs its own command.
        QPushButton* edit = f->find<QPushButton>("editButton");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(view->mode(), Mode::Edit);
    }

    void contextMenuLeavesOutDeleteWhileEditing()
    {
        f->addOwner("A");
        view = &f->openView();
        const QStringList full{"New", "Edit", "-", "Save", "Reset", "-", "Delete"};
        const QStringList editing{"New", "Edit", "-", "Save", "Reset"};
        QCOMPARE(menuItems(), full);
        f->click("editButton");
        QCOMPARE(menuItems(), full);
        f->type("companyName", "A2");
        QCOMPARE(menuItems(), editing);
        f->click("resetButton");
        f->click("newButton");
        QCOMPARE(menuItems(), editing);
    }

    void clipboardCommandsFollowTheFocusedField()
    {
        f->addOwner("Acme");
        view = &f->openView();
        QApplication::clipboard()->setText("pasted");
        company()->setFocus();
        company()->selectAll();
        QVERIFY(view->canCopy());
        QVERIFY(!view->canPaste());
        QVERIFY(!view->canCut());

        f->click("editButton");
        company()->selectAll();
        QVERIFY(view->canCut() && view->canPaste());
        view->commandPaste();
        QCOMPARE(company()->text(), QString("pasted"));
        QVERIFY(view->hasUnsavedChanges());
    }

    void duplicateStartsANewRecordWithTheValues()
    {
        f->addOwner("A");
        view = &f->openView();
        f->click("editButton");
        f->type("city", "Springfield");
        f->click("saveButton");

        view->commandDuplicate();
        QCOMPARE(view->mode(), Mode::AddNew);
        QCOMPARE(title(), QString("New Owner"));
        QVERIFY(!f->selector()->isEnabled());
        QCOMPARE(company()->text(), QString("A"));
        QCOMPARE(f->field("city")->text(), QString("Springfield"));
        QCOMPARE(QApplication::focusWidget(), company());
        QVERIFY(!view->canDuplicate());

        f->type("companyName", "A copy");
        f->click("saveButton");
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 2);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE City = 'Springfield'"), 2);
        QCOMPARE(f->selector()->currentText(), QString("A copy"));
    }

    void navigationAndRefresh()
    {
        f->addOwner("A");
        view = &f->openView();
        QSignalSpy switches(view, &CFormView::switchFormRequested);
        f->click("nextButton");
        f->click("homeButton");
        f->click("backButton");
        QCOMPARE(switches.size(), 2);
        QCOMPARE(switches.at(0).at(0).toInt(), int(VehicleForm));
        QCOMPARE(switches.at(1).at(0).toInt(), int(HomeForm));

        // Shown again, the form keeps its list; the update hint of a change refills it.
        f->addOwner("B");
        view->enter(0, 0);
        QCOMPARE(f->selectorTexts(), QStringList({"A"}));
        f->m_doc.updateAllViews(OwnersHint);
        QCOMPARE(f->selectorTexts(), QStringList({"A", "B"}));
    }
};

QTEST_MAIN(RecordFormTest)
#include "tst_recordform.moc"
