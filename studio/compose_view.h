#pragma once

#include "compose_renderer.h"

#include <QMap>
#include <QWidget>

#include <filesystem>
#include <memory>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QPlainTextEdit;

namespace ezedudu {

class PreviewView;

// A whole NFO file made from a template: the template in an editor, the
// fields it asks for as a form, and the file drawn live beside them as it is
// typed. A fault is marked at its line and column while the last good page
// stays on screen. Saves what ezedudu-cli --compose writes for the same
// template and fields.
class ComposeView : public QWidget {
    Q_OBJECT

public:
    explicit ComposeView(QWidget* parent = nullptr);

    // Shows the template; the names in it are found in folder. path is its
    // file, empty for one not saved yet; origin is where its text came from
    // (an example), which is never written over either.
    void SetTemplate(const QString& text, const QString& folder, const QString& path, const QString& origin = {});
    QString TemplateText() const;
    QString TemplatePath() const { return path; }
    // Whether the template was changed since it was shown or saved.
    bool IsModified() const;
    QString TemplateFolder() const { return folder; }
    // How the page is drawn: the art view's cell shape and theme.
    void SetLook(double cellAspect, PreviewTheme theme);

    TemplateFields Fields() const;
    void SetField(const QString& name, const QString& value);
    QStringList FieldNames() const { return fieldNames; }
    ComposeOptions Options() const;

    // Each returns false, and says why under the editor, when it fails.
    // Neither ever writes over the template's own file as the NFO, or over
    // a file the template reads.
    bool SaveNfoTo(const QString& output);
    bool SaveTemplateTo(const QString& output);

    // Puts an {{art ...}} line for the picture made with options before the
    // cursor's line. False, saying why, when the picture's name or an
    // option cannot be written in a directive.
    bool InsertArtLine(const QString& picture, const ConversionOptions& options);

    PreviewView* Preview() const { return view; }
    // The page shown: the last that composed.
    const Page* ShownPage() const { return shown.get(); }
    QString Message() const;

signals:
    // The newest compose is shown.
    void composed();
    // The newest compose failed; the fault is marked, the last page stays.
    void composeFailed(const ComposeFault& fault);

private:
    void TemplateChanged();
    void SyncFields(const QStringList& names);
    void Compose();
    void ShowPage(const std::shared_ptr<const Page>& page, const QImage& preview);
    void ShowFault(const ComposeFault& fault);
    void ShowMessage(const QString& text, bool error);

    QPlainTextEdit* editor;
    QFormLayout* form;
    QComboBox* layout;
    QCheckBox* closingLine;
    QLabel* message;
    PreviewView* view;
    ComposeRenderer renderer;

    QString path;
    QString origin;
    QString folder;
    std::shared_ptr<CachedTemplateFiles> sources;
    double cellAspect = DefaultCellAspect;
    PreviewTheme theme = PreviewTheme::Light;
    QStringList fieldNames;
    // Every value typed, kept for a field that leaves the template and comes back.
    QMap<QString, QString> values;
    std::shared_ptr<const Page> shown;
};

} // namespace ezedudu
