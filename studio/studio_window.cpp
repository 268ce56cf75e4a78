#include "studio_window.h"

#include "art_controls.h"
#include "cli_command.h"
#include "compose_view.h"
#include "menu_shortcuts.h"
#include "preview_view.h"
#include "remembered_options.h"

#include "ezedudu/editor_defaults.h"
#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/page_writer.h"
#include "ezedudu/picture_loader.h"
#include "ezedudu/qt_path.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ezedudu {
namespace {

const QString StudioName = QStringLiteral("Ezedudu Studio");
constexpr int RecentFiles = 8;

// Every format the loader reads: bitmaps by our own reader, the rest by Qt.
QString PictureFilter()
{
    QStringList patterns{QStringLiteral("*.bmp")};
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << "*." + QString::fromLatin1(format);
    patterns.removeDuplicates();
    return QObject::tr("Pictures (%1);;All files (*)").arg(patterns.join(' '));
}

QString LocalFileOf(const QMimeData* data)
{
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

StudioWindow::StudioWindow(QSettings& store, const ConversionOptions& options, PreviewTheme theme, QWidget* parent)
    : QMainWindow(parent),
      settings(store),
      controls(new ArtControls(this)),
      view(new PreviewView(this)),
      compose(new ComposeView(this)),
      tabs(new QTabWidget(this)),
      summary(new QLabel(this)),
      message(new QLabel(this)),
      progress(new QProgressBar(this))
{
    setObjectName("studio");
    setAcceptDrops(true);
    tabs->setObjectName("views");
    tabs->addTab(view, tr("Art"));
    tabs->addTab(compose, tr("Compose"));
    setCentralWidget(tabs);
    view->setFocus();
    new MenuShortcutsFirst(this);
    auto* panel = new QDockWidget(tr("Art"), this);
    panel->setObjectName("controlsPanel");
    panel->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* scroller = new QScrollArea(panel);
    scroller->setWidget(controls);
    scroller->setWidgetResizable(true);
    auto* reset = new QPushButton(tr("Reset to Defaults"), panel);
    reset->setObjectName("resetToDefaults");
    connect(reset, &QPushButton::clicked, this, &StudioWindow::ResetToDefaults);
    auto* panelContents = new QWidget(panel);
    auto* column = new QVBoxLayout(panelContents);
    column->addWidget(scroller);
    column->addWidget(reset, 0, Qt::AlignRight);
    panel->setWidget(panelContents);
    addDockWidget(Qt::RightDockWidgetArea, panel);

    summary->setObjectName("summary");
    message->setObjectName("message");
    // The message holds file names, which may look like markup.
    summary->setTextFormat(Qt::PlainText);
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    progress->setObjectName("progress");
    progress->setRange(0, 100);
    progress->setMaximumWidth(160);
    progress->hide();
    statusBar()->addWidget(summary);
    statusBar()->addWidget(message, 1);
    statusBar()->addPermanentWidget(progress);

    controls->SetOptions(options, theme);
    BuildMenus();
    UpdateTitle();
    ShowMessage(tr("Open a picture (Ctrl+O), drop one here, or paste one (Ctrl+V)."));
    resize(1100, 680); // the first time; then as it was left
    restoreGeometry(settings.value("window/geometry").toByteArray());
    restoreState(settings.value("window/state").toByteArray());

    connect(controls, &ArtControls::changed, this, &StudioWindow::ApplyOptions);
    connect(&renderer, &LiveRenderer::rendered, this, &StudioWindow::ShowArt);
    connect(&renderer, &LiveRenderer::progressed, this, &StudioWindow::ShowProgress);
    connect(&renderer, &LiveRenderer::failed, this, &StudioWindow::ShowFailure);
}

StudioWindow::~StudioWindow()
{
    // The controls outlive this window's members: a field that loses the
    // focus as they go must not ask for a render.
    controls->disconnect(this);
}

void StudioWindow::ApplyOptions()
{
    beforeReset.reset();
    undoReset->setEnabled(false);
    RememberOptions(settings, controls->Options(), controls->Theme());
    Render();
}

void StudioWindow::ResetToDefaults()
{
    if (!beforeReset)
        beforeReset = ArtSettings{controls->Options(), controls->Theme()};
    const ArtSettings defaults = EditorDefaults();
    controls->SetOptions(defaults.conversion, defaults.theme);
    undoReset->setEnabled(true);
    ShowMessage(tr("The settings are back to their defaults. Edit > Undo Reset (%1) brings yours back.")
                    .arg(undoReset->shortcut().toString(QKeySequence::NativeText)));
    Render();
}

void StudioWindow::UndoReset()
{
    if (!beforeReset)
        return;
    controls->SetOptions(beforeReset->conversion, beforeReset->theme);
    beforeReset.reset();
    undoReset->setEnabled(false);
    ShowMessage(tr("Your settings are back."));
    Render();
}

void StudioWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open\u2026"), QKeySequence::Open, this, &StudioWindow::AskToOpen);
    recentMenu = file->addMenu(tr("Open &Recent"));
    FillRecentMenu();
    file->addAction(tr("&Paste Picture"), QKeySequence::Paste, this, &StudioWindow::Paste);
    file->addSeparator();
    needArt << file->addAction(tr("&Save NFO\u2026"), QKeySequence::Save, this, &StudioWindow::AskToSave);
    needArt << file->addAction(tr("&Export Preview\u2026"), QKeySequence(Qt::CTRL | Qt::Key_E), this,
                               &StudioWindow::AskToExport);
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    BuildComposeMenus(file, edit);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &QWidget::close);

