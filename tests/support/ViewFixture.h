#pragma once

#include "Dialogs.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/ui/VelApp.h"
#include "context/VelDoc.h"
#include "db/Database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

// A fresh database, scripted prompter, application object and document per test, and a form of the View
// class on them, shown and active so that focus and keys behave as on the desktop.
template <class View> class ViewFixture
{
public:
    ViewFixture() { m_app.setDatabasePath(m_env.createDatabase(m_app.database())); }
    ~ViewFixture()
    {
        m_view.reset();
        m_prompter.verifyDone();
    }

    Database& db() { return m_app.database(); }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }
    QString value(const QString& sql) { return db().scalar(sql).toString(); }
    View& openView(const QSize& size = QSize())
    {
        m_view = std::make_unique<View>(m_app, m_doc);
        showActive(*m_view, size);
        m_view->enter(0, 0);
        return *m_view;
    }
    template <class T = QWidget> T* find(const char* name) { return childNamed<T>(*m_view, name); }
    QLineEdit* field(const char* name) { return find<QLineEdit>(name); }
    void click(const char* buttonName)
    {
        QTest::mouseClick(find<QAbstractButton>(buttonName), Qt::LeftButton);
    }
    // Replaces the field's text by typing.
    void type(const char* fieldName, const QString& text)
    {
        QLineEdit* edit = field(fieldName);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    TestEnvironment m_env;
    ScriptedPrompter m_prompter;
    CVelApp m_app{m_prompter};
    CVelDoc m_doc;
    std::unique_ptr<View> m_view;
};
