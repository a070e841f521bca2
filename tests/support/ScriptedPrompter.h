#pragma once

#include "db/Prompter.h"

#include <QList>
#include <QString>
#include <deque>

// Plays back queued answers and records every prompt. A prompt with no queued answer, or one whose
// expected text does not match, fails the test; so does an answer left over (call verifyDone()).
class ScriptedPrompter : public Prompter
{
public:
    struct Prompt
    {
        enum class Kind { Message, SaveFile, OpenFile, Note };
        Kind kind;
        QString text;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        FileDialog dialog;
    };

    // Queue an answer to the next message box; with text, the prompt must contain it.
    ScriptedPrompter& answer(Answer answer, const QString& expectedText = QString())
    {
        return queue({Prompt::Kind::Message, answer, expectedText});
    }
    // Queue the path a file dialog returns (empty = cancel).
    ScriptedPrompter& file(const QString& path) { return queue({Prompt::Kind::SaveFile, Answer::Ok, path}); }
    // Queue the state of the "show next time" box for the next note.
    ScriptedPrompter& noteAnswer(bool showNextTime)
    {
        return queue({Prompt::Kind::Note, Answer::Ok, QString(), showNextTime});
    }

    Answer ask(const QString& text, Icon icon, Buttons buttons) override;
    QString saveFileName(const FileDialog& dialog) override;
    QString openFileName(const FileDialog& dialog) override;
    bool note(const QString& text) override;
    void beginBusy() override
    {
        ++m_busyDepth;
        ++m_busyCount;
    }
    void endBusy() override { --m_busyDepth; }

    // Every prompt text shown so far, in order.
    QStringList texts() const;
    const QList<Prompt>& prompts() const { return m_prompts; }
    void clear();
    bool verifyDone() const;
    // Prompts not as scripted are kept (unanswered ones answered Cancel) instead of failing the test at once.
    void collectUnexpected() { m_collect = true; }
    const QStringList& unexpected() const { return m_unexpected; }
    int busyCount() const { return m_busyCount; }
    int busyDepth() const { return m_busyDepth; }

private:
    struct Scripted
    {
        Prompt::Kind kind;
        Answer answer = Answer::Ok;
        QString text;
        bool flag = true;
    };
    Scripted take(Prompt::Kind kind, const QString& shown);
    ScriptedPrompter& queue(const Scripted& scripted)
    {
        m_queue.push_back(scripted);
        return *this;
    }

    std::deque<Scripted> m_queue;
    QList<Prompt> m_prompts;
    int m_busyDepth = 0;
    int m_busyCount = 0;
    bool m_collect = false;
    QStringList m_unexpected;
};
