#include "ScriptedPrompter.h"

#include <QTest>

ScriptedPrompter::Scripted ScriptedPrompter::take(Prompt::Kind kind, const QString& shown)
{
    // When collecting, what is not as scripted is kept for the test to look at; otherwise it fails the test.
    const auto complain = [this](const QString& problem) {
        if (m_collect)
            m_unexpected << problem;
        else
            QTest::qFail(qPrintable(problem), __FILE__, __LINE__);
    };
    if (m_queue.empty()) {
        complain(m_collect ? shown : "unexpected prompt: " + shown);
        return {kind, kind == Prompt::Kind::Message ? Answer::Cancel : Answer::Ok, QString(), true};
    }
    Scripted next = m_queue.front();
    m_queue.pop_front();
    const bool fileKind = kind == Prompt::Kind::SaveFile || kind == Prompt::Kind::OpenFile;
    if ((next.kind == Prompt::Kind::SaveFile) != fileKind || (!fileKind && next.kind != kind))
        complain("prompt of another kind than scripted: " + shown);
    else if (kind == Prompt::Kind::Message && !next.text.isEmpty() && !shown.contains(next.text))
        complain(QString("expected a prompt with \"%1\" but got \"%2\"").arg(next.text, shown));
    return next;
}

Prompter::Answer ScriptedPrompter::ask(const QString& text, Icon icon, Buttons buttons)
{
    m_prompts.append({Prompt::Kind::Message, text, icon, buttons, {}});
    return take(Prompt::Kind::Message, text).answer;
}

QString ScriptedPrompter::saveFileName(const FileDialog& dialog)
{
    m_prompts.append({Prompt::Kind::SaveFile, dialog.title, Icon::None, Buttons::Ok, dialog});
    return take(Prompt::Kind::SaveFile, QStringLiteral("save dialog ") + dialog.title).text;
}

QString ScriptedPrompter::openFileName(const FileDialog& dialog)
{
    m_prompts.append({Prompt::Kind::OpenFile, dialog.title, Icon::None, Buttons::Ok, dialog});
    return take(Prompt::Kind::OpenFile, QStringLiteral("open dialog ") + dialog.title).text;
}

bool ScriptedPrompter::note(const QString& text)
{
    m_prompts.append({Prompt::Kind::Note, text, Icon::Information, Buttons::Ok, {}});
    return take(Prompt::Kind::Note, text).flag;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList all;
    for (const Prompt& prompt : m_prompts)
        all << prompt.text;
    return all;
}

void ScriptedPrompter::clear()
{
    m_queue.clear();
    m_prompts.clear();
}

bool ScriptedPrompter::verifyDone() const
{
    if (!m_queue.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("%1 scripted answer(s) left unused").arg(m_queue.size())),
                     __FILE__, __LINE__);
        return false;
    }
    return true;
}
