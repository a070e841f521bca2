#pragma once

#include "Dialogs.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "context/Enums.h"
#include "fleet/CompanyRecord.h"
#include "forms/RecordForm.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// A fresh database with one owner ("Harbourline") and two vehicles without loan or insurance, a scripted
// prompter, and the main window shown and active, so that the company, loan and insurance forms are
// reached and left the way the user does it.
class CompanyFormsFixture
{
public:
    CompanyFormsFixture()
    {
        m_app.setDatabasePath(m_env.createDatabase(db()));
        m_app.settings().setText(QStringLiteral("Settings"), QStringLiteral("InstallDir"), m_env.folder());
        m_app.loadVehicleColumns();
        for (const char* statement :
             {"INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (1, 1, 'Harbourline')",
              "INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1)",
              "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake) VALUES "
              "(1, 1, '2019', 'Ford'), (2, 1, '2012', 'Honda')"})
            db().execute(statement);
    }
    ~CompanyFormsFixture()
    {
        m_frame.reset();
        m_prompter.verifyDone();
    }

    Database& db() { return m_app.database(); }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }
    qint32 addCompany(const QString& name, int kind, const QString& phone = {})
    {
        CompanyRecord company;
        company.type = kind;
        company.companyName = name;
        company.phone = phone;
        return company.save(db(), 0);
    }

    CMainFrame& frame()
    {
        if (!m_frame) {
            m_frame = std::make_unique<CMainFrame>(m_app);
            showActive(*m_frame, QSize(1100, 760));
        }
        return *m_frame;
    }
    // Shows the form through the frame, as the Go menu does.
    CRecordForm& open(int formNumber)
    {
        frame().switchForm(formNumber);
        return shown();
    }
    CRecordForm& shown()
    {
        auto* form = qobject_cast<CRecordForm*>(frame().shownForm());
        if (!form)
            qFatal("no record form is shown");
        return *form;
    }
    int shownNumber() { return frame().shownForm()->formNumber(); }

    template <class T = QWidget> T* find(const char* name) { return childNamed<T>(shown(), name); }
    QLineEdit* field(const char* name) { return find<QLineEdit>(name); }
    QString text(const char* name) { return field(name)->text(); }
    QComboBox* box(const char* name) { return find<QComboBox>(name); }
    void click(const char* buttonName) { QTest::mouseClick(find<QPushButton>(buttonName), Qt::LeftButton); }
    void setText(const char* fieldName, const QString& text) { field(fieldName)->setText(text); }
    // Types into an editable box and moves the focus on to another field of the form.
    void typeAndLeave(const char* boxName, const QString& text, const char* nextField)
    {
        QComboBox* list = box(boxName);
        list->setFocus();
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), text);
        find<QWidget>(nextField)->setFocus();
        QTest::qWait(20);
    }
    QString title() { return find<QLabel>("modeTitle")->text(); }
    // Saves what is on screen, which must be refused: the message exactly, as a warning, the focus on the
    // field, and the form still in its mode.
    void saveRefused(const QString& message, const QString& focusField)
    {
        const CRecordForm::Mode mode = shown().mode();
        m_prompter.answer(Prompter::Answer::Ok, message);
        click("saveButton");
        QCOMPARE(m_prompter.prompts().last().text, message);
        QCOMPARE(m_prompter.prompts().last().icon, Prompter::Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), find<QWidget>(focusField.toLatin1().constData()));
        QCOMPARE(shown().mode(), mode);
    }

    TestEnvironment m_env;
    ScriptedPrompter m_prompter;
    CVelApp m_app{m_prompter};
    std::unique_ptr<CMainFrame> m_frame;
};
