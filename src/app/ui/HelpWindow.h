#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

// The user guide in a window of its own: the contents (the guide's headings) on the left, the text on the
// right. F1 opens it at the section about the form in front.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the guide written in Markdown; relative image names are looked up under baseUrl.
    void setGuide(const QString& markdown, const QUrl& baseUrl);
    // Scrolls the section with that heading to the top and selects it in the contents; false when the
    // guide has no such heading.
    bool showSection(const QString& heading);
    // The heading of the section shown at the top.
    QString currentSection() const;

    // The guide's section about a form (by form number); the guide's start for the home screens.
    static QString sectionForForm(int formNumber);
    // The program's one help window (made on first use, a window of its own over mainWindow), showing
    // the built-in guide at that section.
    static HelpWindow* open(QWidget* mainWindow, const QString& section);

private:
    void followLink(const QUrl& url);
    void fitImages();

    QTreeWidget* m_contents = nullptr;
    QTextBrowser* m_text = nullptr;
};
