#include "app/ui/HelpWindow.h"

#include "context/Enums.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTreeWidget>

// The guide is compiled into a static library; referencing it here keeps the linker from dropping it.
static void loadHelpResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    Q_UNUSED(loaded);
}

namespace {

constexpr int HeadingRole = Qt::UserRole;
constexpr int MaxImageWidth = 560;

// "Job orders" and a link "#job-orders" name the same section.
QString slug(const QString& heading)
{
    QString result;
    for (QChar ch : heading.toLower()) {
        if (ch.isLetterOrNumber())
            result += ch;
        else if (ch.isSpace() || ch == u'-')
            result += u'-';
    }
    return result;
}

QTextBlock headingBlock(const QTextDocument* document, const QString& heading)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() > 0 &&
            (block.text() == heading || slug(block.text()) == slug(heading)))
            return block;
    return {};
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Velmora User Guide"));

    m_contents = new QTreeWidget(this);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setHeaderHidden(true);
    m_contents->setRootIsDecorated(false);
    m_contents->setIndentation(14);
    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("helpText"));
    m_text->setOpenLinks(false);
    m_text->document()->setDocumentMargin(12);
    connect(m_text, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showSection(item->data(0, HeadingRole).toString()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showSection(item->data(0, HeadingRole).toString()); });

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_text);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 650});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(920, 660);

    // Escape closes the guide from wherever the focus is in it.
    auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::setGuide(const QString& markdown, const QUrl& baseUrl)
{
    QTextDocument* document = m_text->document();
    document->setBaseUrl(baseUrl);
    m_text->setMarkdown(markdown);
    fitImages();

    // The contents list the chapters (level 2) with their sections (level 3) beneath.
    m_contents->clear();
    QTreeWidgetItem* chapter = nullptr;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 2 || level > 3 || (level == 3 && !chapter))
            continue;
        auto* item = level == 2 ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(chapter);
        item->setText(0, block.text());
        item->setData(0, HeadingRole, block.text());
        if (level == 2)
            chapter = item;
    }
    m_contents->expandAll();
}

void HelpWindow::fitImages()
{
    // The screenshots are shown at most as wide as the text column is comfortable to read.
    QTextDocument* document = m_text->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(image.name()));
            const QImage picture = resource.value<QImage>();
            if (picture.isNull() || picture.width() <= MaxImageWidth)
                continue;
            image.setWidth(MaxImageWidth);
            image.setHeight(picture.height() * MaxImageWidth / picture.width());
            QTextCursor cursor(document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

bool HelpWindow::showSection(const QString& heading)
{
    const QTextBlock block = headingBlock(m_text->document(), heading);
    if (!block.isValid())
        return false;
    m_text->setTextCursor(QTextCursor(block));
    const QRectF where = m_text->document()->documentLayout()->blockBoundingRect(block);
    m_text->verticalScrollBar()->setValue(int(where.top()));
    const QList<QTreeWidgetItem*> items =
        m_contents->findItems(block.text(), Qt::MatchExactly | Qt::MatchRecursive);
    if (!items.isEmpty())
        m_contents->setCurrentItem(items.constFirst());
    return true;
}

QString HelpWindow::currentSection() const
{
    const QTextDocument* document = m_text->document();
    const int top = m_text->verticalScrollBar()->value();
    QString current;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0)
            continue;
        if (document->documentLayout()->blockBoundingRect(block).top() > top + 1)
            break;
        current = block.text();
    }
    return current;
}

void HelpWindow::followLink(const QUrl& url)
{
    if (url.isRelative() && url.path().isEmpty() && url.hasFragment())
        showSection(url.fragment());
    else
        QDesktopServices::openUrl(url);
}

QString HelpWindow::sectionForForm(int formNumber)
{
    switch (formNumber) {
    case OwnerForm:
        return QStringLiteral("Owners");
    case VehicleForm:
        return QStringLiteral("Vehicles");
    case InsuranceForm:
    case LoanForm:
        return QStringLiteral("Loans and insurance");
    case CompanyForm:
        return QStringLiteral("Companies");
    case ScheduleForm:
        return QStringLiteral("Service schedules");
    case MaintenanceForm:
        return QStringLiteral("Maintenance");
    case JobOrderForm:
        return QStringLiteral("Job orders");
    case GasForm:
        return QStringLiteral("Fuel");
    case ScheduleMonitorForm:
        return QStringLiteral("The schedule monitor and reminders");
    case ReportForm:
        return QStringLiteral("Reports");
    default:
        return QStringLiteral("Getting started");
    }
}

HelpWindow* HelpWindow::open(QWidget* mainWindow, const QString& section)
{
    auto* window =
        mainWindow ? mainWindow->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!window) {
        loadHelpResources();
        window = new HelpWindow(mainWindow);
        QFile guide(QStringLiteral(":/help/user-guide.md"));
        const QString text = guide.open(QIODevice::ReadOnly)
                                 ? QString::fromUtf8(guide.readAll())
                                 : QStringLiteral("# Velmora User Guide\n\nThe guide could not be read.");
        window->setGuide(text, QUrl(QStringLiteral("qrc:/help/")));
    }
    window->show();
    // The layout is complete once the window is shown; only then the section can be brought to the top.
    window->showSection(section);
    window->raise();
    window->activateWindow();
    return window;
}
