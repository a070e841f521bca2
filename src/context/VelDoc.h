#pragma once

#include <QObject>

// Holds no records: it tells the views why they should refresh (the update hint), so that a change made
// on one form reaches the others.
class CVelDoc : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    int updateHint() const { return m_hint; }
    // Sets the hint, tells every view, and resets the hint to 0.
    void updateAllViews(int hint);

Q_SIGNALS:
    void viewsNeedUpdate(int hint);

private:
    int m_hint = 0;
};
