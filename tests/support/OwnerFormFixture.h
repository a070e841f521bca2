#pragma once

#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/ui/VelApp.h"
#include "context/VelDoc.h"
#include "fleet/OwnerRecord.h"
#include "fleet/ui/OwnerView.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// A fresh database, scripted prompter, application object and document per test, and the owner form on
// them, shown and active so that focus and keys behave as on the desktop.
class OwnerFormFixture
{
public:
    OwnerFormFixture() { m_app.setDatabasePath(m_env.createDatabase(m_app.database())); }
    ~OwnerFormFixture() { m_prompter.verifyDone(); }

    Database& db() { return m_app.database(); }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }
    qint32 addOwner(const QString& company, const QString& last = {}, const QString& first = {},
                    const QString& location = {})
    {
        OwnerRecord record;
        record.companyName = company;
        record.lastName = last;
        record.firstName = first;
        record.locationId = location;
        return record.save(db(), 0);
    }
    COwnerView& openView()
    {
        m_view = std::make_unique<COwnerView>(m_app, m_doc);
        m_view->show();
        QApplication::setActiveWindow(m_view.get());
        if (!QTest::qWaitForWindowActive(m_view.get()))
            qFatal("the owner form did not become active");
        m_view->enter(0, 0);
        return *m_view;
    }
    template <class T = QWidget> T* find(const char* name)
    {
        T* widget = m_view->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QLineEdit* field(const char* name) { return find<QLineEdit>(name); }
    QComboBox* selector() { return find<QComboBox>("ownerSelector"); }
    void click(const char* buttonName) { QTest::mouseClick(find<QPushButton>(buttonName), Qt::LeftButton); }
    // Replaces the field's text by typing.
    void type(const char* fieldName, const QString& text)
    {
        QLineEdit* edit = field(fieldName);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    QStringList selectorTexts()
    {
        QStringList texts;
        for (int i = 0; i < selector()->count(); ++i)
            texts << selector()->itemText(i);
        return texts;
    }

    TestEnvironment m_env;
    ScriptedPrompter m_prompter;
    CVelApp m_app{m_prompter};
    CVelDoc m_doc;
    std::unique_ptr<COwnerView> m_view;
};