    undoReset = edit->addAction(tr("&Undo Reset"), QKeySequence::Undo, this, &StudioWindow::UndoReset);
    undoReset->setEnabled(false);
    edit->addSeparator();
    needArt << edit->addAction(tr("Copy Art as &Text"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this, [this] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(WritePage(shown.nfo.page, TextEncoding::Utf8)));
        ShowMessage(tr("The art is on the clipboard as UTF-8 text."));
    });
    edit->addAction(tr("Copy &Command"), this, [this] {
        QGuiApplication::clipboard()->setText(CliCommand());
        ShowMessage(tr("Copied: %1").arg(CliCommand()));
    });
    edit->addSeparator();
    edit->addAction(tr("&Reset to Defaults"), this, &StudioWindow::ResetToDefaults);

    QMenu* zoom = menuBar()->addMenu(tr("&View"));
    // Each acts on the preview of the tab shown.
    const auto shownPreview = [this] { return tabs->currentWidget() == compose ? compose->Preview() : view; };
    zoom->addAction(tr("Zoom to &Fit"), QKeySequence(Qt::CTRL | Qt::Key_0), this,
                    [shownPreview] { shownPreview()->ZoomToFit(); });
    zoom->addAction(tr("&100 %"), QKeySequence(Qt::CTRL | Qt::Key_1), this,
                    [shownPreview] { shownPreview()->ZoomTo(1); });
    zoom->addAction(tr("&200 %"), QKeySequence(Qt::CTRL | Qt::Key_2), this,
                    [shownPreview] { shownPreview()->ZoomTo(2); });
    for (QAction* action : needArt)
        action->setEnabled(false);
}

void StudioWindow::OpenFile(const QString& path)
{
    const QFileInfo file(path);
    Ask({.open = [picture = std::make_shared<PictureFile>(ToPath(path))](
                     const ConversionOptions& options) { return picture->For(options); },
         .path = file.absoluteFilePath(),
         .name = file.fileName()});
}

void StudioWindow::OpenImage(const QImage& image)
{
    // Already decoded: every render converts it at its own size.
    Ask({.open = [image](const ConversionOptions&) { return PictureFromImage(image); },
         .name = tr("Pasted picture")});
}

void StudioWindow::Ask(Artwork art)
{
    wanted = std::move(art);
    Render();
}

void StudioWindow::Render()
{
    compose->SetLook(controls->Options().cellAspect, controls->Theme());
    if (!wanted.picture && !wanted.open)
        return;
    wanted.options = controls->Options();
    wanted.theme = controls->Theme();
    renderer.Render(wanted);
}

void StudioWindow::ShowArt(const Artwork& art, const QImage& drawn)
{
    // Only the newest request is reported, so it was wanted's: its picture
    // is open now, if it was not before.
    const bool opened = !wanted.picture;
    shown = art;
    wanted.picture = shown.picture;
    if (opened) {
        UpdateTitle();
        if (!shown.path.isEmpty())
            RememberRecent(shown.path);
    }
    view->SetPreview(drawn);
    progress->hide();
    const ArtSize size = shown.nfo.art;
    QString text = tr("%1 \u00d7 %2 characters, %3 bytes")
                       .arg(size.columns)
                       .arg(size.rows)
                       .arg(QLocale().toString(qulonglong(shown.nfo.page.Cp437().size())));
    summary->setText(text);
    if (size.columns > ViewerColumns)
        ShowError(tr("Wider than %1 columns: NFO viewers wrap or cut it.").arg(ViewerColumns));
    else if (opened || message->property("error").toBool()) // the hint to open one, or a past error
        ShowMessage(QString());
    for (QAction* action : needArt)
        action->setEnabled(true);
    emit artShown();
}

void StudioWindow::ShowFailure(const QString& reason)
{
    progress->hide();
    QString text;
    if (wanted.picture) {
        text = tr("Cannot draw the art: %1").arg(reason);
    } else {
        text = wanted.path.isEmpty() ? tr("Cannot use the pasted picture: %1").arg(reason)
                                     : tr("Cannot open %1: %2").arg(wanted.name, reason);
        // Later changes redraw the picture still shown.
        wanted = shown;
    }
    ShowError(text);
    emit artFailed(text);
}

