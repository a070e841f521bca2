#pragma once

#include <QString>

// Every question and message the program puts to the user goes through one of these, handed to the code
// that needs it. The desktop shows real dialogs; tests play back scripted answers.
class Prompter
{
public:
    enum class Icon { None, Information, Exclamation, Question, Error };
    // YesNoDefaultNo: a question where Enter should not carry out the step by accident.
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileDialog
    {
        QString title;
        QString defaultSuffix;  // "bak"
        QString defaultName;    // "Velmora.bak"
        QString filter;         // "Velmora Database (Velmora.bak)"
        QString folder;         // where the dialog starts
        bool confirmOverwrite = false;
    };

    virtual ~Prompter() = default;

    virtual Answer ask(const QString& text, Icon icon, Buttons buttons) = 0;
    // Empty when the user cancels.
    virtual QString saveFileName(const FileDialog& dialog) = 0;
    virtual QString openFileName(const FileDialog& dialog) = 0;
    // The note with a "&Show this message next time" box; returns whether the box is still ticked.
    virtual bool note(const QString& text) = 0;
    // Long work: the wait cursor is on between begin and end.
    virtual void beginBusy() {}
    virtual void endBusy() {}

    void message(const QString& text, Icon icon = Icon::Exclamation) { ask(text, icon, Buttons::Ok); }
    void information(const QString& text) { ask(text, Icon::Information, Buttons::Ok); }
    bool yesNo(const QString& text) { return ask(text, Icon::Question, Buttons::YesNo) == Answer::Yes; }
    bool yesNoDefaultNo(const QString& text)
    {
        return ask(text, Icon::Question, Buttons::YesNoDefaultNo) == Answer::Yes;
    }
};

// Wait cursor for the length of a scope.
class BusyScope
{
public:
    explicit BusyScope(Prompter& prompter) : m_prompter(prompter) { m_prompter.beginBusy(); }
    ~BusyScope() { m_prompter.endBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Prompter& m_prompter;
};
