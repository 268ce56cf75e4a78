#include "compose_view.h"

#include "preview_view.h"

#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/option_table.h"
#include "ezedudu/page_writer.h"
#include "ezedudu/qt_path.h"
#include "ezedudu/template_field_names.h"
#include "ezedudu/template_files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QFontDatabase>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

namespace ezedudu {
namespace {

const OptionEntry& LayoutOption()
{
    const auto table = PageOptionTable();
    return *std::find_if(table.begin(), table.end(), [](const OptionEntry& entry) { return entry.flag == "layout"; });
}

// The word as a directive reads it back: in quotes where it holds a space,
// ends in } (which would run into the closing }}) or is empty. None where no
// directive can hold it: a quote it could not start with nor keep inside
// quotes, a }} or a line break.
std::optional<std::string> DirectiveWord(const std::string& word)
{
    const bool quoted = word.empty() || word.find(' ') != std::string::npos || word.ends_with('}');
    if (word.find("}}") != std::string::npos || word.find('\n') != std::string::npos ||
        word.starts_with('"') || (quoted && word.find('"') != std::string::npos))
        return std::nullopt;
    return quoted ? '"' + word + '"' : word;
}

// The editor's position of a template's line and column (from 1, columns in
// characters).
int PositionOf(const QTextDocument& document, std::int64_t line, std::int64_t column)
{
    const QTextBlock block = document.findBlockByNumber(int(std::max<std::int64_t>(1, line)) - 1);
    if (!block.isValid())
        return std::max(0, document.characterCount() - 1);
    const QString text = block.text();
    int offset = 0;
    for (std::int64_t character = 1; character < column && offset < text.size(); ++character)
        offset += text.at(offset).isHighSurrogate() ? 2 : 1;
    return block.position() + offset;
}

} // namespace

ComposeView::ComposeView(QWidget* parent)
    : QWidget(parent),
      editor(new QPlainTextEdit(this)),
      form(new QFormLayout),
      layout(new QComboBox(this)),
      closingLine(new QCheckBox(tr("Closing line"), this)),
      message(new QLabel(this)),
      view(new PreviewView(this))
{
    setObjectName("composeView");
    editor->setObjectName("templateEditor");
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->setObjectName("composeLayout");
    for (const OptionChoice& choice : LayoutOption().choices)
        layout->addItem(tr(std::string(choice.label).c_str()));
    closingLine->setObjectName("composeClosingLine");
    closingLine->setChecked(true);
    closingLine->setToolTip(tr("End the file with an empty line and the usual closing line."));
    message->setObjectName("composeMessage");
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    view->setObjectName("composePreview");

    auto* shape = new QHBoxLayout;
    shape->addWidget(new QLabel(tr("Layout:"), this));
    shape->addWidget(layout, 1);
    shape->addWidget(closingLine);
    auto* fields = new QGroupBox(tr("Fields"), this);
    auto* fieldsScroller = new QScrollArea(fields);
    auto* formHolder = new QWidget(fieldsScroller);
    formHolder->setObjectName("composeFields");
    formHolder->setLayout(form);
    fieldsScroller->setWidget(formHolder);
    fieldsScroller->setWidgetResizable(true);
    (new QVBoxLayout(fields))->addWidget(fieldsScroller);

    auto* left = new QWidget(this);
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(shape);
    column->addWidget(editor, 3);
    column->addWidget(message);
    column->addWidget(fields, 1);
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(view);
    split->setStretchFactor(1, 1);
    (new QVBoxLayout(this))->addWidget(split);

    SetTemplate({}, QDir::homePath(), {});
    connect(editor, &QPlainTextEdit::textChanged, this, &ComposeView::TemplateChanged);
    connect(layout, &QComboBox::currentIndexChanged, this, &ComposeView::Compose);
    connect(closingLine, &QCheckBox::toggled, this, &ComposeView::Compose);
    connect(&renderer, &ComposeRenderer::composed, this, &ComposeView::ShowPage);
    connect(&renderer, &ComposeRenderer::failed, this, &ComposeView::ShowFault);
}

void ComposeView::SetTemplate(const QString& text, const QString& inFolder, const QString& file, const QString& from)
{
    path = file;
    origin = from;
    folder = inFolder;
    sources = std::make_shared<CachedTemplateFiles>(ToPath(folder));
    const QSignalBlocker quiet(editor);
    editor->setPlainText(text);
    editor->document()->setModified(false);
    TemplateChanged();
}

bool ComposeView::IsModified() const
{
    return editor->document()->isModified();
}

QString ComposeView::TemplateText() const
{
    return editor->toPlainText();
}

void ComposeView::SetLook(double aspect, PreviewTheme look)
{
    if (aspect == cellAspect && look == theme)
        return;
    cellAspect = aspect;
    theme = look;
    Compose();
}

TemplateFields ComposeView::Fields() const
{
    TemplateFields fields;
    for (const QString& name : fieldNames)
        fields.emplace(name.toStdString(), values.value(name).toStdString());
    return fields;
}

void ComposeView::SetField(const QString& name, const QString& value)
{
    values[name] = value;
    if (auto* field = findChild<QLineEdit*>("field:" + name))
        field->setText(value);
    Compose();
}

ComposeOptions ComposeView::Options() const
{
    ArtSettings settings;
    LayoutOption().set(settings, double(layout->currentIndex()));
    ComposeOptions options{settings.page.Shape()};
    if (!closingLine->isChecked())
        options.signature.reset();
    return options;
}

void ComposeView::TemplateChanged()
{
    try {
        QStringList names;
        for (const std::string& name : TemplateFieldNames(TemplateText().toStdString()))
            names << QString::fromStdString(name);
        SyncFields(names);
    } catch (const TemplateError&) {
        // Until it parses again, the form keeps the fields it had; the
        // compose marks the fault.
    }
    Compose();
}

void ComposeView::SyncFields(const QStringList& names)
{
    if (names == fieldNames)
        return;
    fieldNames = names;
    while (form->rowCount() > 0)
        form->removeRow(0);
    for (const QString& name : names) {
        if (!values.contains(name))
            values[name] = name == QLatin1String("date") ? QDate::currentDate().toString(Qt::ISODate) : QString();
        auto* field = new QLineEdit(values[name]);
        field->setObjectName("field:" + name);
        field->setPlaceholderText(tr("empty"));
        connect(field, &QLineEdit::textEdited, this, [this, name](const QString& value) {
            values[name] = value;
            Compose();
        });
        form->addRow(name, field);
    }
}

void ComposeView::Compose()
{
    renderer.Compose({TemplateText().toStdString(), Fields(), Options(), sources, cellAspect, theme});
}

void ComposeView::ShowPage(const std::shared_ptr<const Page>& page, const QImage& preview)
{
    shown = page;
    view->SetPreview(preview);
    editor->setExtraSelections({});
    ShowMessage(tr("%1 lines, %2 columns at most").arg(page->LineCount()).arg(page->Width()), false);
    emit composed();
}

void ComposeView::ShowFault(const ComposeFault& fault)
{
    QList<QTextEdit::ExtraSelection> marks;
    if (fault.line > 0) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(editor->document());
        mark.cursor.setPosition(PositionOf(*editor->document(), fault.line, fault.column));
        mark.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        if (!mark.cursor.hasSelection()) // at a line's end: mark the line
            mark.cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(Qt::red);
        marks << mark;
        ShowMessage(tr("Line %1, column %2: %3").arg(fault.line).arg(fault.column).arg(fault.message), true);
    } else {
        ShowMessage(fault.message, true);
    }
    editor->setExtraSelections(marks);
    emit composeFailed(fault);
}

