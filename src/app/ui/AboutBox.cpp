#include "app/ui/AboutBox.h"

#include "app/ui/artwork/Artwork.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About Velmora"));
    setWindowIcon(Artwork::programIcon());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->setPixmap(Artwork::pixmap(QStringLiteral("velmora"), QSize(64, 64), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop);

    auto* version = new QLabel(QStringLiteral("Velmora v2.3"), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    QFont bold = version->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    version->setFont(bold);
    auto* purpose = new QLabel(QStringLiteral("Maintenance records for your vehicles and fleet"), this);
    auto* maker = new QLabel(QStringLiteral("Halvern Software"), this);
    maker->setEnabled(false);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(version);
    texts->addWidget(purpose);
    texts->addWidget(maker);
    texts->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon);
    top->addLayout(texts, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

void AboutBox::run(QWidget* parent)
{
    AboutBox box(parent);
    box.exec();
}
