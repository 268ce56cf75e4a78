#include "qt_platform_services.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressBar>

#include <limits>

namespace ezedudu {

void QtPlatformServices::ShowMessage(const QString& text, MessageStyle style, const QString& title)
{
    QMessageBox box(style == MessageStyle::Critical ? QMessageBox::Critical : QMessageBox::Information, title, text,
                    QMessageBox::Ok);
    box.exec();
}

void QtPlatformServices::ShowOpen(OpenFileDialog& dialog)
{
    QFileDialog files(nullptr, dialog.DialogTitle, QString(), ToQtNameFilter(dialog.Filter));
    // A typed name that does not exist comes back too: the caller's own
    // existence test answers it.
    files.setFileMode(QFileDialog::AnyFile);
    files.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.FileName = files.exec() == QDialog::Accepted && !files.selectedFiles().isEmpty()
                          ? QFileInfo(files.selectedFiles().constFirst()).absoluteFilePath()
                          : QString();
}

std::optional<qint64> QtPlatformServices::FileLength(const QString& path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists() || file.isDir())
        return std::nullopt;
    return file.size();
}

void QtPlatformServices::ShowWindow(QWidget& window)
{
    window.show();
}

void QtPlatformServices::CloseWindow(QWidget& window)
{
    window.close();
}

void QtPlatformServices::SetProgress(QProgressBar& bar, qint64 value, qint64 maximum)
{
    // The bar counts in int; very large cell counts are scaled down to fit.
    const qint64 scale = maximum / std::numeric_limits<int>::max() + 1;
    bar.setMaximum(int(maximum / scale));
    bar.setValue(int(value / scale));
}

void QtPlatformServices::ProcessPendingEvents()
{
    QCoreApplication::processEvents();
}

QString ToQtNameFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return entries.join(";;");
}

} // namespace ezedudu
