#pragma once

#include "db/Prompter.h"

#include <QPointer>
#include <QWidget>

// The desktop's prompter: message boxes, file dialogs and the note dialog over the main window, and the
// wait cursor for long work.
class QtPrompter : public Prompter
{
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParentWidget(QWidget* parent) { m_parent = parent; }
    QWidget* parentWidget() const { return m_parent; }

    Answer ask(const QString& text, Icon icon, Buttons buttons) override;
    QString saveFileName(const FileDialog& dialog) override;
    QString openFileName(const FileDialog& dialog) override;
    bool note(const QString& text) override;
    void beginBusy() override;
    void endBusy() override;

private:
    QString runFileDialog(const FileDialog& dialog, bool save);

    QPointer<QWidget> m_parent;
    int m_busyDepth = 0;
};
