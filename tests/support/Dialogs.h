#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <functional>
#include <type_traits>

// The named child of parent; a missing one ends the test run naming it.
template <class T = QWidget> T* childNamed(const QObject& parent, const char* name)
{
    T* widget = parent.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

// Shows the window (at the size, if given) and waits until it is active, so that focus and keys behave as
// on the desktop.
inline void showActive(QWidget& window, const QSize& size = {})
{
    if (size.isValid())
        window.resize(size);
    window.show();
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window))
        qFatal("the window did not become active");
}

// Runs the action while the modal dialog it opens is handled by the steps. A dialog the steps leave open
// is rejected, so that a failed check inside them cannot leave the test waiting; no dialog fails the test.
template <class Dialog = QDialog>
void withDialog(const std::function<void()>& action,
                const std::type_identity_t<std::function<void(Dialog&)>>& steps)
{
    bool handled = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        handled = true;
        steps(*dialog);
        if (dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
    action();
    QVERIFY(handled);
}