void StudioWindow::ShowProgress(int percent)
{
    progress->setValue(percent);
    progress->setVisible(percent < 100);
}

void StudioWindow::ShowError(const QString& text)
{
    message->setText(text);
    message->setStyleSheet(QStringLiteral("color: #b00000;"));
    message->setProperty("error", true);
}

void StudioWindow::ShowMessage(const QString& text)
{
    message->setText(text);
    message->setStyleSheet(QString());
    message->setProperty("error", false);
}

void StudioWindow::UpdateTitle()
{
    setWindowTitle(shown.name.isEmpty() ? StudioName : shown.name + QStringLiteral(" \u2014 ") + StudioName);
}

void StudioWindow::RefuseThePicture(const QString& output) const
{
    if (!shown.path.isEmpty())
        RefuseToOverwrite(ToPath(shown.path), ToPath(output));
}

bool StudioWindow::SaveTo(const QString& path)
{
    try {
        RefuseThePicture(path);
        WriteNfoFile(ToPath(path), shown.nfo.page.Cp437());
    } catch (const Error& error) {
        ShowError(tr("The NFO file was not saved: %1").arg(QString::fromStdString(error.what())));
        return false;
    }
    ShowMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool StudioWindow::ExportPreviewTo(const QString& path)
{
    try {
        RefuseThePicture(path);
        // Drawn afresh at full size, as ezedudu-cli --preview draws it.
        WritePreviewFile(ToPath(path), RenderPreview(shown.nfo.page, shown.options.cellAspect, shown.theme));
    } catch (const Error& error) {
        ShowError(tr("The preview was not exported: %1").arg(QString::fromStdString(error.what())));
        return false;
    }
    ShowMessage(tr("Exported %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

QString StudioWindow::CliCommand() const
{
    // The command for the art shown; before any, for the options chosen.
    return CliCommandFor(shown.picture ? shown.options : controls->Options(), shown.path);
}

QString StudioWindow::DefaultOutput(const QString& ending) const
{
    if (shown.path.isEmpty())
        return QDir::home().filePath(QStringLiteral("pasted") + ending);
    const QFileInfo picture(shown.path);
    const QString output = picture.dir().filePath(picture.completeBaseName() + ending);
    if (IsSameFile(ToPath(output), ToPath(shown.path))) // a picture named NAME.nfo
        return picture.dir().filePath(picture.completeBaseName() + QStringLiteral("-art") + ending);
    return output;
}

void StudioWindow::AskToOpen()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Picture"), QString(), PictureFilter());
    if (!path.isEmpty())
        OpenFile(path);
}

void StudioWindow::AskToSave()
{
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save NFO File"), DefaultOutput(QStringLiteral(".nfo")), tr("NFO files (*.nfo);;All files (*)"));
    if (!path.isEmpty())
        SaveTo(path);
}

void StudioWindow::AskToExport()
{
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export Preview"), DefaultOutput(QStringLiteral("-art.png")), tr("PNG pictures (*.png)"));
    if (!path.isEmpty())
        ExportPreviewTo(path);
}

void StudioWindow::Paste()
{
    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    if (held && held->hasImage())
        OpenImage(qvariant_cast<QImage>(held->imageData()));
    else if (held && !LocalFileOf(held).isEmpty())
        OpenFile(LocalFileOf(held));
    else
        ShowError(tr("The clipboard holds no picture."));
}

void StudioWindow::RememberRecent(const QString& path)
{
    QStringList recent = settings.value("recent").toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    settings.setValue("recent", recent.mid(0, RecentFiles));
    FillRecentMenu();
}

void StudioWindow::FillRecentMenu()
{
    recentMenu->clear();
    const QStringList recent = settings.value("recent").toStringList();
    for (const QString& path : recent) {
        // A lone & in a menu marks the shortcut letter; the name keeps its own.
        const QString shownName = QDir::toNativeSeparators(path).replace('&', QStringLiteral("&&"));
        recentMenu->addAction(shownName, this, [this, path] { OpenFile(path); });
    }
    recentMenu->setEnabled(!recent.isEmpty());
}

void StudioWindow::closeEvent(QCloseEvent* event)
{
    if (!MayDiscardTemplate()) {
        event->ignore();
        return;
    }
    RememberOptions(settings, controls->Options(), controls->Theme()); // a reset not undone is kept
    settings.setValue("window/geometry", saveGeometry());
    settings.setValue("window/state", saveState());
    QMainWindow::closeEvent(event);
}

void StudioWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasImage() || !LocalFileOf(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void StudioWindow::dropEvent(QDropEvent* event)
{
    const QString path = LocalFileOf(event->mimeData());
    if (!path.isEmpty())
        OpenFile(path);
    else
        OpenImage(qvariant_cast<QImage>(event->mimeData()->imageData()));
    event->acceptProposedAction();
}

} // namespace ezedudu
