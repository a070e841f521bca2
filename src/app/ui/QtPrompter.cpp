#include "app/ui/QtPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Velmora");

// While the wait cursor is on, a dialog still shows the ordinary pointer.
class ArrowWhileBusy
{
public:
    explicit ArrowWhileBusy(bool busy) : m_busy(busy)
    {
        if (m_busy)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileBusy()
    {
        if (m_busy)
            QApplication::restoreOverrideCursor();
    }
    ArrowWhileBusy(const ArrowWhileBusy&) = delete;
    ArrowWhileBusy& operator=(const ArrowWhileBusy&) = delete;

private:
    bool m_busy;
};

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::Error:
        return QMessageBox::Critical;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(Prompter::Buttons buttons)
{
    switch (buttons) {
    case Prompter::Buttons::Ok:
        return QMessageBox::Ok;
    case Prompter::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompter::Buttons::YesNo:
    case Prompter::Buttons::YesNoDefaultNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Prompter::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

} // namespace

Prompter::Answer QtPrompter::ask(const QString& text, Icon icon, Buttons buttons)
{
    ArrowWhileBusy arrow(m_busyDepth > 0);
    QMessageBox box(boxIcon(icon), Title, text, boxButtons(buttons), m_parent);
    const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo;
    box.setDefaultButton(buttons == Buttons::YesNoDefaultNo                      ? QMessageBox::No
                         : yesNo || buttons == Buttons::YesNoCancel ? QMessageBox::Yes
                                                                    : QMessageBox::Ok);
    // Closing a Yes/No box with the window's close button or Escape means No.
    if (yesNo)
        box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return yesNo ? Answer::No : Answer::Cancel;
    }
}

QString QtPrompter::runFileDialog(const FileDialog& dialog, bool save)
{
    ArrowWhileBusy arrow(m_busyDepth > 0);
    QFileDialog fileDialog(m_parent, dialog.title.isEmpty() ? Title : dialog.title, dialog.folder);
    fileDialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fileDialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!dialog.filter.isEmpty())
        fileDialog.setNameFilters(dialog.filter.split(QStringLiteral(";;")));
    fileDialog.setDefaultSuffix(dialog.defaultSuffix);
    if (!dialog.defaultName.isEmpty())
        fileDialog.selectFile(dialog.defaultName);
    fileDialog.setOption(QFileDialog::DontConfirmOverwrite, !dialog.confirmOverwrite);
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return {};
    return fileDialog.selectedFiles().constFirst();
}

QString QtPrompter::saveFileName(const FileDialog& dialog)
{
    return runFileDialog(dialog, true);
}

QString QtPrompter::openFileName(const FileDialog& dialog)
{
    return runFileDialog(dialog, false);
}

bool QtPrompter::note(const QString& text)
{
    ArrowWhileBusy arrow(m_busyDepth > 0);
    QDialog dialog(m_parent);
    dialog.setWindowTitle(Title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(text, &dialog);
    label->setObjectName(QStringLiteral("noteText"));
    label->setWordWrap(true);
    label->setMinimumWidth(320);
    auto* showNextTime = new QCheckBox(QStringLiteral("&Show this message next time"), &dialog);
    showNextTime->setObjectName(QStringLiteral("showNextTimeCheck"));
    showNextTime->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(label);
    layout->addWidget(showNextTime);
    layout->addWidget(buttons);
    dialog.exec();
    return showNextTime->isChecked();
}

void QtPrompter::beginBusy()
{
    if (m_busyDepth++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtPrompter::endBusy()
{
    if (m_busyDepth > 0 && --m_busyDepth == 0)
        QApplication::restoreOverrideCursor();
}
