// The studio window's part in composing whole NFO files: its menu entries
// and the files they open and save.
#include "studio_window.h"

#include "bundled_examples.h"
#include "compose_view.h"

#include "ezedudu/cp437.h"
#include "ezedudu/error.h"
#include "ezedudu/qt_path.h"
#include "ezedudu/template_files.h"
#include "ezedudu/utf8.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>

namespace ezedudu {
namespace {

// A template is text a person wrote: 4 MiB is an NFO of 50,000 full lines.
constexpr std::int64_t MaxTemplateBytes = std::int64_t(4) << 20;

// A template's text for the editor: UTF-8, or else code page 437 as the
// composer reads it (every byte its glyph, but CR, LF and tab), so that no
// byte is lost. The editor saves it as UTF-8, which composes the same.
QString TemplateTextOf(const std::string& bytes)
{
    Utf8Text text = DecodeUtf8(bytes);
    if (text.firstInvalidByte) {
        text.codePoints.clear();
        for (const char byte : bytes) {
            const auto code = static_cast<std::uint8_t>(byte);
            text.codePoints += code == '\r' || code == '\n' || code == '\t' ? char32_t(code) : Cp437ToUnicode(code);
        }
    }
    return QString::fromStdU32String(text.codePoints);
}

const QString TemplateFilter = QObject::tr("Templates (*.txt *.nfo *.diz);;All files (*)");

} // namespace

void StudioWindow::BuildComposeMenus(QMenu* file, QMenu* edit)
{
    file->addSeparator();
    QMenu* examples = file->addMenu(tr("New &Template"));
    const QDir folder(BundledExamplesFolder());
    for (const QString& example : folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        examples->addAction(example, this, [this, path = folder.filePath(example)] {
            if (MayDiscardTemplate())
                NewTemplateFrom(path);
        });
    examples->setEnabled(!examples->isEmpty());
    file->addAction(tr("Open Te&mplate\u2026"), this, &StudioWindow::AskToOpenTemplate);
    file->addAction(tr("Save Template &As\u2026"), this, &StudioWindow::AskToSaveTemplate);
    file->addAction(tr("Save &Composed NFO\u2026"), this, &StudioWindow::AskToSaveComposedNfo);
    needArt << edit->addAction(tr("&Insert Art Line into Template"), this, &StudioWindow::InsertArtIntoTemplate);
    edit->addSeparator();
}

bool StudioWindow::OpenTemplate(const QString& path)
{
    try {
        const std::string text = ReadTextFile(ToPath(path), MaxTemplateBytes);
        const QFileInfo file(path);
        compose->SetTemplate(TemplateTextOf(text), file.absolutePath(), file.absoluteFilePath());
        // The values of its fields, where a NAME.fields file lies beside it.
        const QString fieldsFile = file.dir().filePath(file.completeBaseName() + QStringLiteral(".fields"));
        if (QFileInfo::exists(fieldsFile)) {
            TemplateFields fields;
            ReadFieldsFile(ToPath(fieldsFile), fields);
            for (const auto& [name, value] : fields)
                compose->SetField(QString::fromStdString(name), QString::fromStdString(value));
        }
    } catch (const FieldsError& fault) {
        ShowError(tr("%1:%2: %3")
                      .arg(QDir::toNativeSeparators(ToQString(fault.file)))
                      .arg(fault.line)
                      .arg(QString::fromStdString(fault.message)));
    } catch (const Error& error) {
        ShowError(tr("Cannot open %1: %2").arg(QDir::toNativeSeparators(path), QString::fromStdString(error.what())));
        return false;
    }
    tabs->setCurrentWidget(compose);
    return true;
}

void StudioWindow::NewTemplateFrom(const QString& example)
{
    if (OpenTemplate(example)) {
        const QFileInfo file(example);
        compose->SetTemplate(compose->TemplateText(), file.absolutePath(), {}, file.absoluteFilePath());
    }
}

bool StudioWindow::MayDiscardTemplate()
{
    if (!compose->IsModified())
        return true;
    tabs->setCurrentWidget(compose);
    return QMessageBox::question(this, tr("Unsaved Template"),
                                 tr("The template has changes that are not saved. Discard them?"),
                                 QMessageBox::Discard | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Discard;
}

void StudioWindow::AskToOpenTemplate()
{
    if (!MayDiscardTemplate())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Template"), QString(), TemplateFilter);
    if (!path.isEmpty())
        OpenTemplate(path);
}

void StudioWindow::AskToSaveTemplate()
{
    const QString proposed =
        compose->TemplatePath().isEmpty() ? QDir::home().filePath(QStringLiteral("release.txt")) : compose->TemplatePath();
    const QString path = QFileDialog::getSaveFileName(this, tr("Save Template"), proposed, TemplateFilter);
    if (!path.isEmpty())
        compose->SaveTemplateTo(path);
}

void StudioWindow::AskToSaveComposedNfo()
{
    const QFileInfo named(compose->TemplatePath().isEmpty() ? QDir::home().filePath(QStringLiteral("release.txt"))
                                                            : compose->TemplatePath());
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Save Composed NFO"),
                                     named.dir().filePath(named.completeBaseName() + QStringLiteral(".nfo")),
                                     tr("NFO files (*.nfo *.diz);;All files (*)"));
    if (!path.isEmpty())
        compose->SaveNfoTo(path);
}

void StudioWindow::InsertArtIntoTemplate()
{
    if (shown.path.isEmpty()) {
        ShowError(tr("A template names its pictures by file: open the picture from a file to send its art."));
        return;
    }
    if (compose->InsertArtLine(shown.path, shown.options))
        tabs->setCurrentWidget(compose);
}

} // namespace ezedudu