void ComposeView::ShowMessage(const QString& text, bool error)
{
    message->setText(text);
    message->setStyleSheet(error ? QStringLiteral("color: #b00000;") : QString());
}

QString ComposeView::Message() const
{
    return message->text();
}

bool ComposeView::SaveNfoTo(const QString& output)
{
    try {
        // Composed afresh from the files as they are now, as ezedudu-cli does.
        TemplateFiles files(ToPath(folder));
        Page page = ezedudu::Compose(TemplateText().toStdString(), Fields(), files, Options());
        std::vector<std::filesystem::path> inputs = files.FilesRead();
        for (const QString& file : {path, origin})
            if (!file.isEmpty())
                inputs.push_back(ToPath(file));
        for (const std::filesystem::path& input : inputs)
            RefuseToOverwrite(input, ToPath(output));
        WriteNfoFile(ToPath(output), WritePage(std::move(page), TextEncoding::Cp437));
    } catch (const TemplateError& fault) {
        ShowFault({fault.Line(), fault.Column(), tr("The NFO file was not saved: %1").arg(fault.what())});
        return false;
    } catch (const Error& error) {
        ShowMessage(tr("The NFO file was not saved: %1").arg(QString::fromStdString(Explain(error))), true);
        return false;
    }
    ShowMessage(tr("Saved %1").arg(QDir::toNativeSeparators(output)), false);
    return true;
}

bool ComposeView::SaveTemplateTo(const QString& output)
{
    try {
        OutputFiles file;
        file.Add(ToPath(output), TemplateText().toStdString());
        file.Commit();
    } catch (const Error& error) {
        ShowMessage(tr("The template was not saved: %1").arg(QString::fromStdString(error.what())), true);
        return false;
    }
    const QString saved = QFileInfo(output).absoluteFilePath();
    if (QFileInfo(saved).absolutePath() != QFileInfo(folder).absoluteFilePath()) {
        folder = QFileInfo(saved).absolutePath();
        sources = std::make_shared<CachedTemplateFiles>(ToPath(folder));
    }
    path = saved;
    origin.clear();
    editor->document()->setModified(false);
    ShowMessage(tr("Saved %1").arg(QDir::toNativeSeparators(output)), false);
    Compose();
    return true;
}

bool ComposeView::InsertArtLine(const QString& picture, const ConversionOptions& options)
{
    ArtSettings settings{options};
    // The art's lines in a template never carry a closing line.
    settings.conversion.layout.signature = std::string(DefaultSignature);
    const QString name = QDir(folder).relativeFilePath(picture).startsWith(QLatin1String(".."))
                             ? picture
                             : QDir(folder).relativeFilePath(picture);
    std::vector<std::string> words{name.toStdString()};
    for (std::string& word : ArgumentsFor(settings, false))
        words.push_back(std::move(word));
    std::string line = "{{art";
    for (const std::string& word : words) {
        const std::optional<std::string> written = DirectiveWord(word);
        if (!written) {
            ShowMessage(tr("Cannot write %1 in an {{art}} line: a directive's word holds no \" with a space, "
                           "and no }}.")
                            .arg(QString::fromStdString(word)),
                        true);
            return false;
        }
        line += ' ' + *written;
    }
    QTextCursor cursor = editor->textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.insertText(QString::fromStdString(line + "}}\n"));
    return true;
}

} // namespace ezedudu
