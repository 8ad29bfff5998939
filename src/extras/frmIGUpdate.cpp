#include "frmIGUpdate.h"

#include "core/ImageTypes.h"
#include "core/SettingKeys.h"
#include "pantrel.h"
#include "platform/ErrorReport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace extras {

namespace {

// The types in the order they are processed, with the names this wizard
// registers them under.
struct Type
{
    const char *extension;
    const char *properName;
    const char *fullName;
};

constexpr Type types[] = {
    {"bmp", "Bitmap", "Bitmap"},
    {"jpg", "Jpeg", "Jpeg Compressed Image"},
    {"gif", "Compuserve GIF", "Compuserve GIF"},
    {"wmf", "Windows Metafile", "Windows Metafile"},
    {"emf", "Enhanced Windows Metafile", "Enhanced Windows Metafile"},
    {"ico", "Icon", "Icon File"},
    {"cur", "Cursor", "Cursor File"},
};

constexpr int BarSteps = 9; // one for each of the two other steps and one a type
const QString Absent = QStringLiteral("\x01");

QLabel *text(const QString &words, QWidget *parent)
{
    auto *label = new QLabel(words, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

frmIGUpdate::Upgrade frmIGUpdate::upgrade(const core::SettingsStore &settings)
{
    const core::SettingKey &key = core::keys::Updated;
    const QString stored = key.read(settings, Absent);
    Upgrade result;
    if (stored != Absent) {
        result.recorded = true;
        result.upgrading = core::encoding::toNumber(stored) == 0;
        return result;
    }
    result.upgrading = QFile::exists(settings.fileFor(core::keys::Imagrove)) &&
                       !QFile::exists(settings.fileFor(core::keys::Imagrove2));
    return result;
}

void frmIGUpdate::Upgrade::record(core::SettingsStore &settings) const
{
    if (!recorded)
        core::keys::Updated.save(settings, upgrading ? QStringLiteral("0") : QStringLiteral("1"));
}

frmIGUpdate::frmIGUpdate(core::SettingsStore &settings, core::AppState &state,
                         platform::Desktop &desktop, pantrel::_clsReg_n_FileAssoc *assoc,
                         QString programFolder, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_state(state), m_desktop(desktop), m_assoc(assoc),
      m_folder(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmIGUpdate"));
    setWindowTitle(QStringLiteral("Imagrove Update"));
    Timer1.setInterval(500);
    connect(&Timer1, &QTimer::timeout, this, &frmIGUpdate::Timer1_Timer);
    build();
    showPage(0);
}

frmIGUpdate::~frmIGUpdate() = default;

QFrame *frmIGUpdate::page(int index, const QStringList &texts)
{
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1(%1)").arg(index));
    auto *column = new QVBoxLayout(frame);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QLabel *label = text(texts[i], frame);
        if (i == 0) {
            QFont bold = label->font();
            bold.setBold(true);
            bold.setPointSizeF(bold.pointSizeF() * 1.3);
            label->setFont(bold);
        }
        column->addWidget(label);
    }
    auto *buttons = new QHBoxLayout;
    cmdBack[size_t(index)] = new QPushButton(QStringLiteral("< Back"), frame);
    cmdNext[size_t(index)] =
        new QPushButton(index == 7 ? QStringLiteral("Finish") : QStringLiteral("Next >"), frame);
    cmdCancel[size_t(index)] = new QPushButton(QStringLiteral("Cancel"), frame);
    for (auto [button, name] : {std::pair{cmdBack[size_t(index)], "cmdBack"},
                                {cmdNext[size_t(index)], "cmdNext"},
                                {cmdCancel[size_t(index)], "cmdCancel"}}) {
        button->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index));
        buttons->addWidget(button);
    }
    buttons->insertStretch(0);
    column->addStretch();
    column->addLayout(buttons);
    connect(cmdNext[size_t(index)], &QPushButton::clicked, this,
            [this, index] { cmdNext_Click(index); });
    connect(cmdBack[size_t(index)], &QPushButton::clicked, this,
            [this, index] { cmdBack_Click(index); });
    // Cancel ends the program at once; nothing is recorded.
    connect(cmdCancel[size_t(index)], &QPushButton::clicked, this, [this] { done(Ended); });
    Frame1[size_t(index)] = frame;
    static_cast<QGridLayout *>(layout())->addWidget(frame, 0, 0);
    return frame;
}

void frmIGUpdate::build()
{
    new QGridLayout(this);
    page(0, {QStringLiteral("Welcome to Imagrove Update!"),
             QStringLiteral("The rest of this wizard will update your current version of Imagrove "
                            "from version 2.0 to version 2.2.  We hope you'll like 2.2 as you're "
                            "only a minute away from starting it up."),
             QStringLiteral("Please click Next to continue or Cancel to leave it until another "
                            "time.")});
    QFrame *choice = page(
        4, {QStringLiteral("File Associations"),
            QStringLiteral("In Imagrove 2.2 you can now make associations with any file type "
                           "supported.  This means that you can now double click a supported "
                           "image format in Windows Explorer and Imagrove will automatically show "
                           "it.  On this system that means your file manager: opening a picture "
                           "of an associated type shows it in Imagrove, and you can give a type "
                           "back to the program that had it at any time under Options.")});
    auto *choiceColumn = static_cast<QVBoxLayout *>(choice->layout());
    optAss = new QRadioButton(QStringLiteral("Associate all images supported (recommended)"));
    optNoAss = new QRadioButton(QStringLiteral("Do not associate any image files"));
    optAssCustom = new QRadioButton(QStringLiteral("Customise Associations"));
    optAss->setObjectName(QStringLiteral("optAss"));
    optNoAss->setObjectName(QStringLiteral("optNoAss"));
    optAssCustom->setObjectName(QStringLiteral("optAssCustom"));
    optAss->setChecked(true);
    int at = 2;
    for (QRadioButton *option : {optAss, optNoAss, optAssCustom})
        choiceColumn->insertWidget(at++, option);
    choiceColumn->insertWidget(at, text(QStringLiteral("Click Next to continue or back to change "
                                                       "any previously entered settings"),
                                        choice));

    QFrame *custom = page(5, {QStringLiteral("Customise the associations by checking the image "
                                             "file types you wish.")});
    auto *grid = new QGridLayout;
    for (const core::ImageType &type : core::imageTypes) {
        const int i = int(core::indexOf(type));
        QCheckBox *box = chkAss[size_t(i)] = new QCheckBox(QLatin1String(type.boxCaption), custom);
        box->setObjectName(QLatin1String(type.boxName));
        box->setChecked(true);
        grid->addWidget(box, i / 4, i % 4);
    }
    auto *customColumn = static_cast<QVBoxLayout *>(custom->layout());
    customColumn->insertLayout(1, grid);
    customColumn->insertWidget(2, text(QStringLiteral("Click Next to continue or back to change "
                                                      "any previously entered settings"),
                                       custom));

    QFrame *progress = page(6, {QStringLiteral("Upgrading to Imagrove 2.2....")});
    auto *progressColumn = static_cast<QVBoxLayout *>(progress->layout());
    const char *steps[] = {"Importing Favourites", "Associating chosen File Types",
                           "Importing Imagrove 2.0 configuration"};
    for (int i = 0; i < 3; ++i) {
        stepLabels[size_t(i)] = text(QLatin1String(steps[i]), progress);
        progressColumn->insertWidget(1 + i, stepLabels[size_t(i)]);
    }
    auto *bar = new QFrame(progress);
    bar->setObjectName(QStringLiteral("Picture1"));
    bar->setFrameShape(QFrame::Panel);
    bar->setFrameShadow(QFrame::Sunken);
    bar->setFixedSize(306, 20);
    Shape1 = new QFrame(bar);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setStyleSheet(QStringLiteral("background: #000080;"));
    Shape1->setGeometry(3, 3, 0, 14);
    progressColumn->insertWidget(4, bar);
    lblContinue = text(QStringLiteral("Please click next to continue"), progress);
    lblContinue->setObjectName(QStringLiteral("lblContinue"));
    lblContinue->hide();
    progressColumn->insertWidget(5, lblContinue);

    page(7, {QStringLiteral("Enjoy Imagrove 2.2!"),
             QStringLiteral("Thankyou for upgrading to version 2.2!"),
             QStringLiteral("To finalise the upgrade please click 'Finish'"),
             QStringLiteral("Please note: Imagrove 2.0 will not work alongside version 2.1/2.2, "
                            "you can only have one version on a system at once, please make sure "
                            "you uninstall Imagrove 2.0")});

    for (int i : {0, 6, 7})
        cmdBack[size_t(i)]->setEnabled(false);
    cmdCancel[7]->setEnabled(false);
    cmdNext[6]->setEnabled(false);
    resize(480, 340);
}

int frmIGUpdate::visiblePage() const
{
    for (int i = 0; i < 8; ++i) {
        if (Frame1[size_t(i)] && !Frame1[size_t(i)]->isHidden())
            return i;
    }
    return -1;
}

void frmIGUpdate::showPage(int index)
{
    for (QFrame *frame : Frame1) {
        if (frame)
            frame->hide();
    }
    Frame1[size_t(index)]->show();
}

void frmIGUpdate::cmdNext_Click(int index)
{
    switch (index) {
    case 0:
        showPage(4);
        break;
    case 4:
        if (optAssCustom->isChecked()) {
            showPage(5);
            break;
        }
        for (QCheckBox *box : chkAss)
            box->setChecked(optAss->isChecked());
        showPage(6);
        Timer1.start();
        break;
    case 5:
        showPage(6);
        Timer1.start();
        break;
    case 6:
        showPage(7);
        break;
    case 7:
        try {
            core::keys::Updated.save(m_settings, QStringLiteral("1"));
        } catch (const platform::Error &error) {
            platform::reportError(m_desktop, error, platform::captions::ErrorNumber);
        }
        accept();
        break;
    default:
        break;
    }
}

void frmIGUpdate::cmdBack_Click(int index)
{
    showPage(index == 5 ? 4 : 0);
}

void frmIGUpdate::stepLabel(int step, bool bold)
{
    QFont font = stepLabels[size_t(step)]->font();
    font.setBold(bold);
    stepLabels[size_t(step)]->setFont(font);
    stepLabels[size_t(step)]->repaint();
}

void frmIGUpdate::widenBar()
{
    ++m_bar;
    Shape1->resize(300 * std::min(m_bar, BarSteps) / BarSteps, Shape1->height());
}

void frmIGUpdate::Timer1_Timer()
{
    Timer1.stop();
    // Favourites and the old configuration are where this version reads them.
    stepLabel(0, true);
    QApplication::processEvents();
    widenBar();
    stepLabel(0, false);

    stepLabel(1, true);
    for (size_t i = 0; i < chkAss.size(); ++i) {
        if (!chkAss[i]->isChecked())
            continue;
        const core::ImageType &type = core::imageTypes[i];
        try {
            core::keys::associationKey(type).save(m_settings, QStringLiteral("1"));
        } catch (const platform::Error &error) {
            platform::reportError(m_desktop, error, platform::captions::ErrorNumber);
        }
        const QString extension = u'.' + QLatin1String(types[i].extension);
        const QString properName = QLatin1String(types[i].properName);
        const QString open = QStringLiteral("Open");
        if (m_assoc && !m_assoc->Associated(properName, m_folder, QStringLiteral("imagrove"),
                                            QString(), open, extension)) {
            m_assoc->CreateUndoAssDat(extension, properName, open, m_folder);
            m_assoc->CreateAssociation(properName, QLatin1String(types[i].fullName),
                                       QStringLiteral("Image"), extension, open, m_folder,
                                       QStringLiteral("imagrove"), QString(),
                                       core::registeredIcon(type, m_folder));
        }
        widenBar();
    }
    stepLabel(1, false);

    stepLabel(2, true);
    QApplication::processEvents();
    widenBar();
    stepLabel(2, false);

    cmdNext[6]->setEnabled(true);
    lblContinue->show();
}

void frmIGUpdate::done(int result)
{
    if (!m_unloaded) {
        m_unloaded = true;
        Timer1.stop();
        m_secondary.release();
    }
    QDialog::done(result);
}

} // namespace extras
