#include "frmAgr.h"

#include "core/SettingKeys.h"
#include "platform/ErrorReport.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace extras {

frmAgr::frmAgr(core::SettingsStore &settings, platform::Desktop &desktop, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmAgr"));
    setWindowTitle(QStringLiteral("Imagrove License Agreement"));
    auto *layout = new QVBoxLayout(this);
    Label1 =
        new QLabel(QStringLiteral("Please read the license agreement before continuing "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QPlainTextEdit(agreementText(), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Label2 = new QLabel(QStringLiteral("Do you agree to the license above?"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    cmdIagree = new QPushButton(QStringLiteral("Yes"), this);
    cmdIagree->setObjectName(QStringLiteral("cmdIagree"));
    cmdIdont = new QPushButton(QStringLiteral("No"), this);
    cmdIdont->setObjectName(QStringLiteral("cmdIdont"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Label2);
    buttons->addStretch();
    buttons->addWidget(cmdIagree);
    buttons->addWidget(cmdIdont);
    layout->addWidget(Label1);
    layout->addWidget(Text1);
    layout->addLayout(buttons);
    resize(560, 460);
    connect(cmdIagree, &QPushButton::clicked, this, &frmAgr::cmdIagree_Click);
    connect(cmdIdont, &QPushButton::clicked, this, &QDialog::reject);
}

QString frmAgr::agreementText()
{
    QString text = QStringLiteral(
        "Imagrove is free software. In short:\n\n"
        "- You may use Imagrove for any purpose, at home or at work, at no cost.\n"
        "- You may copy it and give it to others, changed or unchanged, as long as you pass on "
        "the same freedoms: the source code goes with it, under this same licence.\n"
        "- Imagrove comes with NO WARRANTY, to the extent the law permits.\n\n"
        "Imagrove is licensed under the GNU General Public License, version 2 or (at your option) "
        "any later version. The summary above is not the licence; the licence follows in "
        "full.\n\n");
    QFile licence(QStringLiteral(":/COPYING"));
    if (licence.open(QIODevice::ReadOnly))
        text += QString::fromUtf8(licence.readAll());
    return text;
}

void frmAgr::cmdIagree_Click()
{
    try {
        core::keys::License.save(m_settings, QStringLiteral("0"));
    } catch (const platform::Error &error) {
        platform::reportError(m_desktop, error, platform::captions::ErrorNumber);
    }
    accept();
}

} // namespace extras
