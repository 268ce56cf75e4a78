#include "frmMain.h"

#include "close_label.h"
#include "conversion_pacer.h"
#include "picture_canvas.h"

#include "ezedudu/nfo_file.h"
#include "ezedudu/nfo_text.h"
#include "ezedudu/qt_path.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>

namespace ezedudu {
namespace {

const QString PictureFilter = QStringLiteral("Bitmaps|*.bmp");
const QString DialogTitle = QStringLiteral("Input File (Image)");
const QString MissingFileText = QStringLiteral("The file doesn't exist....!");
const QString MissingFileTitle = QStringLiteral("Error:");
const QString FinishedText = QStringLiteral("File succesfully concerted to nfo!\n"
                                            "You can find it in the same directory as the bitmap you chose.");
const QString FinishedTitle = QStringLiteral("Finished");

} // namespace

frmMain::frmMain(PlatformServices& services, StartupRequest startup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      platform(services),
      request(std::move(startup)),
      background(QStringLiteral(":/ezedudu/background.bmp")),
      Label1(new CloseLabel(QStringLiteral("X"), this)),
      Progress(new QProgressBar(this)),
      picProcess(new PictureCanvas(this))
{
    setObjectName("frmMain");
    setWindowTitle(QStringLiteral("Tavix's ZOR Ezedudu"));
    setWindowIcon(QIcon(QStringLiteral(":/ezedudu/ezedudu.png")));
    setFixedSize(400, 100);

    Label1->setObjectName("Label1");
    Label1->setGeometry(384, 0, 17, 17);
    QFont font(QStringLiteral("Century Gothic"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    Label1->setFont(font);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(palette);
    connect(Label1, &CloseLabel::clicked, this, &QWidget::close);

    Progress->setObjectName("Progress");
    Progress->setGeometry(24, 64, 353, 17);
    Progress->setRange(0, 100);
    Progress->setTextVisible(false);
}

frmMain::~frmMain() = default;

bool frmMain::Load()
{
    InPutter();
    return written;
}

void frmMain::InPutter()
{
    try {
        if (request.picture) {
            cdlBrowse.FileName = *request.picture;
        } else {
            cdlBrowse.Filter = PictureFilter;
            cdlBrowse.DialogTitle = DialogTitle;
            platform.ShowOpen(cdlBrowse);
        }
        const QString path = cdlBrowse.FileName;
        if (!FileExists(path)) {
            platform.ShowMessage(MissingFileText, MessageStyle::Critical, MissingFileTitle);
            platform.CloseWindow(*this);
            return;
        }
        picProcess->Load(path, request.options);
        OutputPath = ToQString(NfoPathFor(ToPath(path)));
        platform.ShowWindow(*this);
        ConvertNow();
        platform.CloseWindow(*this);
    } catch (...) {
        // The run's one trap: whatever failed, the program ends quietly.
        platform.CloseWindow(*this);
    }
}

bool frmMain::FileExists(const QString& sFile)
{
    return platform.FileLength(sFile).has_value();
}

void frmMain::ConvertNow()
{
    std::optional<std::string> nfo;
    {
        // From here a close cancels, including one handled while the window first appears.
        const QScopedValueRollback whileConverting(converting, true);
        platform.ProcessPendingEvents();
        ConversionPacer pacer(platform, *Progress, cancelRequested);
        nfo = picProcess->Convert(pacer);
    }
    // A picture without cells never asks the pacer, so the flag is checked here too.
    if (!nfo || cancelRequested) {
        // Closed while converting: nothing to write and nothing to report.
        cancelRequested = false;
        platform.CloseWindow(*this);
        return;
    }
    WriteNfoFile(ToPath(OutputPath), *nfo);
    written = true;
    platform.SetProgress(*Progress, 0, Progress->maximum());
    platform.ShowMessage(FinishedText, MessageStyle::Information, FinishedTitle);
    platform.CloseWindow(*this);
}

void frmMain::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, background);
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (const QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (converting)
        cancelRequested = true;
    QWidget::closeEvent(event);
}

// Without a title bar, a left press anywhere on the background moves the window.
void frmMain::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || childAt(event->position().toPoint()))
        return;
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void frmMain::mouseMoveEvent(QMouseEvent* event)
{
    if (dragOffset && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - *dragOffset);
}

void frmMain::mouseReleaseEvent(QMouseEvent*)
{
    dragOffset.reset();
}

} // namespace ezedudu
