#include "frmAbout.h"

#include "core/Site.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace extras {

frmAbout::frmAbout(core::AppState &state, platform::Desktop &desktop, const QPixmap &logo,
                   QString programFolder, QWidget *parent)
    : QDialog(parent), m_state(state), m_desktop(desktop), m_programFolder(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Imagrove 1.5"));
    auto *layout = new QVBoxLayout(this);
    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    auto *inside = new QVBoxLayout(Shape1);
    auto *pictures = new QHBoxLayout;
    Image1 = new QLabel(Shape1);
    Image1->setPixmap(logo.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    Image2 = new QLabel(Shape1);
    Image2->setPixmap(logo);
    pictures->addWidget(Image1);
    pictures->addStretch();
    pictures->addWidget(Image2);
    inside->addLayout(pictures);
    const auto label = [&](QLabel *&member, const char *name, const QString &words) {
        member = new QLabel(words, Shape1);
        member->setObjectName(QLatin1String(name));
        member->setWordWrap(true);
        inside->addWidget(member);
    };
    label(Label3, "Label3", QStringLiteral("Imagrove %1").arg(QLatin1String(IMAGROVE_VERSION)));
    label(Label4, "Label4", QStringLiteral("Copyright (C) 2026 the Imagrove developers"));
    label(Label5, "Label5",
          QStringLiteral("Free software under the GNU General Public License, version 2 or "
                         "(at your option) any later version"));
    label(Label6, "Label6",
          QStringLiteral("Project and source code: ") +
              core::sitePage(QStringLiteral("source.htm")));
    label(Label7, "Label7", QStringLiteral("Thank you for using Imagrove."));
    label(Label2, "Label2", QStringLiteral("Visit us at ") + core::siteAddress());
    label(Label1, "Label1", QStringLiteral("Click mouse button to exit"));
    Label2->setCursor(Qt::PointingHandCursor);
    linkColour(Qt::blue);
    layout->addWidget(Shape1);
    setMinimumWidth(420); // the addresses on one line each

    setMouseTracking(true);
    for (QWidget *widget :
         std::initializer_list<QWidget *>{this, Shape1, Image1, Image2, Label1, Label2, Label3,
                                          Label4, Label5, Label6, Label7}) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

frmAbout::~frmAbout() = default;

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label2)
            Label2_Click();
        else
            accept();
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == Label2)
            linkColour(Qt::red);
        else if (watched == this || watched == Shape1 || watched == Label4 || watched == Label7)
            linkColour(Qt::blue);
        // Each picture and label has its own; none passes to the window.
        return watched != this;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::linkColour(Qt::GlobalColor colour)
{
    QPalette palette = Label2->palette();
    palette.setColor(QPalette::WindowText, colour);
    Label2->setPalette(palette);
}

void frmAbout::Label2_Click()
{
    m_desktop.shellOpen(core::sitePage(QStringLiteral("index2.htm")), m_programFolder);
}

void frmAbout::done(int result)
{
    if (!m_unloaded) {
        m_unloaded = true;
        m_secondary.release();
    }
    QDialog::done(result);
}

} // namespace extras
